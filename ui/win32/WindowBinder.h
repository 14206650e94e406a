// Keeps the windows of the main window in step with the control models of
// its logic (the Win32 counterpart of the Qt view's mirror). Every model
// change is remembered and the windows of the changed controls are refreshed
// together on the next refresh, so a burst of changes (thousands of discovery
// answers) costs a few repaints and the reader thread, which waits for each
// handler, is not held up by them.
#pragma once

#include "ui/controls/Controls.h"

#include <windows.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace velkor {

class HintToolTips;

class WindowBinder {
public:
    using Refresh = std::function<void()>;

    // `scheduleRefresh` asks the owner to call Flush soon; `visibilityChanged`
    // runs after a flush that showed or hid a window (the owner lays out again).
    WindowBinder(ChangeTracker& tracker, std::function<void()> scheduleRefresh,
                 std::function<void()> visibilityChanged);
    ~WindowBinder();
    WindowBinder(const WindowBinder&) = delete;
    WindowBinder& operator=(const WindowBinder&) = delete;

    // `window` shows `model` and carries its name; `refresh` copies the model
    // into it (visibility, enabled state and hint are handled here, before
    // `refresh`). A window of nullptr only runs `refresh`.
    void Bind(const TControl& model, HWND window, Refresh refresh = {});
    HWND WindowOf(const TControl* model) const;
    // The model a window shows, or nullptr.
    const TControl* ModelOf(HWND window) const;

    // Shows each bound window's hint as its tooltip too (nullptr: no tooltips).
    void SetToolTips(HintToolTips* tips) { tips_ = tips; }

    // Refreshes the windows of the controls changed since the last flush.
    void Flush();
    // Stops following the models (before they or the windows go away).
    void Detach();

private:
    struct Binding {
        HWND window;
        Refresh refresh;
    };

    void Changed(const TControl& model);
    // True when the window was shown or hidden.
    bool Apply(const TControl& model, const Binding& binding);

    ChangeTracker& tracker_;
    std::function<void()> scheduleRefresh_;
    std::function<void()> visibilityChanged_;
    std::unordered_map<const TControl*, Binding> bindings_;
    std::unordered_map<HWND, const TControl*> models_;
    HintToolTips* tips_ = nullptr;
    std::vector<const TControl*> dirty_;
    std::unordered_set<const TControl*> dirtySet_;
    bool attached_ = true;
};

} // namespace velkor
