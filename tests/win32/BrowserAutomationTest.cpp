// The tracker over the COM layer, in process, with counting fakes of the browser's objects.
#include <exdispid.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeComObjects.h"
#include "blocker/cIEWindows.h"
#include "platform/standin/ComSupport.h"
#include "platform/win32/ShellWindowsAutomation.h"
#include "platform/win32/StandInShellWindows.h"
#include "standin/StandInTestSupport.h"

namespace quell {
namespace {

using platform::win32::ComPtr;
using platform::win32::MakeComObject;
using platform::win32::ShellWindowsAutomation;
using platform::win32::ShellWindowsSources;
using standin::BoolRef;
using standin::DispatchRef;
using standin::testing::PumpFor;
using standin::testing::PumpUntil;
using testing::FakeComBrowser;
using testing::FakeComShellWindows;
using testing::FakeConnectionPoint;
using testing::FakeOtherWindow;
using testing::LiveFakes;

VARIANT Typed(VARTYPE type) {
    VARIANT value;
    ::VariantInit(&value);
    value.vt = type;
    return value;
}

class BrowserAutomationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        system = MakeComObject<FakeComShellWindows>();
    }

    void TearDown() override {
        tracker.reset();
        automation.reset();
        // Every sink the fakes were given must be held by their probe alone by now.
        int sinksStillHeld = system->events->ReleaseProbes();
        for (const auto& browser : browsers) {
            EXPECT_EQ(browser->events->Connected(), 0);
            sinksStillHeld += browser->events->ReleaseProbes();
        }
        EXPECT_EQ(system->events->Connected(), 0);
        EXPECT_EQ(sinksStillHeld, 0) << "an event sink was not released";
        system.reset();
        browsers.clear();
        EXPECT_EQ(LiveFakes(), liveBefore) << "a browser object was not released";
        ::CoUninitialize();
    }

    ComPtr<FakeComBrowser> Open(const wchar_t* url) {
        browsers.push_back(MakeComObject<FakeComBrowser>(url));
        system->items.emplace_back(browsers.back().get());
        return browsers.back();
    }

    void Track(ShellWindowsSources sources = {}) {
        if (!sources.system) {
            sources.system = [this](ComPtr<IShellWindows>& list) {
                list = ComPtr<IShellWindows>(system.get());
                return S_OK;
            };
        }
        automation = std::make_unique<ShellWindowsAutomation>(std::move(sources));
        tracker = std::make_unique<cIEWindows>(
            *automation, state,
            [this](platform::WebBrowser& opener, platform::CancelFlag& cancel,
                   std::string_view) -> std::uint64_t {
                ++decisions;
                lastOpener = opener.LocationURL();
                if (inside) {
                    std::exchange(inside, nullptr)();
                }
                if (answer) {
                    cancel.Set(*answer);
                }
                return 0;
            });
    }

    // Raises NewWindow2 from the browser with Cancel false; gives back Cancel as the decision
    // left it.
    static VARIANT_BOOL NewWindow2(const ComPtr<FakeComBrowser>& browser) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        std::vector<VARIANT> arguments{BoolRef(&cancel), Typed(VT_BYREF | VT_DISPATCH)};
        browser->events->Fire(DISPID_NEWWINDOW2, arguments);
        return cancel;
    }

    const int liveBefore = LiveFakes();  // before any fake of a derived fixture exists
    BlockerState state;
    ComPtr<FakeComShellWindows> system;
    std::vector<ComPtr<FakeComBrowser>> browsers;
    std::unique_ptr<ShellWindowsAutomation> automation;
    std::unique_ptr<cIEWindows> tracker;
    int decisions = 0;
    std::optional<std::string> lastOpener;
    std::optional<bool> answer = true;
    std::function<void()> inside;
};

