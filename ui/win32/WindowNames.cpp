#include "ui/win32/WindowNames.h"

#include <mutex>
#include <set>

namespace velkor {

namespace {

constexpr const wchar_t* kNameProperty = L"VelkorName";

// Every name given to a window, kept for the whole run (the names are the
// models' control names, a small fixed set). Atoms would not do: they ignore
// case, and "btnOK" and "btnOk" are different controls.
const std::string* InternedName(std::string_view name) {
    static std::mutex mutex;
    static std::set<std::string, std::less<>> names;
    const std::lock_guard lock(mutex);
    auto found = names.find(name);
    if (found == names.end()) {
        found = names.emplace(name).first;
    }
    return &*found;
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
    SetPropW(window, kNameProperty, const_cast<std::string*>(InternedName(name)));
}

std::string WindowName(HWND window) {
    const auto* name = static_cast<const std::string*>(GetPropW(window, kNameProperty));
    return name != nullptr ? *name : std::string();
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
