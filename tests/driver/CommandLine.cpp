#include "tests/driver/CommandLine.h"

#include <cwchar>

#include "platform/win32/Unicode.h"

namespace quelldriver {

using platform::win32::Narrow;

CommandLine::CommandLine(const std::vector<std::wstring>& arguments,
                         const std::set<std::wstring>& flags) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (!optionsEnded && argument == L"--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 2 && argument.starts_with(L"--")) {
            const std::wstring name = argument.substr(2);
            if (flags.contains(name)) {
                flags_.insert(name);
            } else if (i + 1 < arguments.size()) {
                values_[name] = arguments[++i];
            } else {
                throw DriverError("option --" + Narrow(name) + " needs a value");
            }
        } else if (command_.empty()) {
            command_ = argument;
        } else {
            operands_.push_back(argument);
        }
    }
}

const std::wstring& CommandLine::Operand(std::size_t index) const {
    if (index >= operands_.size()) {
        throw DriverError(Narrow(command_) + ": missing operand " + std::to_string(index + 1));
    }
    return operands_[index];
}

bool CommandLine::Has(std::wstring_view option) const {
    return flags_.contains(option) || values_.contains(option);
}

std::wstring CommandLine::Value(std::wstring_view option, std::wstring_view fallback) const {
    const auto found = values_.find(option);
    return found != values_.end() ? found->second : std::wstring(fallback);
}

int CommandLine::Number(std::wstring_view option, int fallback) const {
    const auto found = values_.find(option);
    if (found == values_.end()) {
        return fallback;
    }
    return static_cast<int>(ParseNumber(found->second, "--" + Narrow(option)));
}

bool TryParseNumber(std::wstring_view text, long long& value) {
    const std::wstring copy(text);
    if (copy.empty()) {
        return false;
    }
    wchar_t* end = nullptr;
    const bool hex = copy.starts_with(L"0x") || copy.starts_with(L"0X");
    value = std::wcstoll(copy.c_str(), &end, hex ? 16 : 10);
    return end == copy.c_str() + copy.size();
}

long long ParseNumber(std::wstring_view text, std::string_view what) {
    long long value = 0;
    if (!TryParseNumber(text, value)) {
        throw DriverError(std::string(what) + ": not a number: \"" + Narrow(text) + "\"");
    }
    return value;
}

}  // namespace quelldriver
