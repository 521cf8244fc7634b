// The common file dialog, for the files the user picks (exported lists, saved history).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace platform::win32 {

struct FileDialogOptions {
    bool save;  // a save dialog, which asks before replacing a file
    const wchar_t* title;
    const wchar_t* filter;     // pairs of NUL-ended texts, ending with a second NUL
    const wchar_t* extension;  // added when the user types none
    const wchar_t* fileName;   // proposed name
};

// The chosen path as UTF-8; nothing when the user cancels or the dialog fails.
std::optional<std::string> ChooseFileName(HWND owner, const FileDialogOptions& options);

}  // namespace platform::win32
