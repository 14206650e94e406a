// Keeps the widgets of a window in step with the control models of the
// window's logic. Every model change is remembered and the widgets of the
// changed controls are refreshed together a moment later, so a burst of
// changes (thousands of discovery answers) costs a few repaints, and the
// reader thread, which waits for each handler, is not held up by them.
#pragma once

#include "ui/controls/Controls.h"

#include <QObject>

#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QWidget;

namespace velkor {

// How long the views gather model changes before they show them: short enough
// to look immediate, long enough to batch a flood of answers.
inline constexpr int kViewRefreshMs = 30;

class ControlMirror final : public QObject {
    Q_OBJECT

public:
    using Refresh = std::function<void()>;

    explicit ControlMirror(ChangeTracker& tracker, QObject* parent = nullptr);
    ~ControlMirror() override;

    // `widget` shows `model`; `refresh` copies the model into it (the common
    // visibility, enabled state and hint are handled here, before `refresh`).
    // A widget of nullptr only runs `refresh`.
    void Bind(const TControl& model, QWidget* widget, Refresh refresh = {});
    QWidget* WidgetOf(const TControl* model) const;

    // Refreshes every bound widget now.
    void RefreshAll();
    // Refreshes the widgets of the controls changed since the last flush.
    void Flush();

    // Stops following the models (before they or the widgets go away).
    void Detach();

private:
    struct Binding {
        QWidget* widget;
        Refresh refresh;
    };

    void Changed(const TControl& model);
    void Apply(const TControl& model, const Binding& binding);

    ChangeTracker& tracker_;
    std::unordered_map<const TControl*, Binding> bindings_;
    std::vector<const TControl*> dirty_;
    std::unordered_set<const TControl*> dirtySet_;
    bool flushQueued_ = false;
    bool attached_ = true;
};

} // namespace velkor
