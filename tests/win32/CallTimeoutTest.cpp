#include "platform/win32/CallTimeout.h"

#include <gtest/gtest.h>

namespace platform::win32 {
namespace {

TEST(CallTimeoutTest, CallsWaitUntilTheTimeOutAndThenEnd) {
    EXPECT_EQ(PendingAnswer(0, 3000), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_EQ(PendingAnswer(2999, 3000), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_EQ(PendingAnswer(3000, 3000), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
    // A busy callee is tried again until the time-out; a refusal ends the call at once.
    EXPECT_LT(RejectedAnswer(0, SERVERCALL_RETRYLATER, 3000), 100u + 1);
    EXPECT_EQ(RejectedAnswer(3000, SERVERCALL_RETRYLATER, 3000), static_cast<DWORD>(-1));
    EXPECT_EQ(RejectedAnswer(0, SERVERCALL_REJECTED, 3000), static_cast<DWORD>(-1));
}

TEST(CallTimeoutTest, RegistersOnTheApartmentAndGivesItBack) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        const CallTimeout timeout(3000);
        EXPECT_TRUE(timeout.registered());
    }
    ComPtr<IMessageFilter> left;
    ::CoRegisterMessageFilter(nullptr, left.put());
    EXPECT_FALSE(left) << "the filter of the apartment before it is back";
    ::CoUninitialize();
}

}  // namespace
}  // namespace platform::win32
