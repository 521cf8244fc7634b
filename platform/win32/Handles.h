// Owners of Windows handles. Move-only; each releases its handle once.
#pragma once

#include <windows.h>

#include <cstddef>
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
using UniqueWindow = UniqueResource<HWND, &::DestroyWindow>;
// Memory the system allocated for the caller with LocalAlloc (SDDL conversions, messages).
using UniqueLocal = UniqueResource<HLOCAL, &::LocalFree>;
using UniqueModule = UniqueResource<HMODULE, &::FreeLibrary>;
// A memory DC from CreateCompatibleDC.
using UniqueDc = UniqueResource<HDC, &::DeleteDC>;

// A window's device context from GetDC, released to that window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint in the constructor, EndPaint in the destructor: one WM_PAINT's context.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintDc() { ::EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return paint_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects a GDI object into a DC for a scope and puts the one it replaced back. A null
// object selects nothing, so a control without a font of its own keeps the DC's.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ != nullptr) {
            ::SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Owner of one COM interface reference. Copying takes another reference; moving hands it over.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}  // NOLINT: implicit, like a null pointer
    // Takes a reference of its own; see attach for one the caller already owns.
    explicit ComPtr(T* pointer) : p_(pointer) {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adopts a reference the caller owns (a new object, an out parameter filled elsewhere).
    static ComPtr attach(T* owned) {
        ComPtr result;
        result.p_ = owned;
        return result;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // The slot for an out parameter, emptied first.
    T** put() {
        reset();
        return &p_;
    }
    T* release() { return std::exchange(p_, nullptr); }
    void reset() {
        if (T* old = std::exchange(p_, nullptr)) {
            old->Release();
        }
    }
    // Fills an out parameter with a new reference.
    template <class U>
    void copyTo(U** out) const {
        *out = p_;
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    // QueryInterface; empty when the object does not offer U.
    template <class U>
    ComPtr<U> as() const {
        ComPtr<U> result;
        if (p_ != nullptr) {
            p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.put()));
        }
        return result;
    }

  private:
    T* p_ = nullptr;
};

}  // namespace platform::win32
