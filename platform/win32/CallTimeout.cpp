#include "platform/win32/CallTimeout.h"

#include <utility>

#include "platform/win32/ComObject.h"

namespace platform::win32 {
namespace {

// How long to wait before trying a call the callee asked to be tried again later.
constexpr DWORD kRetryAfterMilliseconds = 100;

class MessageFilter final : public ComObject<IMessageFilter> {
  public:
    explicit MessageFilter(std::shared_ptr<DWORD> timeout) : timeout_(std::move(timeout)) {}

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD rejectType) override {
        return RejectedAnswer(elapsed, rejectType, *timeout_);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsed, DWORD) override {
        return PendingAnswer(elapsed, *timeout_);
    }

  private:
    void* Find(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            return static_cast<IMessageFilter*>(this);
        }
        return nullptr;
    }

    std::shared_ptr<DWORD> timeout_;
};

}  // namespace

DWORD PendingAnswer(DWORD elapsed, DWORD timeout) {
    // COM fails the call with RPC_E_CALL_CANCELED; every caller already treats a failed call as
    // a window that could not be asked.
    return elapsed >= timeout ? PENDINGMSG_CANCELCALL : PENDINGMSG_WAITDEFPROCESS;
}

DWORD RejectedAnswer(DWORD elapsed, DWORD rejectType, DWORD timeout) {
    if (rejectType == SERVERCALL_RETRYLATER && elapsed < timeout) {
        return kRetryAfterMilliseconds;
    }
    return static_cast<DWORD>(-1);  // cancel
}

CallTimeout::CallTimeout(DWORD milliseconds)
    : milliseconds_(std::make_shared<DWORD>(milliseconds)) {
    const auto filter = MakeComObject<MessageFilter>(milliseconds_);
    registered_ = SUCCEEDED(::CoRegisterMessageFilter(filter.get(), previous_.put()));
}

CallTimeout::~CallTimeout() {
    if (registered_) {
        ComPtr<IMessageFilter> ours;
        ::CoRegisterMessageFilter(previous_.get(), ours.put());
    }
}

}  // namespace platform::win32
