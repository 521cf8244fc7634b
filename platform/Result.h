// Results of platform calls: no exception crosses the core boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace platform {

enum class ErrorKind {
    Io,               // the system refused or failed the call
    Unrepresentable,  // text holds characters the file's code page cannot store
};

struct Error {
    ErrorKind kind = ErrorKind::Io;
    std::string call;        // the failing system call, for a developer ("WriteFile")
    std::string path;        // the file or key concerned
    std::uint32_t code = 0;  // errno, GetLastError or HRESULT
    // Io: the system's plain words ("There is not enough space on the disk.").
    // Unrepresentable: the first character the code page cannot hold; `code` is the code page.
    std::string reason;
    std::string message;  // the whole sentence for the status line, set by the layer that knows
                          // what the user was doing
};

class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design
    static Status Ok() { return {}; }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *error_; }

  private:
    std::optional<Error> error_;
};

template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : v_(std::move(value)) {}      // NOLINT: implicit by design
    Result(Error error) : v_(std::move(error)) {}  // NOLINT: implicit by design

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    const Error& error() const { return std::get<1>(v_); }
    Status status() const { return ok() ? Status::Ok() : Status(error()); }

  private:
    std::variant<T, Error> v_;
};

}  // namespace platform
