// The driver's command line: a subcommand, its operands, and --name value options.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quelldriver {

// Exit codes: what the harness tells apart.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUnmet = 1;  // a wait timed out or a value was not the expected one
inline constexpr int kExitError = 2;  // bad usage, a window or control that is not there

// A failure the driver reports on stderr and ends with.
class DriverError : public std::runtime_error {
  public:
    explicit DriverError(const std::string& what, int exitCode = kExitError)
        : std::runtime_error(what), exitCode_(exitCode) {}
    int ExitCode() const { return exitCode_; }

  private:
    int exitCode_;
};

class CommandLine {
  public:
    // Options named in `flags` take no value; every other --name takes the next argument.
    // "--" ends the options, so that an operand may begin with "--".
    CommandLine(const std::vector<std::wstring>& arguments, const std::set<std::wstring>& flags);

    const std::wstring& Command() const { return command_; }
    const std::vector<std::wstring>& Operands() const { return operands_; }
    const std::wstring& Operand(std::size_t index) const;
    bool Has(std::wstring_view option) const;
    std::wstring Value(std::wstring_view option, std::wstring_view fallback = {}) const;
    int Number(std::wstring_view option, int fallback) const;

  private:
    std::wstring command_;
    std::vector<std::wstring> operands_;
    std::map<std::wstring, std::wstring, std::less<>> values_;
    std::set<std::wstring, std::less<>> flags_;
};

// A decimal or 0x-prefixed hexadecimal number; throws DriverError naming `what` otherwise.
long long ParseNumber(std::wstring_view text, std::string_view what);
// Like ParseNumber, but false instead of throwing.
bool TryParseNumber(std::wstring_view text, long long& value);

}  // namespace quelldriver
