#include "ui/win32/PopupMenu.h"

#include "ui/win32/Win32Text.h"

namespace velkor {

PopupMenu::PopupMenu(const std::vector<TMenuItem>& items) {
    menu_ = Build(items); // once the entries' storage exists
}

PopupMenu::~PopupMenu() {
    DestroyMenu(menu_); // with its submenus
}

HMENU PopupMenu::Build(const std::vector<TMenuItem>& items) {
    const HMENU menu = CreatePopupMenu();
    for (const TMenuItem& item : items) {
        if (item.IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring caption = Wide(item.Caption);
        const UINT enabled = item.Enabled ? MF_ENABLED : MF_GRAYED;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        if (!item.Items.empty()) {
            AppendMenuW(menu, MF_POPUP | enabled, reinterpret_cast<UINT_PTR>(Build(item.Items)),
                        caption.c_str());
            info.fMask = MIIM_DATA;
            info.dwItemData =
                reinterpret_cast<ULONG_PTR>(hints_.emplace_back(Wide(item.Hint)).c_str());
            SetMenuItemInfoW(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE, &info);
            continue;
        }
        entries_.push_back(item);
        const auto id = static_cast<UINT>(entries_.size());
        AppendMenuW(menu, MF_STRING | enabled, id, caption.c_str());
        info.fMask = MIIM_DATA;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(hints_.emplace_back(Wide(item.Hint)).c_str());
        SetMenuItemInfoW(menu, id, FALSE, &info);
    }
    return menu;
}

const TMenuItem* PopupMenu::Track(HWND owner, POINT at) const {
    const auto id = static_cast<UINT>(
        TrackPopupMenuEx(menu_, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                         at.x, at.y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0); // lets the menu loop end at once
    if (id == 0 || id > entries_.size()) {
        return nullptr;
    }
    return &entries_[id - 1];
}

std::wstring MenuSelectHint(WPARAM wParam, LPARAM lParam) {
    const UINT flags = HIWORD(wParam);
    const auto menu = reinterpret_cast<HMENU>(lParam);
    // A menu that closes, or an entry that loses its highlight, shows nothing.
    if (menu == nullptr || flags == 0xFFFF || (flags & MF_SEPARATOR) != 0 ||
        (flags & MF_HILITE) == 0) {
        return {};
    }
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    const bool byPosition = (flags & MF_POPUP) != 0;
    if (!GetMenuItemInfoW(menu, LOWORD(wParam), byPosition ? TRUE : FALSE, &info) ||
        info.dwItemData == 0) {
        return {};
    }
    return reinterpret_cast<const wchar_t*>(info.dwItemData);
}

} // namespace velkor