TEST_F(BrowserAutomationTest, AttachesToEveryBrowserAndDecidesWithItsAddress) {
    Open(L"http://a.example/");
    const auto b = Open(L"http://b\u00fccher.example/seite");
    Open(L"http://c.example/");
    Track();
    ASSERT_EQ(tracker->Count(), 3);
    for (const auto& browser : browsers) {
        EXPECT_EQ(browser->events->Connected(), 1);
    }
    EXPECT_EQ(system->events->Connected(), 1);

    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* newWindow = nullptr;
    std::vector<VARIANT> arguments{BoolRef(&cancel), DispatchRef(&newWindow)};
    b->events->Fire(DISPID_NEWWINDOW2, arguments);

    EXPECT_EQ(decisions, 1);
    EXPECT_EQ(lastOpener, std::optional<std::string>("http://b\xc3\xbc"
                                                     "cher.example/seite"));
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(newWindow, nullptr) << "ppDisp is never touched";
}

// Which argument holds Cancel, and what the decision's answer becomes there; everything else the
// browser passed stays as it came, byte for byte.
struct CancelCase {
    const char* name;
    DISPID event;
    std::optional<bool> answer;
    VARIANT_BOOL expected;
};

void PrintTo(const CancelCase& c, std::ostream* out) {
    *out << c.name;
}

class CancelArgumentTest : public BrowserAutomationTest,
                           public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelArgumentTest, DecisionWritesCancelAndNothingElse) {
    const CancelCase& c = GetParam();
    const auto browser = Open(L"http://a.example/");
    Track();
    answer = c.answer;

    VARIANT_BOOL cancel = 0x1234;  // neither value: shows whether it was written at all
    IDispatch* newWindow = nullptr;
    BSTR url = ::SysAllocString(L"http://popup.example/");
    BSTR context = ::SysAllocString(L"http://a.example/");
    std::vector<VARIANT> arguments =
        c.event == DISPID_NEWWINDOW2
            ? std::vector<VARIANT>{BoolRef(&cancel), DispatchRef(&newWindow)}
            : std::vector<VARIANT>{standin::TextArg(url), standin::TextArg(context),
                                   standin::LongArg(4), BoolRef(&cancel), DispatchRef(&newWindow)};
    const std::vector<VARIANT> before = arguments;
    browser->events->Fire(c.event, arguments);

    EXPECT_EQ(decisions, 1);
    EXPECT_EQ(cancel, c.expected);
    EXPECT_EQ(newWindow, nullptr);
    EXPECT_EQ(std::memcmp(before.data(), arguments.data(), before.size() * sizeof(VARIANT)), 0);
    EXPECT_EQ(browser->events->lastResult, S_OK);
    ::SysFreeString(url);
    ::SysFreeString(context);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CancelArgumentTest,
    ::testing::Values(CancelCase{"NewWindow2Block", DISPID_NEWWINDOW2, true, VARIANT_TRUE},
                      CancelCase{"NewWindow2Allow", DISPID_NEWWINDOW2, false, VARIANT_FALSE},
                      CancelCase{"NewWindow2Untouched", DISPID_NEWWINDOW2, std::nullopt, 0x1234},
                      CancelCase{"NewWindow3Block", DISPID_NEWWINDOW3, true, VARIANT_TRUE},
                      CancelCase{"NewWindow3Allow", DISPID_NEWWINDOW3, false, VARIANT_FALSE},
                      CancelCase{"NewWindow3Untouched", DISPID_NEWWINDOW3, std::nullopt, 0x1234}),
    [](const ::testing::TestParamInfo<CancelCase>& p) { return p.param.name; });

// Calls whose arguments are not what the event defines are ignored whole: no decision, no text,
// nothing written.
struct MalformedCase {
    const char* name;
    DISPID event;
    std::function<std::vector<VARIANT>(VARIANT_BOOL*, BSTR)> arguments;
};

void PrintTo(const MalformedCase& c, std::ostream* out) {
    *out << c.name;
}

