#include "platform/standin/ShellWindows.h"

#include <exdispid.h>

#include <algorithm>
#include <utility>

namespace standin {

ShellWindows::ShellWindows() : AutomationObject(DIID_DShellWindowsEvents) {}

LONG ShellWindows::Add(IDispatch* window) {
    const LONG cookie = nextCookie_++;
    entries_.push_back({cookie, ComPtr<IDispatch>(window)});
    RaiseWithCookie(DISPID_WINDOWREGISTERED, cookie);
    return cookie;
}

std::vector<ShellWindows::Entry>::iterator ShellWindows::Find(LONG cookie) {
    return std::find_if(entries_.begin(), entries_.end(),
                        [cookie](const Entry& entry) { return entry.cookie == cookie; });
}

bool ShellWindows::Remove(LONG cookie) {
    const auto found = Find(cookie);
    if (found == entries_.end()) {
        return false;
    }
    const Entry removed = std::move(*found);
    entries_.erase(found);
    RaiseWithCookie(DISPID_WINDOWREVOKED, cookie);
    return true;
}

bool ShellWindows::Replace(LONG cookie, IDispatch* window) {
    const auto found = Find(cookie);
    if (found == entries_.end()) {
        return false;
    }
    found->window = ComPtr<IDispatch>(window);  // the old object is released after the swap
    return true;
}

void ShellWindows::RaiseWithCookie(DISPID id, LONG cookie) {
    VARIANT argument = LongArg(cookie);
    Events().Raise(id, {&argument, 1});
}

HRESULT ShellWindows::get_Count(LONG* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = static_cast<LONG>(entries_.size());
    return S_OK;
}

HRESULT ShellWindows::Item(VARIANT index, IDispatch** window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = nullptr;
    LONG position = 0;
    // The index is optional: a caller that leaves it out asks for the first window.
    const bool missing =
        index.vt == VT_EMPTY || (index.vt == VT_ERROR && index.scode == DISP_E_PARAMNOTFOUND);
    if (!missing) {
        VARIANT converted;
        ::VariantInit(&converted);
        if (FAILED(::VariantChangeType(&converted, &index, 0, VT_I4))) {
            return E_INVALIDARG;
        }
        position = converted.lVal;
    }
    if (position < 0 || static_cast<std::size_t>(position) >= entries_.size()) {
        return S_FALSE;
    }
    entries_[static_cast<std::size_t>(position)].window.copyTo(window);
    return S_OK;
}

HRESULT ShellWindows::_NewEnum(IUnknown** windows) {
    if (windows == nullptr) {
        return E_POINTER;
    }
    std::vector<ComPtr<IDispatch>> snapshot;
    for (const Entry& entry : entries_) {
        snapshot.push_back(entry.window);
    }
    *windows = MakeComObject<DispatchEnum>(std::move(snapshot)).release();
    return S_OK;
}

HRESULT ShellWindows::Register(IDispatch* window, LONG, int, LONG* cookie) {
    if (window == nullptr || cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = Add(window);
    return S_OK;
}

HRESULT ShellWindows::Revoke(LONG cookie) {
    return Remove(cookie) ? S_OK : E_INVALIDARG;
}

}  // namespace standin
