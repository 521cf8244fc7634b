#include "platform/standin/Options.h"

#include <algorithm>
#include <iterator>

namespace standin {
namespace {

std::optional<int> ParseCount(std::wstring_view text, int maximum) {
    if (text.empty() || text.size() > 6) {
        return std::nullopt;
    }
    int value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - L'0');
    }
    if (value > maximum) {
        return std::nullopt;
    }
    return value;
}

constexpr std::wstring_view kOptionNames[] = {L"--url",   L"--popup",   L"--log",
                                              L"--raise", L"--windows", L"--burst"};

std::optional<RaiseMode> ParseRaise(std::wstring_view text) {
    for (const RaiseModeInfo& info : kRaiseModes) {
        if (info.option == text) {
            return info.mode;
        }
    }
    return std::nullopt;
}

}  // namespace

const RaiseModeInfo& Describe(RaiseMode mode) {
    for (const RaiseModeInfo& info : kRaiseModes) {
        if (info.mode == mode) {
            return info;
        }
    }
    return kRaiseModes[0];
}

std::span<const DISPID> EventsOf(RaiseMode mode) {
    const RaiseModeInfo& info = Describe(mode);
    return {info.events.data(), info.eventCount};
}

std::optional<Options> ParseOptions(std::span<const std::wstring> args, std::wstring& error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); i += 2) {
        const std::wstring& name = args[i];
        if (std::find(std::begin(kOptionNames), std::end(kOptionNames), name) ==
            std::end(kOptionNames)) {
            error = L"Unknown option " + name;
            return std::nullopt;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = name + L" needs a value";
            return std::nullopt;
        }
        const std::wstring& value = args[i + 1];
        if (name == L"--url") {
            options.url = value;
        } else if (name == L"--popup") {
            options.popup = value;
        } else if (name == L"--log") {
            options.log = value;
        } else if (name == L"--raise") {
            const std::optional<RaiseMode> mode = ParseRaise(value);
            if (!mode) {
                error = L"--raise takes 2, 3, 23 or 32, not " + value;
                return std::nullopt;
            }
            options.raise = *mode;
        } else if (name == L"--windows") {
            const std::optional<int> count = ParseCount(value, kMaxStartWindows);
            if (!count) {
                error = L"--windows takes a number from 0 to " + std::to_wstring(kMaxStartWindows) +
                        L", not " + value;
                return std::nullopt;
            }
            options.windows = *count;
        } else if (name == L"--burst") {
            const std::optional<int> count = ParseCount(value, kMaxBurst);
            if (!count || *count == 0) {
                error = L"--burst takes a number from 1 to " + std::to_wstring(kMaxBurst) +
                        L", not " + value;
                return std::nullopt;
            }
            options.burst = *count;
        }
    }
    return options;
}

}  // namespace standin