class MalformedEventTest : public BrowserAutomationTest,
                           public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedEventTest, IsIgnored) {
    const auto browser = Open(L"http://a.example/");
    Track();
    state.strLinkText = "before";
    VARIANT_BOOL cancel = 0x1234;
    BSTR text = ::SysAllocString(L"http://link.example/");
    std::vector<VARIANT> arguments = GetParam().arguments(&cancel, text);
    const std::vector<VARIANT> before = arguments;

    browser->events->Fire(GetParam().event, arguments);

    EXPECT_EQ(browser->events->lastResult, S_OK);
    EXPECT_EQ(decisions, 0);
    EXPECT_EQ(cancel, 0x1234);
    EXPECT_EQ(state.strLinkText, "before");
    EXPECT_EQ(std::memcmp(before.data(), arguments.data(), before.size() * sizeof(VARIANT)), 0);
    ::SysFreeString(text);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, MalformedEventTest,
    ::testing::Values(
        MalformedCase{"NewWindow2WithoutArguments", DISPID_NEWWINDOW2,
                      [](VARIANT_BOOL*, BSTR) { return std::vector<VARIANT>{}; }},
        MalformedCase{"NewWindow2CancelByValue", DISPID_NEWWINDOW2,
                      [](VARIANT_BOOL*, BSTR) {
                          return std::vector<VARIANT>{Typed(VT_BOOL), Typed(VT_DISPATCH)};
                      }},
        MalformedCase{"NewWindow2CancelNullPointer", DISPID_NEWWINDOW2,
                      [](VARIANT_BOOL*, BSTR) {
                          return std::vector<VARIANT>{BoolRef(nullptr), Typed(VT_DISPATCH)};
                      }},
        MalformedCase{"NewWindow2ThreeArguments", DISPID_NEWWINDOW2,
                      [](VARIANT_BOOL* cancel, BSTR) {
                          return std::vector<VARIANT>{BoolRef(cancel), Typed(VT_DISPATCH),
                                                      standin::LongArg(1)};
                      }},
        MalformedCase{"NewWindow3CancelWhereNewWindow2HasIt", DISPID_NEWWINDOW3,
                      [](VARIANT_BOOL* cancel, BSTR) {
                          return std::vector<VARIANT>{BoolRef(cancel), standin::LongArg(0),
                                                      standin::LongArg(0), standin::LongArg(0),
                                                      Typed(VT_DISPATCH)};
                      }},
        MalformedCase{"NewWindow3TwoArguments", DISPID_NEWWINDOW3,
                      [](VARIANT_BOOL* cancel, BSTR) {
                          return std::vector<VARIANT>{BoolRef(cancel), Typed(VT_DISPATCH)};
                      }},
        MalformedCase{
            "StatusTextNotText", DISPID_STATUSTEXTCHANGE,
            [](VARIANT_BOOL*, BSTR) { return std::vector<VARIANT>{standin::LongArg(5)}; }},
        MalformedCase{
            "StatusTextTwoArguments", DISPID_STATUSTEXTCHANGE,
            [](VARIANT_BOOL*, BSTR text) {
                return std::vector<VARIANT>{standin::TextArg(text), standin::TextArg(text)};
            }}),
    [](const ::testing::TestParamInfo<MalformedCase>& p) { return p.param.name; });

TEST_F(BrowserAutomationTest, InvokeWithoutParametersIsIgnored) {
    const auto browser = Open(L"http://a.example/");
    Track();
    for (IDispatch* sink : browser->events->Sinks()) {
        EXPECT_EQ(sink->Invoke(DISPID_NEWWINDOW2, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                               nullptr, nullptr),
                  S_OK);
    }
    EXPECT_EQ(decisions, 0);
}

