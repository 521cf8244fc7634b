// Owners of Windows handles. Move-only; each releases its handle once.
#pragma once

#include <windows.h>

#include <utility>

namespace platform::win32 {

template <class T>
T NullValue() {
    return nullptr;
}
inline HANDLE InvalidHandleValue() {
    return INVALID_HANDLE_VALUE;
}

// `Invalid` is part of the type: CreateFile fails with INVALID_HANDLE_VALUE, most other calls
// with NULL.
template <class T, auto Release, T (*Invalid)() = &NullValue<T>>
class UniqueResource {
  public:
    UniqueResource() = default;
    explicit UniqueResource(T handle) : handle_(handle) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid(); }
    T release() { return std::exchange(handle_, Invalid()); }
    void reset(T handle = Invalid()) {
        if (handle_ != Invalid()) {
            Release(handle_);
        }
        handle_ = handle;
    }

  private:
    T handle_ = Invalid();
};

using UniqueHandle = UniqueResource<HANDLE, &::CloseHandle>;
using UniqueFileHandle = UniqueResource<HANDLE, &::CloseHandle, &InvalidHandleValue>;
using UniqueFont = UniqueResource<HFONT, &::DeleteObject>;
using UniqueBrush = UniqueResource<HBRUSH, &::DeleteObject>;
using UniqueBitmap = UniqueResource<HBITMAP, &::DeleteObject>;
using UniqueIcon = UniqueResource<HICON, &::DestroyIcon>;
using UniqueMenu = UniqueResource<HMENU, &::DestroyMenu>;
using UniqueRegKey = UniqueResource<HKEY, &::RegCloseKey>;
using UniqueFindHandle = UniqueResource<HANDLE, &::FindClose, &InvalidHandleValue>;

}  // namespace platform::win32
