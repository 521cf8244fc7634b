// What another process needs to find and drive StandInBrowser.exe: where its shell window list
// sits in the Running Object Table, its window classes, control identifiers, command line and
// log format. Plain C++ constants, so QuellPane's side and test drivers can include it anywhere.
#pragma once

namespace standin {

// The shell window list is registered in the Running Object Table under the item moniker
// CreateItemMoniker(kRotDelimiter, kRotItemName).
inline constexpr const wchar_t* kRotDelimiter = L"!";
inline constexpr const wchar_t* kRotItemName = L"QuellPane.StandIn.ShellWindows";

// Every browser window is a top-level window of this class, captioned kCaptionPrefix followed
// by its address.
inline constexpr const wchar_t* kBrowserWindowClass = L"QuellPaneStandInBrowser";
inline constexpr const wchar_t* kCaptionPrefix = L"Stand-in Browser - ";

// A message-only window (FindWindowExW(HWND_MESSAGE, nullptr, kHostWindowClass, nullptr)) that
// lives as long as the process. Posting it kHostOpenWindow opens one more browser window (the
// way to start windows when the program was started with "--windows 0"); WM_CLOSE closes every
// browser window and ends the process.
inline constexpr const wchar_t* kHostWindowClass = L"QuellPaneStandInHost";
inline constexpr unsigned kHostOpenWindow = 0x8000 + 1;  // WM_APP + 1

// Posted to a browser window: its IWebBrowser2 object is revoked (sinks released, other
// processes' proxies disconnected) and a new one on the same address takes its place under the
// same entry of the shell window list, with no list event: what a browser does to a tab it moves
// to a process of another integrity level.
inline constexpr unsigned kWindowNewObject = 0x8000 + 2;  // WM_APP + 2

// Posted to any browser window with wParam n (0 counts as 1, at most kMaxBurst): every browser
// window raises n popup requests, one after another, all windows at once. Each window's are
// asked for by a thread of its own through COM, whose calls a window's wait for a sink still
// takes in, so the windows' requests nest in one another's waits, as from a browser's tabs.
inline constexpr unsigned kWindowPopupEverywhere = 0x8000 + 3;  // WM_APP + 3

// Posted to a browser window with wParam n (1 to kMaxBurst): the window raises n popup requests
// one after another, as --burst n makes a click do.
inline constexpr unsigned kWindowBurst = 0x8000 + 4;  // WM_APP + 4

// Posted to a browser window with wParam N: one more window is opened and closed N times, one
// after the other, each step in a message of its own; the log then reads "cycles=N".
inline constexpr unsigned kWindowCycles = 0x8000 + 5;  // WM_APP + 5

// Control identifiers of a browser window (GetDlgItem). Buttons answer BM_CLICK, edits
// WM_SETTEXT, the selector CB_SETCURSEL (it is read when a request starts).
inline constexpr int kAddressEdit = 101;      // the window's address; Enter or Go sets it
inline constexpr int kGoButton = 102;         // "Go"
inline constexpr int kLink = 103;             // shows the popup address; hovering it raises
                                              // StatusTextChange, clicking it requests the popup
inline constexpr int kRaiseSelector = 104;    // drop-down list, items in RaiseMode order
inline constexpr int kPopupEdit = 105;        // the address a popup request asks for
inline constexpr int kPopupButton = 106;      // "Popup"
inline constexpr int kNewWindowButton = 107;  // "New window"
inline constexpr int kLastAnswer = 108;       // "Last popup: none" / "blocked" / "allowed"

// Which DWebBrowserEvents2 events one popup request raises, one after another; the index of
// each mode is its item in the selector.
enum class RaiseMode {
    NewWindow2 = 0,  // "NewWindow2", command line "--raise 2"
    NewWindow3 = 1,  // "NewWindow3", "--raise 3"
    Both2Then3 = 2,  // "Both (2 then 3)", "--raise 23"
    Both3Then2 = 3,  // "Both (3 then 2)", "--raise 32"
};

// NewWindow3's dwFlags: the Popup button mimics a script's window.open, the link a user's click.
inline constexpr long kPopupButtonFlags = 0x4;  // NWMF_FIRST
inline constexpr long kLinkClickFlags = 0x6;    // NWMF_FIRST | NWMF_USERINITED

// Command line: --url <address> (first window), --popup <address>, --raise 2|3|23|32,
// --windows <n> (0 to kMaxStartWindows), --burst <n> (requests per click, 1 to kMaxBurst, one
// after another), --log <path>.
inline constexpr int kMaxStartWindows = 500;
inline constexpr int kMaxBurst = 100000;
inline constexpr const wchar_t* kDefaultUrl = L"http://opener.example/index.html";
inline constexpr const wchar_t* kDefaultPopupUrl = L"http://popup.example/ad.html";
inline constexpr const wchar_t* kNewWindowUrl = L"about:blank";

// The log (--log) gets one UTF-8 line per popup request, appended and written at once:
//   request=<n> events=<2|3|2+3|3+2> cancel=<0|1> opened=<0|1> sinks=<n> us=<microseconds>
//   url=<address>
// where sinks counts the sinks still advised on the window afterwards (gone ones dropped) and
// us is the time the events took to come back; after a click that raised more than one
// (--burst), one line for them all:
//   burst requests=<n> blocked=<n> us=<microseconds for all> median-us=<of one request>
//   per-second=<requests answered per second>
// and one line when the process ends:
//   exit live-objects=<COM objects still alive; 0 when every reference was released>
// The process then ends with kExitOk, or kExitLeak when objects were left alive.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadCommandLine = 1;
inline constexpr int kExitAlreadyRunning = 2;  // the moniker is registered by another process
inline constexpr int kExitLeak = 3;
inline constexpr int kExitNoWindow = 4;  // COM, the table or a window could not be created

}  // namespace standin