// The other events are received, and neither their Cancel nor any other argument is written.
TEST_F(BrowserAutomationTest, OtherEventsTouchNothing) {
    const auto browser = Open(L"http://a.example/");
    Track();
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT url = Typed(VT_BSTR);
    std::vector<VARIANT> beforeNavigate{BoolRef(&cancel),
                                        Typed(VT_BYREF | VT_VARIANT),
                                        Typed(VT_BYREF | VT_VARIANT),
                                        Typed(VT_BYREF | VT_VARIANT),
                                        Typed(VT_BYREF | VT_VARIANT),
                                        Typed(VT_BYREF | VT_VARIANT),
                                        Typed(VT_DISPATCH)};
    beforeNavigate[5].pvarVal = &url;
    std::vector<VARIANT> windowClosing{BoolRef(&cancel), Typed(VT_BOOL)};
    std::vector<VARIANT> none;
    const auto beforeNavigateCopy = beforeNavigate;
    state.strLinkText = "before";

    browser->events->Fire(DISPID_BEFORENAVIGATE2, beforeNavigate);
    browser->events->Fire(DISPID_WINDOWCLOSING, windowClosing);
    browser->events->Fire(DISPID_ONQUIT, none);
    browser->events->Fire(DISPID_DOCUMENTCOMPLETE, none);

    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_EQ(url.vt, VT_BSTR);
    EXPECT_EQ(std::memcmp(beforeNavigateCopy.data(), beforeNavigate.data(),
                          beforeNavigate.size() * sizeof(VARIANT)),
              0);
    EXPECT_EQ(decisions, 0);
    EXPECT_EQ(state.strLinkText, "before");
    EXPECT_EQ(browser->events->lastResult, S_OK);
}

// One request raised as NewWindow2 and then NewWindow3 is decided once, an event of the window
// in between or not; a second NewWindow3 is a request of its own.
TEST_F(BrowserAutomationTest, BackToBackNewWindow2And3AreDecidedOnce) {
    const auto browser = Open(L"http://a.example/");
    Track();
    VARIANT_BOOL first = VARIANT_FALSE;
    VARIANT_BOOL second = VARIANT_FALSE;
    std::vector<VARIANT> newWindow2{BoolRef(&first), Typed(VT_BYREF | VT_DISPATCH)};
    std::vector<VARIANT> newWindow3{Typed(VT_BSTR), Typed(VT_BSTR), standin::LongArg(4),
                                    BoolRef(&second), Typed(VT_BYREF | VT_DISPATCH)};
    std::vector<VARIANT> none;

    browser->events->Fire(DISPID_NEWWINDOW2, newWindow2);
    browser->events->Fire(DISPID_NEWWINDOW3, newWindow3);
    EXPECT_EQ(decisions, 1);
    EXPECT_EQ(second, VARIANT_TRUE);

    browser->events->Fire(DISPID_NEWWINDOW2, newWindow2);
    browser->events->Fire(DISPID_DOCUMENTCOMPLETE, none);
    browser->events->Fire(DISPID_NEWWINDOW3, newWindow3);
    EXPECT_EQ(decisions, 2);
    browser->events->Fire(DISPID_NEWWINDOW3, newWindow3);
    EXPECT_EQ(decisions, 3);
}

TEST_F(BrowserAutomationTest, StatusTextReachesTheSharedStateEmptyOnesToo) {
    const auto a = Open(L"http://a.example/");
    const auto b = Open(L"http://b.example/");
    Track();
    BSTR link = ::SysAllocString(L"http://l\u00e4nk.example/");
    BSTR empty = ::SysAllocString(L"");
    std::vector<VARIANT> linkText{standin::TextArg(link)};
    std::vector<VARIANT> emptyText{standin::TextArg(empty)};
    std::vector<VARIANT> nullText{standin::TextArg(nullptr)};

    a->events->Fire(DISPID_STATUSTEXTCHANGE, linkText);
    EXPECT_EQ(state.strLinkText, "http://l\xc3\xa4nk.example/");
    b->events->Fire(DISPID_STATUSTEXTCHANGE, emptyText);
    EXPECT_EQ(state.strLinkText, "");
    a->events->Fire(DISPID_STATUSTEXTCHANGE, linkText);
    a->events->Fire(DISPID_STATUSTEXTCHANGE, nullText);
    EXPECT_EQ(state.strLinkText, "");
    ::SysFreeString(link);
    ::SysFreeString(empty);
}

