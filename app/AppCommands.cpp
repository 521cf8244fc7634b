// What the main window's and the Blocked Popups window's commands reach outside their windows:
// the registry entries, the other windows, dialogs, files and the clipboard.
#include "app/App.h"

#include <cstring>

#include "platform/win32/Unicode.h"
#include "platform/win32/Win32FileDialog.h"

namespace app {

quell::StatusReport App::EnableRunAtStartup() {
    const quell::PlacementResult result = VarAddRemove_.AddToRun(ProductName(), programPath_);
    return {result.ok(), quell::RunAtStartupEnabledText(result)};
}

quell::StatusReport App::DisableRunAtStartup() {
    const Status result = VarAddRemove_.RemoveFromRun(ProductName());
    return {result.ok(), quell::RunAtStartupDisabledText(result)};
}

quell::StatusReport App::AddToolsEntry() {
    const quell::PlacementResult result =
        quell::modIETools::AddToolsEntry({registry64_, registry32_}, Location());
    return {result.ok(), quell::modIETools::ToolsEntryAddedText(result)};
}

quell::StatusReport App::RemoveToolsEntry() {
    const Status result = quell::modIETools::RemoveToolsEntry({registry64_, registry32_});
    return {result.ok(), quell::modIETools::ToolsEntryRemovedText(result)};
}

std::optional<WindowHandle> App::ShowHelp() {
    return help_->Show();
}

std::optional<WindowHandle> App::ShowAbout() {
    const WindowHandle shown = about_->Show();
    return shown != 0 ? std::optional<WindowHandle>(shown) : std::nullopt;
}

void App::OpenWebsite() {
    site_.strLinkMode = "Website";
    website_->Load();
}

void App::ShowTrayMenu() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    form1Window_->ShowPopupMenu("Popup", cursor);
}

void App::Exit() {
    quell::Form1_Unload(*parts_);
}

std::optional<std::string> App::ChooseFile(FileChoice choice) {
    constexpr wchar_t kFilter[] = L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    const bool save = choice == FileChoice::ExportSiteLists;
    return ChooseFileName(form1Window_->Hwnd(),
                          {save, save ? L"Export Site Lists" : L"Import Site Lists", kFilter,
                           L"txt", save ? L"QuellPane site lists.txt" : nullptr});
}

std::optional<quell::SiteList> App::ChooseImportList() {
    const int answer =
        ::MessageBoxW(form1Window_->Hwnd(),
                      L"This file lists one site a line. Add its sites to the allowed list?\n\n"
                      L"Yes: the allowed list.  No: the disallowed list.",
                      Widen(ProductName()).c_str(), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) {
        return quell::SiteList::Allowed;
    }
    if (answer == IDNO) {
        return quell::SiteList::Disallowed;
    }
    return std::nullopt;
}

platform::Result<std::string> App::ReadFileBytes(const std::string& path) {
    return files_.ReadBytes(path);
}

platform::Status App::WriteFileBytes(const std::string& path, std::string_view bytes) {
    return files_.ReplaceBytes(path, bytes);
}

std::optional<WindowHandle> App::ShowBlockedPopups() {
    return blocked_->Show();
}

std::optional<std::string> App::ChooseCsvFile() {
    return ChooseFileName(
        blockedWindow_->Hwnd(),
        {true, L"Save Blocked Popups", L"CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0", L"csv",
         L"Blocked popups.csv"});
}

bool App::CopyText(const std::string& text) {
    const std::wstring wide = Widen(text);
    if (!::OpenClipboard(blockedWindow_->Hwnd())) {
        return false;
    }
    ::EmptyClipboard();
    const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool copied = false;
    if (memory != nullptr) {
        if (void* target = ::GlobalLock(memory); target != nullptr) {
            std::memcpy(target, wide.c_str(), bytes);
            ::GlobalUnlock(memory);
            // The clipboard owns the memory once it takes it.
            copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!copied) {
            ::GlobalFree(memory);
        }
    }
    ::CloseClipboard();
    return copied;
}

void App::ShowMessage(const std::string& text) {
    ::MessageBoxW(blockedWindow_->Hwnd(), Widen(text).c_str(), Widen(ProductName()).c_str(),
                  MB_OK | MB_ICONINFORMATION);
}

bool App::OpenPopup(const std::string& opener, const std::string& url) {
    return objIEWindows_ && objIEWindows_->OpenPopup(opener, url);
}

}  // namespace app
