// The arguments of a browser window's events as they arrive through IDispatch::Invoke, read
// into BrowserEvents calls. Written over the layout of DISPPARAMS and VARIANT (rgvarg, cArgs,
// vt, pboolVal, bstrVal) rather than the types, so that the code the Windows sink runs is also
// the code fuzzed natively.
#pragma once

#include <cstdint>
#include <string>

#include "platform/BrowserAutomation.h"

namespace platform {

// DWebBrowserEvents2 dispatch identifiers the blocker reads.
inline constexpr std::int32_t kDispidStatusTextChange = 102;
inline constexpr std::int32_t kDispidNewWindow2 = 251;
inline constexpr std::int32_t kDispidNewWindow3 = 273;

// VARTYPE values.
inline constexpr std::uint16_t kVtI4 = 3;
inline constexpr std::uint16_t kVtBstr = 8;
inline constexpr std::uint16_t kVtBool = 11;
inline constexpr std::uint16_t kVtByRef = 0x4000;

// The argument at `index` (the last argument comes first), when the call carries exactly
// `count` arguments and that one has type `type`; nothing otherwise.
template <class Params>
auto EventArgument(const Params& params, unsigned count, unsigned index, std::uint16_t type)
    -> decltype(&params.rgvarg[0]) {
    if (params.cArgs != count || index >= count || params.rgvarg == nullptr ||
        params.rgvarg[index].vt != type) {
        return nullptr;
    }
    return &params.rgvarg[index];
}

// The browser's in/out Cancel: a VARIANT_BOOL, true only as -1.
template <class VariantBool>
class VariantCancelFlag final : public CancelFlag {
  public:
    explicit VariantCancelFlag(VariantBool* cancel) : cancel_(cancel) {}
    void Set(bool cancel) override { *cancel_ = cancel ? VariantBool(-1) : VariantBool(0); }

  private:
    VariantBool* cancel_;
};

// Hands one event to `events`: a new-window request only with its Cancel argument where the
// event puts it, a status text only as a string; an event whose arguments are not what it
// should carry is dropped; NewWindow3 passes on the popup's address when it is a string. Only
// Cancel is ever written. `text` turns a BSTR into UTF-8.
template <class Params, class Text>
void DeliverBrowserEvent(std::int32_t id, const Params& params, BrowserEvents& events,
                         const Text& text) {
    const auto cancelAt = [&](unsigned count, unsigned index) {
        const auto* cancel = EventArgument(params, count, index, kVtByRef | kVtBool);
        return cancel != nullptr ? cancel->pboolVal : nullptr;  // null: no request
    };
    switch (id) {
        case kDispidNewWindow2:
            // (ppDisp, Cancel)
            if (auto* cancel = cancelAt(2, 0)) {
                VariantCancelFlag flag(cancel);
                events.NewWindow2(flag);
            }
            break;
        case kDispidNewWindow3:
            // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
            if (auto* cancel = cancelAt(5, 3)) {
                VariantCancelFlag flag(cancel);
                const auto* url = EventArgument(params, 5, 0, kVtBstr);
                events.NewWindow3(flag, url != nullptr ? text(url->bstrVal) : std::string());
            }
            break;
        case kDispidStatusTextChange:
            if (const auto* status = EventArgument(params, 1, 0, kVtBstr)) {
                events.StatusTextChange(text(status->bstrVal));
            }
            break;
        default:
            events.OtherEvent();
            break;
    }
}

}  // namespace platform
