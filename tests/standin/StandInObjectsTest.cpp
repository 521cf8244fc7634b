// The stand-in's pieces in this process: the command line, the log format, and the COM objects
// with recording sinks. Every case also checks that each object it made was freed.
#include <windows.h>

#include <exdispid.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <array>

#include "StandInTestSupport.h"
#include "platform/standin/Browser.h"
#include "platform/standin/Options.h"
#include "platform/standin/RequestLog.h"
#include "platform/standin/ShellWindows.h"
#include "platform/win32/Unicode.h"

namespace standin::testing {
namespace {

// ---- Command line and log ----

struct OptionsCase {
    std::vector<std::wstring> args;
    bool ok;
    RaiseMode raise;
    int windows;
    int burst = 1;
};

void PrintTo(const OptionsCase& optionsCase, std::ostream* out) {
    for (const std::wstring& arg : optionsCase.args) {
        *out << platform::win32::Narrow(arg) << ' ';
    }
}

class OptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsTest, ParsesValuesOrNamesTheMistake) {
    const OptionsCase& c = GetParam();
    std::wstring error;
    const std::optional<Options> options = ParseOptions(c.args, error);
    ASSERT_EQ(options.has_value(), c.ok) << platform::win32::Narrow(error);
    if (c.ok) {
        EXPECT_EQ(options->raise, c.raise);
        EXPECT_EQ(options->windows, c.windows);
        EXPECT_EQ(options->burst, c.burst);
    } else {
        EXPECT_FALSE(error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, OptionsTest,
    ::testing::Values(OptionsCase{{}, true, RaiseMode::Both2Then3, 1},
                      OptionsCase{{L"--raise", L"2"}, true, RaiseMode::NewWindow2, 1},
                      OptionsCase{{L"--raise", L"3"}, true, RaiseMode::NewWindow3, 1},
                      OptionsCase{
                          {L"--raise", L"32", L"--windows", L"0"}, true, RaiseMode::Both3Then2, 0},
                      OptionsCase{{L"--windows", L"500"}, true, RaiseMode::Both2Then3, 500},
                      OptionsCase{{L"--burst", L"100000"}, true, RaiseMode::Both2Then3, 1, 100000},
                      OptionsCase{{L"--burst", L"0"}, false, {}, 0},
                      OptionsCase{{L"--burst", L"100001"}, false, {}, 0},
                      OptionsCase{{L"--raise", L"4"}, false, {}, 0},
                      OptionsCase{{L"--raise", L"2+3"}, false, {}, 0},
                      OptionsCase{{L"--windows", L"501"}, false, {}, 0},
                      OptionsCase{{L"--windows", L"-1"}, false, {}, 0},
                      OptionsCase{{L"--windows", L"2x"}, false, {}, 0},
                      OptionsCase{{L"--url"}, false, {}, 0},
                      OptionsCase{{L"--popup", L""}, false, {}, 0},
                      OptionsCase{{L"--colour", L"red"}, false, {}, 0},
                      OptionsCase{{L"http://a.example/"}, false, {}, 0}));

TEST(OptionsTest, AddressesAndLogAreTakenAsGiven) {
    const std::vector<std::wstring> args{L"--url",   L"http://a.example/x y",
                                         L"--popup", L"http://b.example/",
                                         L"--log",   L"C:\\t\\l.log"};
    std::wstring error;
    const std::optional<Options> options = ParseOptions(args, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->url, L"http://a.example/x y");
    EXPECT_EQ(options->popup, L"http://b.example/");
    EXPECT_EQ(options->log, L"C:\\t\\l.log");
}

TEST(RequestLogTest, BurstLineSumsTheTimesAndGivesTheirMedianAndRate) {
    EXPECT_EQ(BurstLogLine({900, 100, 500, 300}, 3),
              "burst requests=4 blocked=3 us=1800 median-us=300 per-second=2222");
}

TEST(RequestLogTest, LinesCarryEveryFieldAndCannotBeSplitByTheAddress) {
    EXPECT_EQ(
        RequestLogLine({7, RaiseMode::Both3Then2, true, false, 2, 1234, L"http://p.example/a b"}),
        "request=7 events=3+2 cancel=1 opened=0 sinks=2 us=1234 url=http://p.example/a b");
    EXPECT_EQ(RequestLogLine({1, RaiseMode::NewWindow2, false, true, 0, 0,
                              L"http://p.example/\r\nrequest=9\x7f"}),
              "request=1 events=2 cancel=0 opened=1 sinks=0 us=0 "
              "url=http://p.example/%0D%0Arequest=9%7F");
    EXPECT_EQ(
        RequestLogLine({2, RaiseMode::NewWindow3, false, false, 1, 5, L"http://\u00e9.example/"}),
        "request=2 events=3 cancel=0 opened=0 sinks=1 us=5 url=http://\xc3\xa9.example/");
    EXPECT_EQ(ExitLogLine(0), "exit live-objects=0");
}

// ---- COM objects ----

class ObjectsTest : public ::testing::Test {
  protected:
    void SetUp() override { before_ = LiveObjects(); }
    void TearDown() override { EXPECT_EQ(LiveObjects(), before_) << "objects left alive"; }

  private:
    long before_ = 0;
};

class FakeView final : public BrowserView {
  public:
    HWND Handle() const override { return nullptr; }
    void ShowLocation(const std::wstring& url) override { shown.push_back(url); }
    void RequestClose() override { ++closeRequests; }
    void RequestPopup(const std::wstring& url) override { popups.push_back(url); }

    std::vector<std::wstring> shown;
    std::vector<std::wstring> popups;
    int closeRequests = 0;
};

VARIANT Index(VARTYPE type, LONG value) {
    VARIANT index;
    ::VariantInit(&index);
    index.vt = type;
    if (type == VT_I2) {
        index.iVal = static_cast<SHORT>(value);
    } else {
        index.lVal = value;
    }
    return index;
}

TEST_F(ObjectsTest, ListAnnouncesAddedAndRemovedWindowsWithOneCookieAfterChangingItself) {
    FakeView view;
    const ComPtr<ShellWindows> list = MakeComObject<ShellWindows>();
    const ComPtr<Browser> window = MakeComObject<Browser>(view, L"http://w.example/");
    TestSink sink(DIID_DShellWindowsEvents);
    LONG countSeen = -1;
    sink.onCall = [&](const SinkCall&) { countSeen = CountOf(*list); };
    {
        const Advised advised(static_cast<IShellWindows*>(list.get()), DIID_DShellWindowsEvents,
                              &sink);
        ASSERT_HRESULT_SUCCEEDED(advised.result());
        const LONG cookie = list->Add(window.get());
        EXPECT_EQ(countSeen, 1);
        EXPECT_FALSE(list->Remove(cookie + 1));
        EXPECT_TRUE(list->Remove(cookie));
        EXPECT_EQ(countSeen, 0);
        EXPECT_FALSE(list->Remove(cookie));
        EXPECT_EQ(sink.Ids(), (std::vector<DISPID>{DISPID_WINDOWREGISTERED, DISPID_WINDOWREVOKED}));
        EXPECT_EQ(sink.calls[0].number, cookie);
        EXPECT_EQ(sink.calls[1].number, cookie);
        EXPECT_EQ(sink.calls[0].types, std::vector<VARTYPE>{VT_I4});
    }
    EXPECT_EQ(sink.References(), 1u);
    window->Detach();
    list->Disconnect();
}

struct ItemCase {
    VARIANT index;
    HRESULT result;
    int expected;  // position of the window handed back; -1 for none
};

TEST_F(ObjectsTest, ItemAcceptsTheIndexFormsCallersPass) {
    FakeView view;
    const ComPtr<ShellWindows> list = MakeComObject<ShellWindows>();
    const ComPtr<Browser> first = MakeComObject<Browser>(view, L"http://0.example/");
    const ComPtr<Browser> second = MakeComObject<Browser>(view, L"http://1.example/");
    list->Add(first.get());
    list->Add(second.get());
    LONG byReference = 1;
    VARIANT referenced;
    ::VariantInit(&referenced);
    referenced.vt = VT_BYREF | VT_I4;
    referenced.plVal = &byReference;
    VARIANT missing = Index(VT_ERROR, 0);
    missing.scode = DISP_E_PARAMNOTFOUND;
    const UniqueBstr word = MakeBstr(L"first");
    VARIANT text = TextArg(word.get());
    const ItemCase cases[] = {
        {Index(VT_I4, 1), S_OK, 1},      {Index(VT_I2, 0), S_OK, 0}, {referenced, S_OK, 1},
        {Index(VT_EMPTY, 0), S_OK, 0},   {missing, S_OK, 0},         {Index(VT_I4, 2), S_FALSE, -1},
        {Index(VT_I4, -1), S_FALSE, -1}, {text, E_INVALIDARG, -1},
    };
    const Browser* windows[] = {first.get(), second.get()};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        ComPtr<IDispatch> found;
        EXPECT_EQ(list->Item(cases[i].index, found.put()), cases[i].result) << "case " << i;
        if (cases[i].expected < 0) {
            EXPECT_FALSE(found) << "case " << i;
        } else {
            EXPECT_EQ(found.get(),
                      static_cast<IDispatch*>(const_cast<Browser*>(windows[cases[i].expected])))
                << "case " << i;
        }
    }
    list->Disconnect();
}

TEST_F(ObjectsTest, EnumeratorWalksTheWindowsAsTheyWereWhenItWasMade) {
    FakeView view;
    const ComPtr<ShellWindows> list = MakeComObject<ShellWindows>();
    std::vector<ComPtr<Browser>> windows;
    for (int i = 0; i < 3; ++i) {
        windows.push_back(
            MakeComObject<Browser>(view, L"http://" + std::to_wstring(i) + L".example/"));
        list->Add(windows.back().get());
    }
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(list->_NewEnum(unknown.put()), S_OK);
    const ComPtr<IEnumVARIANT> walk = unknown.as<IEnumVARIANT>();
    list->Remove(1);  // later changes leave the walk alone

    auto next = [&](IEnumVARIANT& from) {
        VARIANT item;
        ULONG fetched = 0;
        if (from.Next(1, &item, &fetched) != S_OK || fetched != 1 || item.vt != VT_DISPATCH) {
            return std::wstring(L"<end>");
        }
        const ComPtr<IWebBrowser2> browser =
            ComPtr<IDispatch>::attach(item.pdispVal).as<IWebBrowser2>();
        return LocationOf(*browser);
    };
    EXPECT_EQ(next(*walk), L"http://0.example/");
    ComPtr<IEnumVARIANT> copy;
    ASSERT_EQ(walk->Clone(copy.put()), S_OK);
    EXPECT_EQ(walk->Skip(1), S_OK);
    EXPECT_EQ(next(*walk), L"http://2.example/");
    EXPECT_EQ(next(*walk), L"<end>");
    EXPECT_EQ(walk->Skip(1), S_FALSE);
    EXPECT_EQ(next(*copy), L"http://1.example/");
    EXPECT_EQ(walk->Reset(), S_OK);
    EXPECT_EQ(next(*walk), L"http://0.example/");
    list->Disconnect();
}

TEST_F(ObjectsTest, RegisterAndRevokeHoldAnOutsideWindowOnlyWhileListed) {
    const ComPtr<ShellWindows> list = MakeComObject<ShellWindows>();
    TestSink outside(IID_IDispatch);
    LONG cookie = 0;
    ASSERT_EQ(list->Register(&outside, 0, SWC_BROWSER, &cookie), S_OK);
    EXPECT_EQ(CountOf(*list), 1);
    EXPECT_EQ(outside.References(), 2u);
    EXPECT_EQ(list->Revoke(cookie), S_OK);
    EXPECT_EQ(list->Revoke(cookie), E_INVALIDARG);
    EXPECT_EQ(outside.References(), 1u);
    EXPECT_EQ(list->Register(nullptr, 0, SWC_BROWSER, &cookie), E_POINTER);
    list->Disconnect();
}

// A sink offers an object for the popup to open in; the stand-in opens its own window and
// hands every offered reference back.
TEST_F(ObjectsTest, PopupRequestHandsBackObjectsTheSinksOffer) {
    FakeView view;
    const ComPtr<Browser> browser = MakeComObject<Browser>(view, L"http://o.example/");
    TestSink offered(IID_IDispatch);
    TestSink first(DIID_DWebBrowserEvents2);
    TestSink second(DIID_DWebBrowserEvents2);
    first.offer = &offered;
    second.offer = &offered;
    {
        const Advised a(static_cast<IWebBrowser2*>(browser.get()), DIID_DWebBrowserEvents2, &first);
        const Advised b(static_cast<IWebBrowser2*>(browser.get()), DIID_DWebBrowserEvents2,
                        &second);
        EXPECT_FALSE(browser->RequestNewWindow(RaiseMode::Both2Then3, L"http://p.example/",
                                               kPopupButtonFlags));
    }
    EXPECT_EQ(first.calls.size(), 2u);
    EXPECT_EQ(offered.References(), 1u);
    browser->Detach();
}

struct GoneCase {
    HRESULT answer;
    bool dropped;
};

TEST_F(ObjectsTest, SinksWhoseObjectHasGoneAreDroppedAndTheRestStillCalled) {
    const GoneCase cases[] = {
        {RPC_E_DISCONNECTED, true},
        {CO_E_OBJNOTCONNECTED, true},
        {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), true},
        {RPC_E_SERVER_DIED_DNE, true},
        {E_FAIL, false},
        {DISP_E_MEMBERNOTFOUND, false},
    };
    for (const GoneCase& c : cases) {
        FakeView view;
        const ComPtr<Browser> browser = MakeComObject<Browser>(view, L"http://g.example/");
        TestSink failing(DIID_DWebBrowserEvents2);
        failing.result = c.answer;
        TestSink healthy(DIID_DWebBrowserEvents2);
        healthy.answers[DISPID_NEWWINDOW2] = VARIANT_TRUE;
        {
            const Advised a(static_cast<IWebBrowser2*>(browser.get()), DIID_DWebBrowserEvents2,
                            &failing);
            const Advised b(static_cast<IWebBrowser2*>(browser.get()), DIID_DWebBrowserEvents2,
                            &healthy);
            EXPECT_TRUE(browser->RequestNewWindow(RaiseMode::NewWindow2, L"http://p.example/",
                                                  kPopupButtonFlags));
            EXPECT_EQ(b.Connections(), c.dropped ? 1u : 2u) << std::hex << c.answer;
            browser->SetStatusText(L"next");
            EXPECT_EQ(failing.calls.size(), c.dropped ? 1u : 2u) << std::hex << c.answer;
            EXPECT_EQ(healthy.calls.size(), 2u);
        }
        EXPECT_EQ(failing.References(), 1u);
        browser->Detach();
    }
}

TEST_F(ObjectsTest, ASinkThatLeavesDuringItsCallDoesNotStopTheOthers) {
    FakeView view;
    const ComPtr<Browser> browser = MakeComObject<Browser>(view, L"http://l.example/");
    auto* source = static_cast<IWebBrowser2*>(browser.get());
    TestSink leaving(DIID_DWebBrowserEvents2);
    TestSink staying(DIID_DWebBrowserEvents2);
    std::optional<Advised> leavingAdvice;
    leavingAdvice.emplace(source, DIID_DWebBrowserEvents2, &leaving);
    const Advised stayingAdvice(source, DIID_DWebBrowserEvents2, &staying);
    leaving.onCall = [&](const SinkCall&) { leavingAdvice.reset(); };
    browser->SetStatusText(L"hello");
    EXPECT_EQ(leaving.calls.size(), 1u);
    EXPECT_EQ(staying.calls.size(), 1u);
    EXPECT_EQ(stayingAdvice.Connections(), 1u);
    EXPECT_EQ(leaving.References(), 1u);
    browser->Detach();
}

TEST_F(ObjectsTest, ConnectionPointsAnswerTheirContractForWrongCallers) {
    FakeView view;
    const ComPtr<Browser> browser = MakeComObject<Browser>(view, L"http://c.example/");
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(browser->FindConnectionPoint(DIID_DShellWindowsEvents, point.put()),
              CONNECT_E_NOCONNECTION);
    ASSERT_EQ(browser->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()), S_OK);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(point->GetConnectionPointContainer(container.put()), S_OK);
    EXPECT_EQ(container.get(), static_cast<IConnectionPointContainer*>(browser.get()));
    IID events{};
    EXPECT_EQ(point->GetConnectionInterface(&events), S_OK);
    EXPECT_EQ(events, DIID_DWebBrowserEvents2);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(browser->EnumConnectionPoints(points.put()), S_OK);
    IConnectionPoint* listed[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, listed, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(listed[0], point.get());
    listed[0]->Release();

    // An object with no IDispatch cannot take events; an unknown cookie is refused.
    const ComPtr<IEnumConnectionPoints> notASink = points;
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(notASink.get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(point->Unadvise(12345), CONNECT_E_NOCONNECTION);
    browser->Detach();
}

// What the storms ask for: a navigation to a new window is a popup request, not a navigation.
TEST_F(ObjectsTest, NavigateToANewWindowRequestsAPopupAndNavigatesNothing) {
    FakeView view;
    const ComPtr<Browser> browser = MakeComObject<Browser>(view, L"http://n.example/");
    const UniqueBstr url = MakeBstr(L"http://p.example/");
    VARIANT flags = Index(VT_I4, navOpenInNewWindow);
    EXPECT_EQ(browser->Navigate(url.get(), &flags, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(view.popups, std::vector<std::wstring>{L"http://p.example/"});
    EXPECT_TRUE(view.shown.empty());
    EXPECT_EQ(browser->Location(), L"http://n.example/");
    flags.lVal = 0;
    EXPECT_EQ(browser->Navigate(url.get(), &flags, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(view.shown, std::vector<std::wstring>{L"http://p.example/"});
    browser->Detach();
}

TEST_F(ObjectsTest, QuitAsksTheWindowToCloseAndADetachedBrowserRefusesWindowCalls) {
    FakeView view;
    const ComPtr<Browser> browser = MakeComObject<Browser>(view, L"http://q.example/");
    EXPECT_EQ(browser->Quit(), S_OK);
    EXPECT_EQ(view.closeRequests, 1);
    TestSink sink(DIID_DWebBrowserEvents2);
    const Advised advised(static_cast<IWebBrowser2*>(browser.get()), DIID_DWebBrowserEvents2,
                          &sink);
    browser->Detach();
    EXPECT_EQ(sink.References(), 1u);  // released by the detach
    EXPECT_TRUE(FAILED(browser->Quit()));
    SHANDLE_PTR handle = 1;
    EXPECT_TRUE(FAILED(browser->get_HWND(&handle)));
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(view.closeRequests, 1);
    EXPECT_EQ(LocationOf(*browser), L"http://q.example/");
}

TEST_F(ObjectsTest, DispatchThroughTheTypeLibraryReachesTheVtable) {
    FakeView view;
    const ComPtr<ShellWindows> list = MakeComObject<ShellWindows>();
    const ComPtr<Browser> browser = MakeComObject<Browser>(view, L"http://d.example/");
    list->Add(browser.get());
    UINT count = 0;
    ASSERT_EQ(list->GetTypeInfoCount(&count), S_OK);
    ASSERT_EQ(count, 1u) << "no browser type library in this Windows";

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Count")};
    DISPID id = 0;
    ASSERT_EQ(list->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_EQ(list->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 1);
    EXPECT_EQ(
        list->Invoke(id, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
        DISP_E_UNKNOWNINTERFACE);
    names[0] = const_cast<LPOLESTR>(L"NoSuchMember");
    EXPECT_EQ(list->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);

    ComPtr<ITypeInfo> info;
    ASSERT_EQ(browser->GetTypeInfo(0, 0, info.put()), S_OK);
    EXPECT_EQ(browser->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);
    list->Disconnect();
    browser->Detach();
}

}  // namespace
}  // namespace standin::testing
