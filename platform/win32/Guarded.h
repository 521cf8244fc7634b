// A window procedure's body with no exception let through into Windows.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace platform::win32 {

// A programming error inside a window procedure cannot be thrown through Windows: say what
// it was and stop.
[[noreturn]] inline void FailFast(const char* what) {
    std::fprintf(stderr, "QuellPane: %s\n", what);
    std::fflush(stderr);
    ::OutputDebugStringA(what);
    std::abort();
}

template <class Body>
LRESULT Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& error) {
        FailFast(error.what());
    } catch (...) {
        FailFast("unknown exception in a window procedure");
    }
}

}  // namespace platform::win32