TEST_F(BrowserAutomationTest, ShellEventsAttachNewWindowsAndReleaseClosedOnes) {
    const auto a = Open(L"http://a.example/");
    const auto b = Open(L"http://b.example/");
    Track();

    Open(L"http://c.example/");
    system->Announce(DISPID_WINDOWREGISTERED);
    EXPECT_EQ(tracker->Count(), 3);

    system->items.erase(system->items.begin());  // a closes
    system->Announce(DISPID_WINDOWREVOKED);
    EXPECT_EQ(tracker->Count(), 2);
    EXPECT_EQ(a->events->Connected(), 0);
    EXPECT_EQ(a->events->EverConnected(), 1) << "a window listed again keeps its listener";
    EXPECT_EQ(b->events->Connected(), 1);
    EXPECT_EQ(b->events->EverConnected(), 1);
    EXPECT_EQ(b->events->ReleaseProbes(), 1) << "only the current listener holds a sink";
    EXPECT_EQ(system->events->EverConnected(), 1) << "winShell is bound once";
}

TEST_F(BrowserAutomationTest, DeadAndForeignItemsAreSkipped) {
    Open(L"http://first.example/");
    Open(L"http://dead.example/")->dead = true;
    Open(L"http://dying.example/")->diesBeforeAttach = true;
    const auto other = MakeComObject<FakeOtherWindow>();
    system->items.emplace_back(other.get());
    const auto last = Open(L"http://last.example/");
    Track();

    EXPECT_EQ(tracker->Count(), 2);
    NewWindow2(last);
    EXPECT_EQ(lastOpener, std::optional<std::string>("http://last.example/"));
}

TEST_F(BrowserAutomationTest, ListThatFailsMidWayKeepsTheWindowsBeforeIt) {
    Open(L"http://a.example/");
    Open(L"http://b.example/");
    Open(L"http://c.example/");
    system->failAt = 1;
    Track();
    EXPECT_EQ(tracker->Count(), 1);
    EXPECT_EQ(system->events->Connected(), 0) << "not bound by a failed refresh";
}

TEST_F(BrowserAutomationTest, BrowserGoneBeforeItsAddressIsReadLeavesCancelAsItCame) {
    const auto a = Open(L"http://a.example/");
    Track();
    a->dead = true;
    answer = std::nullopt;
    const VARIANT_BOOL cancel = NewWindow2(a);
    EXPECT_EQ(lastOpener, std::nullopt);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_FALSE(tracker->closeIE());
}

// The decision's prompt wait lets a revocation in that drops the very listener running it.
TEST_F(BrowserAutomationTest, ListenerDroppedDuringItsOwnDecisionStillAnswers) {
    const auto a = Open(L"http://a.example/");
    Open(L"http://b.example/");
    Track();
    inside = [&] {
        system->items.erase(system->items.begin());
        system->Announce(DISPID_WINDOWREVOKED);
        EXPECT_EQ(a->events->Connected(), 0);
    };
    const VARIANT_BOOL cancel = NewWindow2(a);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(tracker->Count(), 1);
}

TEST_F(BrowserAutomationTest, TrackerEndedDuringADecisionReleasesEverything) {
    const auto a = Open(L"http://a.example/");
    Track();
    inside = [&] { tracker.reset(); };
    const VARIANT_BOOL cancel = NewWindow2(a);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(a->events->Connected(), 0);
}

// The system's list keeps the entry but hands out a new object and raises nothing: the check
// finds the old one gone and the tracker attaches to the new one.
TEST_F(BrowserAutomationTest, ObjectGoneUnderAnUnchangedListIsFoundByTheCheck) {
    const auto old = Open(L"http://a.example/");
    ShellWindowsSources sources;
    sources.browserCheckMilliseconds = 20;
    Track(sources);
    ASSERT_EQ(old->events->Connected(), 1);
    PumpFor(100);
    EXPECT_EQ(old->events->EverConnected(), 1) << "a live window is left alone";

    old->dead = true;
    browsers.push_back(MakeComObject<FakeComBrowser>(L"http://a.example/"));
    system->items[0] = ComPtr<IDispatch>(browsers.back().get());
    ASSERT_TRUE(PumpUntil([&] { return browsers.back()->events->Connected() == 1; }, 5000));
    EXPECT_EQ(old->events->Connected(), 0);
    EXPECT_EQ(NewWindow2(browsers.back()), VARIANT_TRUE);
    EXPECT_EQ(decisions, 1);
}

