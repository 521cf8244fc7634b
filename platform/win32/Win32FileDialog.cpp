#include "platform/win32/Win32FileDialog.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/Unicode.h"

namespace platform::win32 {

std::optional<std::string> ChooseFileName(HWND owner, const FileDialogOptions& options) {
    // Room for a long path; the dialog fails with FNERR_BUFFERTOOSMALL rather than cut it.
    std::vector<wchar_t> name(32768, L'\0');
    if (options.fileName != nullptr) {
        wcsncpy(name.data(), options.fileName, name.size() - 1);
    }
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = options.filter;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = options.title;
    dialog.lpstrDefExt = options.extension;
    // The program's folder is where its list files are found: the dialog must not move it.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   (options.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = options.save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (!chosen) {
        return std::nullopt;
    }
    return Narrow(name.data());
}

}  // namespace platform::win32
