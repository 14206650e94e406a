#include "ui/qt/ControlMirror.h"

#include "ui/qt/QtText.h"

#include <QTimer>
#include <QWidget>

namespace velkor {

ControlMirror::ControlMirror(ChangeTracker& tracker, QObject* parent)
    : QObject(parent), tracker_(tracker) {
    tracker_.SetListener([this](const TControl& model) { Changed(model); });
}

ControlMirror::~ControlMirror() {
    Detach();
}

void ControlMirror::Detach() {
    if (attached_) {
        tracker_.SetListener({});
        attached_ = false;
    }
}

void ControlMirror::Bind(const TControl& model, QWidget* widget, Refresh refresh) {
    if (widget != nullptr && widget->objectName().isEmpty()) {
        widget->setObjectName(QString::fromStdString(model.Name()));
    }
    const Binding& binding =
        bindings_.insert_or_assign(&model, Binding{widget, std::move(refresh)}).first->second;
    Apply(model, binding);
}

QWidget* ControlMirror::WidgetOf(const TControl* model) const {
    const auto found = bindings_.find(model);
    return found == bindings_.end() ? nullptr : found->second.widget;
}

void ControlMirror::RefreshAll() {
    for (const auto& [model, binding] : bindings_) {
        Apply(*model, binding);
    }
    dirty_.clear();
    dirtySet_.clear();
}

void ControlMirror::Changed(const TControl& model) {
    if (!bindings_.contains(&model) || !dirtySet_.insert(&model).second) {
        return;
    }
    dirty_.push_back(&model);
    if (!flushQueued_) {
        flushQueued_ = true;
        QTimer::singleShot(kViewRefreshMs, this, &ControlMirror::Flush);
    }
}

void ControlMirror::Flush() {
    flushQueued_ = false;
    std::vector<const TControl*> changed;
    changed.swap(dirty_);
    dirtySet_.clear();
    for (const TControl* model : changed) {
        const auto found = bindings_.find(model);
        if (found != bindings_.end()) {
            Apply(*model, found->second);
        }
    }
}

void ControlMirror::Apply(const TControl& model, const Binding& binding) {
    if (QWidget* widget = binding.widget) {
        widget->setVisible(model.Visible());
        widget->setEnabled(model.Enabled());
        widget->setStatusTip(ToQt(model.Hint()));
        widget->setToolTip(ToQt(model.Hint()));
    }
    if (binding.refresh) {
        binding.refresh();
    }
}

} // namespace velkor
