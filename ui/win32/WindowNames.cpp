#include "ui/win32/WindowNames.h"

namespace velkor {

namespace {

constexpr const wchar_t* kNameProperty = L"VelkorName";

std::wstring WideName(std::string_view name) {
    return {name.begin(), name.end()}; // names are plain ASCII
}

struct Search {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    if (WindowName(window) == search->name) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchVisible(HWND window, LPARAM context) {
    return IsWindowVisible(window) ? Match(window, context) : TRUE;
}

} // namespace

void SetWindowName(HWND window, std::string_view name) {
    const ATOM atom = AddAtomW(WideName(name).c_str());
    SetPropW(window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

std::string WindowName(HWND window) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(window, kNameProperty)));
    wchar_t name[256];
    const UINT length = atom != 0 ? GetAtomNameW(atom, name, 256) : 0;
    return {name, name + length};
}

HWND FindNamedChild(HWND root, std::string_view name) {
    Search search{std::string(name)};
    EnumChildWindows(root, Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindNamedTopLevel(std::string_view name) {
    Search search{std::string(name)};
    EnumThreadWindows(GetCurrentThreadId(), MatchVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace velkor
