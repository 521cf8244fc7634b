// Owners of Windows handles. Move-only; each closes its handle once.
#pragma once

#include <windows.h>

#include <utility>

namespace platform::win32 {

// Kernel handles: CreateFile fails with INVALID_HANDLE_VALUE, most others with NULL, so the
// invalid value is part of the type.
template <HANDLE (*Invalid)()>
class BasicUniqueHandle {
  public:
    BasicUniqueHandle() = default;
    explicit BasicUniqueHandle(HANDLE handle) : handle_(handle) {}
    ~BasicUniqueHandle() { reset(); }
    BasicUniqueHandle(BasicUniqueHandle&& other) noexcept : handle_(other.release()) {}
    BasicUniqueHandle& operator=(BasicUniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    BasicUniqueHandle(const BasicUniqueHandle&) = delete;
    BasicUniqueHandle& operator=(const BasicUniqueHandle&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid(); }
    HANDLE release() { return std::exchange(handle_, Invalid()); }
    void reset(HANDLE handle = Invalid()) {
        if (handle_ != Invalid()) {
            ::CloseHandle(handle_);
        }
        handle_ = handle;
    }

  private:
    HANDLE handle_ = Invalid();
};

inline HANDLE NullHandleValue() {
    return nullptr;
}
inline HANDLE InvalidHandleValue() {
    return INVALID_HANDLE_VALUE;
}

using UniqueHandle = BasicUniqueHandle<NullHandleValue>;
using UniqueFileHandle = BasicUniqueHandle<InvalidHandleValue>;

// GDI objects, icons, menus, find handles: the same shape with their own release call.
template <class T, auto Release>
class UniqueGdi {
  public:
    UniqueGdi() = default;
    explicit UniqueGdi(T handle) : handle_(handle) {}
    ~UniqueGdi() { reset(); }
    UniqueGdi(UniqueGdi&& other) noexcept : handle_(other.release()) {}
    UniqueGdi& operator=(UniqueGdi&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueGdi(const UniqueGdi&) = delete;
    UniqueGdi& operator=(const UniqueGdi&) = delete;

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    T release() { return std::exchange(handle_, nullptr); }
    void reset(T handle = nullptr) {
        if (handle_ != nullptr) {
            Release(handle_);
        }
        handle_ = handle;
    }

  private:
    T handle_ = nullptr;
};

using UniqueFont = UniqueGdi<HFONT, &::DeleteObject>;
using UniqueBrush = UniqueGdi<HBRUSH, &::DeleteObject>;
using UniqueBitmap = UniqueGdi<HBITMAP, &::DeleteObject>;
using UniqueIcon = UniqueGdi<HICON, &::DestroyIcon>;
using UniqueMenu = UniqueGdi<HMENU, &::DestroyMenu>;

}  // namespace platform::win32