TEST_F(BrowserAutomationTest, CloseIEAsksTheFirstBrowserToQuit) {
    const auto a = Open(L"http://a.example/");
    const auto b = Open(L"http://b.example/");
    Track();
    EXPECT_TRUE(tracker->closeIE());
    EXPECT_EQ(a->quitCalls, 1);
    EXPECT_EQ(b->quitCalls, 0);
}

// Nothing handed in to stand in for a system list that is not implemented: no list.
TEST_F(BrowserAutomationTest, UnimplementedSystemListWithNoStandInGivesNoList) {
    system->countResult = E_NOTIMPL;
    Open(L"http://a.example/");
    Track();
    EXPECT_EQ(automation->ShellWindows(), nullptr);
    EXPECT_EQ(tracker->Count(), 0);
    EXPECT_FALSE(tracker->Watching());
}

// Where the system's list answers E_NOTIMPL (Wine), the stand-in's list in the Running Object
// Table serves; one that starts later is found by the look-out timer.
class StandInFallbackTest : public BrowserAutomationTest {
  protected:
    void Register() {
        ASSERT_TRUE(SUCCEEDED(::GetRunningObjectTable(0, table.put())));
        ASSERT_TRUE(SUCCEEDED(::CreateItemMoniker(standin::kRotDelimiter, kName, moniker.put())));
        ASSERT_TRUE(SUCCEEDED(table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE,
                                              static_cast<IShellWindows*>(standIn.get()),
                                              moniker.get(), &cookie)));
    }
    void TearDown() override {
        if (cookie != 0) {
            table->Revoke(cookie);
        }
        tracker.reset();
        EXPECT_EQ(standIn->events->Connected(), 0);
        EXPECT_EQ(standIn->events->ReleaseProbes(), 0);
        standIn.reset();
        table.reset();
        moniker.reset();
        BrowserAutomationTest::TearDown();
    }
    ShellWindowsSources Sources() {
        ShellWindowsSources sources;
        sources.standIn = platform::win32::StandInShellWindows({kName, 50});
        return sources;
    }
    ComPtr<FakeComBrowser> OpenInStandIn(const wchar_t* url) {
        browsers.push_back(MakeComObject<FakeComBrowser>(url));
        standIn->items.emplace_back(browsers.back().get());
        return browsers.back();
    }

    static constexpr const wchar_t* kName = L"QuellPane.Test.ShellWindows";
    ComPtr<FakeComShellWindows> standIn = MakeComObject<FakeComShellWindows>();
    ComPtr<IRunningObjectTable> table;
    ComPtr<IMoniker> moniker;
    DWORD cookie = 0;
};

TEST_F(StandInFallbackTest, StandInRunningAtStartIsUsedAndHeard) {
    system->countResult = E_NOTIMPL;
    OpenInStandIn(L"http://a.example/");
    Register();
    Track(Sources());
    EXPECT_EQ(tracker->Count(), 1);

    OpenInStandIn(L"http://b.example/");
    standIn->Announce(DISPID_WINDOWREGISTERED);
    EXPECT_EQ(tracker->Count(), 2);
}

TEST_F(StandInFallbackTest, StandInStartingLaterIsFoundAndThenHeard) {
    system->countResult = E_NOTIMPL;
    Track(Sources());
    EXPECT_EQ(tracker->Count(), 0);

    OpenInStandIn(L"http://a.example/");
    OpenInStandIn(L"http://b.example/");
    Register();
    ASSERT_TRUE(PumpUntil([&] { return tracker->Count() == 2; }, 5000));
    EXPECT_EQ(standIn->events->Connected(), 1);

    OpenInStandIn(L"http://c.example/");
    standIn->Announce(DISPID_WINDOWREGISTERED);
    EXPECT_EQ(tracker->Count(), 3);
}

