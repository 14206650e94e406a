#include "ui/win32/WindowBinder.h"

#include "ui/win32/HintToolTips.h"
#include "ui/win32/WindowNames.h"

namespace velkor {

WindowBinder::WindowBinder(ChangeTracker& tracker, std::function<void()> scheduleRefresh,
                           std::function<void()> visibilityChanged)
    : tracker_(tracker), scheduleRefresh_(std::move(scheduleRefresh)),
      visibilityChanged_(std::move(visibilityChanged)) {
    tracker_.SetListener([this](const TControl& model) { Changed(model); });
}

WindowBinder::~WindowBinder() {
    Detach();
}

void WindowBinder::Detach() {
    if (attached_) {
        tracker_.SetListener({});
        attached_ = false;
    }
}

void WindowBinder::Bind(const TControl& model, HWND window, Refresh refresh) {
    if (window != nullptr) {
        if (WindowName(window).empty()) {
            SetWindowName(window, model.Name());
        }
        models_[window] = &model;
    }
    const Binding& binding =
        bindings_.insert_or_assign(&model, Binding{window, std::move(refresh)}).first->second;
    Apply(model, binding);
}

HWND WindowBinder::WindowOf(const TControl* model) const {
    const auto found = bindings_.find(model);
    return found == bindings_.end() ? nullptr : found->second.window;
}

const TControl* WindowBinder::ModelOf(HWND window) const {
    const auto found = models_.find(window);
    return found == models_.end() ? nullptr : found->second;
}

void WindowBinder::Changed(const TControl& model) {
    if (!bindings_.contains(&model) || !dirtySet_.insert(&model).second) {
        return;
    }
    dirty_.push_back(&model);
    scheduleRefresh_();
}

void WindowBinder::Flush() {
    std::vector<const TControl*> changed;
    changed.swap(dirty_);
    dirtySet_.clear();
    bool shownOrHidden = false;
    for (const TControl* model : changed) {
        const auto found = bindings_.find(model);
        if (found != bindings_.end()) {
            shownOrHidden = Apply(*model, found->second) || shownOrHidden;
        }
    }
    if (shownOrHidden) {
        visibilityChanged_();
    }
}

bool WindowBinder::Apply(const TControl& model, const Binding& binding) {
    bool shownOrHidden = false;
    if (const HWND window = binding.window) {
        const bool visible = (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
        if (visible != model.Visible()) {
            ShowWindow(window, model.Visible() ? SW_SHOWNA : SW_HIDE);
            shownOrHidden = true;
        }
        EnableWindow(window, model.Enabled() ? TRUE : FALSE);
        if (tips_ != nullptr) {
            tips_->Show(window, model.Hint());
        }
    }
    if (binding.refresh) {
        binding.refresh();
    }
    return shownOrHidden;
}

} // namespace velkor
