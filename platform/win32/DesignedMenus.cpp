// A designed window's menus: the menu bar, the popup menus and their items' commands.
#include "platform/win32/DesignedWindow.h"

#include <algorithm>
#include <stdexcept>

#include "platform/win32/Unicode.h"

namespace platform::win32 {

UniqueMenu DesignedWindow::CreateMenus() {
    UniqueMenu menuBar;
    popupMenus_.clear();
    for (const auto& menu : design_.menus) {
        UniqueMenu popup(::CreatePopupMenu());
        for (std::size_t i = 0; i < design_.menuItems.size(); ++i) {
            const auto& item = design_.menuItems[i];
            if (item.menu == menu.name) {
                ::AppendMenuW(popup.get(), MF_STRING, quell::design::kFirstMenuId + i,
                              Widen(item.caption).c_str());
            }
        }
        if (!menu.inMenuBar) {
            popupMenus_.emplace_back(menu.name, std::move(popup));
            continue;
        }
        if (!menuBar) {
            menuBar.reset(::CreateMenu());
        }
        // The bar owns its submenus from here on.
        ::AppendMenuW(menuBar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.release()),
                      Widen(menu.caption).c_str());
    }
    return menuBar;
}

bool DesignedWindow::ShowPopupMenu(std::string_view menuName, POINT screenPoint) {
    const auto menu = std::find_if(design_.menus.begin(), design_.menus.end(),
                                   [&](const auto& m) { return m.name == menuName; });
    if (menu == design_.menus.end() || menu->inMenuBar) {
        throw std::invalid_argument(std::string(design_.name) + " has no popup menu named " +
                                    std::string(menuName));
    }
    const auto popup = std::find_if(popupMenus_.begin(), popupMenus_.end(),
                                    [&](const auto& entry) { return entry.first == menuName; });
    if (window_ == nullptr || popup == popupMenus_.end()) {
        return false;
    }
    const HWND owner = window_;
    // Without the foreground the menu would not close when the user clicks elsewhere, and
    // without a message after it the next opening would close at once (tray menus).
    ::SetForegroundWindow(owner);
    const BOOL shown = ::TrackPopupMenu(popup->second.get(), TPM_RIGHTBUTTON, screenPoint.x,
                                        screenPoint.y, 0, owner, nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return shown != FALSE;
}

void DesignedWindow::OnMenuCommand(int id) {
    const int item = id - quell::design::kFirstMenuId;
    if (item >= 0 && static_cast<std::size_t>(item) < design_.menuItems.size()) {
        const auto& menuItem = design_.menuItems[static_cast<std::size_t>(item)];
        Raise({EventKind::Click, -1, item, menuItem.index});
    }
}

}  // namespace platform::win32
