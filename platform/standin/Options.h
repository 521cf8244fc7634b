// The command line, and the table that ties each popup raise mode to its option value,
// selector text, log text and events.
#pragma once

#include <windows.h>

#include <exdispid.h>
#include <oleauto.h>

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/standin/StandInProtocol.h"

namespace standin {

struct RaiseModeInfo {
    RaiseMode mode;
    std::wstring_view option;    // after --raise
    std::wstring_view selector;  // the selector's item
    std::string_view logText;    // events=
    std::array<DISPID, 2> events;
    std::size_t eventCount;
};

inline constexpr RaiseModeInfo kRaiseModes[] = {
    {RaiseMode::NewWindow2, L"2", L"NewWindow2", "2", {DISPID_NEWWINDOW2}, 1},
    {RaiseMode::NewWindow3, L"3", L"NewWindow3", "3", {DISPID_NEWWINDOW3}, 1},
    {RaiseMode::Both2Then3,
     L"23",
     L"Both (2 then 3)",
     "2+3",
     {DISPID_NEWWINDOW2, DISPID_NEWWINDOW3},
     2},
    {RaiseMode::Both3Then2,
     L"32",
     L"Both (3 then 2)",
     "3+2",
     {DISPID_NEWWINDOW3, DISPID_NEWWINDOW2},
     2},
};

const RaiseModeInfo& Describe(RaiseMode mode);
std::span<const DISPID> EventsOf(RaiseMode mode);

struct Options {
    std::wstring url = kDefaultUrl;
    std::wstring popup = kDefaultPopupUrl;
    // Later browsers raise NewWindow2 and then NewWindow3 for every request.
    RaiseMode raise = RaiseMode::Both2Then3;
    int windows = 1;
    // Requests one click raises, one after another, each once the one before is answered.
    int burst = 1;
    std::wstring log;  // empty: no log
};

inline constexpr const wchar_t* kUsage =
    L"StandInBrowser [--url <address>] [--popup <address>] [--raise 2|3|23|32] "
    L"[--windows <n>] [--burst <n>] [--log <path>]";

// The arguments after the program's name. On a mistake: nothing, and `error` says what was
// wrong.
std::optional<Options> ParseOptions(std::span<const std::wstring> args, std::wstring& error);

}  // namespace standin