TEST_F(StandInFallbackTest, StandInEndingAndAnotherStartingAreFollowed) {
    system->countResult = E_NOTIMPL;
    OpenInStandIn(L"http://a.example/");
    OpenInStandIn(L"http://b.example/");
    Register();
    Track(Sources());
    ASSERT_EQ(tracker->Count(), 2);

    table->Revoke(std::exchange(cookie, 0));
    ASSERT_TRUE(PumpUntil([&] { return tracker->Count() == 0; }, 5000));
    EXPECT_EQ(standIn->events->Connected(), 0);

    const ComPtr<FakeComShellWindows> first =
        std::exchange(standIn, MakeComObject<FakeComShellWindows>());
    OpenInStandIn(L"http://c.example/");
    Register();
    ASSERT_TRUE(PumpUntil([&] { return tracker->Count() == 1; }, 5000));
    OpenInStandIn(L"http://d.example/");
    standIn->Announce(DISPID_WINDOWREGISTERED);
    EXPECT_EQ(tracker->Count(), 2);
    EXPECT_EQ(first->events->ReleaseProbes(), 0);
}

// Ended and started again between two looks: the new one is followed, not the dead one's events.
TEST_F(StandInFallbackTest, StandInRestartedBetweenTwoLooksIsFollowed) {
    system->countResult = E_NOTIMPL;
    OpenInStandIn(L"http://a.example/");
    Register();
    Track(Sources());
    ASSERT_EQ(tracker->Count(), 1);

    table->Revoke(std::exchange(cookie, 0));
    const ComPtr<FakeComShellWindows> first =
        std::exchange(standIn, MakeComObject<FakeComShellWindows>());
    OpenInStandIn(L"http://b.example/");
    OpenInStandIn(L"http://c.example/");
    Register();
    ASSERT_TRUE(PumpUntil(
        [&] { return tracker->Count() == 2 && standIn->events->Connected() == 1; }, 5000));
    EXPECT_EQ(first->events->Connected(), 0);
    OpenInStandIn(L"http://d.example/");
    standIn->Announce(DISPID_WINDOWREGISTERED);
    EXPECT_EQ(tracker->Count(), 3);
}

TEST_F(StandInFallbackTest, SystemListThatWorksIsUsedEvenWithAStandInRunning) {
    Open(L"http://system.example/");
    OpenInStandIn(L"http://stand-in.example/");
    Register();
    Track(Sources());
    ASSERT_EQ(tracker->Count(), 1);
    EXPECT_EQ(standIn->events->EverConnected(), 0);
    EXPECT_EQ(browsers[1]->events->EverConnected(), 0);
}

// Explorer not up yet at logon: its list's class is not registered. The stand-in's list serves
// meanwhile, and the system's is bound once it can be created.
TEST_F(StandInFallbackTest, SystemListNotRegisteredYetIsAskedForAgain) {
    Open(L"http://system.example/");
    OpenInStandIn(L"http://stand-in.example/");
    Register();
    bool registered = false;
    ShellWindowsSources sources = Sources();
    sources.system = [&](ComPtr<IShellWindows>& list) {
        if (!registered) {
            return REGDB_E_CLASSNOTREG;
        }
        list = ComPtr<IShellWindows>(system.get());
        return S_OK;
    };
    Track(sources);
    ASSERT_EQ(tracker->Count(), 1);
    EXPECT_FALSE(tracker->Watching());

    registered = true;
    ASSERT_TRUE(PumpUntil([&] { return tracker->Watching(); }, 3 * cIEWindows::kRetryMilliseconds));
    ASSERT_EQ(tracker->Count(), 1);
    EXPECT_EQ(NewWindow2(browsers[0]), VARIANT_TRUE);
    EXPECT_EQ(lastOpener, std::optional<std::string>("http://system.example/"));
    EXPECT_EQ(system->events->Connected(), 1);
    EXPECT_EQ(standIn->events->Connected(), 0);
    EXPECT_EQ(browsers[1]->events->Connected(), 0);
}

// The system's own list, as the program creates it: under Wine it is not implemented and the
// look-out list stands in; on Windows it is the real one. Either way it can be walked.
TEST_F(StandInFallbackTest, DefaultSystemListCanBeWalked) {
    ShellWindowsSources sources = Sources();
    sources.system = platform::win32::CreateSystemShellWindows;
    ShellWindowsAutomation real(sources);
    const auto list = real.ShellWindows();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->Count().has_value());
}

}  // namespace
}  // namespace quell
