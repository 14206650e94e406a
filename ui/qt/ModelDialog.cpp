#include "ui/qt/ModelDialog.h"

#include "ui/dialogs/uCombo.h"
#include "ui/qt/BlockComboBox.h"
#include "ui/qt/QtText.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velkor {

namespace {

void SetBold(QWidget* widget, bool bold) {
    QFont font = widget->font();
    if (font.bold() != bold) {
        font.setBold(bold);
        widget->setFont(font);
    }
}

} // namespace

ModelDialog::ModelDialog(dialogs::DialogForm& form, const char* className, QWidget* parent)
    : QDialog(parent), form_(form) {
    setObjectName(className);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    refreshers_.emplace_back([this] { setWindowTitle(ToQt(form_.caption)); });
}

void ModelDialog::Common(const dialogs::TControl& model, QWidget* widget) {
    widget->setObjectName(QString::fromStdString(model.name));
    refreshers_.emplace_back([&model, widget] {
        widget->setEnabled(model.enabled);
        widget->setVisible(model.visible);
    });
}

QLabel* ModelDialog::Label(dialogs::TLabel& model) {
    auto* label = new QLabel(this);
    Common(model, label);
    refreshers_.emplace_back([&model, label] { label->setText(ToQt(model.caption)); });
    return label;
}

QLineEdit* ModelDialog::Edit(dialogs::TEdit& model) {
    auto* edit = new QLineEdit(this);
    Common(model, edit);
    if (model.maxLength > 0) {
        edit->setMaxLength(model.maxLength);
    }
    connect(edit, &QLineEdit::textChanged, this,
            [&model](const QString& text) { model.text = FromQt(text); });
    refreshers_.emplace_back([&model, edit] {
        const QString text = ToQt(model.text);
        if (edit->text() != text) {
            const QSignalBlocker quiet(edit);
            edit->setText(text);
        }
        SetBold(edit, model.bold);
    });
    return edit;
}

QCheckBox* ModelDialog::CheckBox(dialogs::TCheckBox& model) {
    auto* box = new QCheckBox(this);
    Common(model, box);
    connect(box, &QCheckBox::toggled, this, [&model](bool checked) { model.checked = checked; });
    refreshers_.emplace_back([&model, box] {
        const QSignalBlocker quiet(box);
        box->setText(ToQt(model.caption));
        box->setChecked(model.checked);
    });
    return box;
}

QPushButton* ModelDialog::Button(dialogs::TButton& model, std::function<void()> onClick) {
    auto* button = new QPushButton(this);
    Common(model, button);
    button->setDefault(model.isDefault);
    button->setAutoDefault(model.isDefault);
    if (model.isCancel) {
        cancelButton_ = button;
    }
    connect(button, &QPushButton::clicked, this, [this, &model, onClick = std::move(onClick)] {
        if (onClick) {
            onClick();
            Refresh();
        }
        if (model.modalResult != dialogs::mrNone) {
            done(model.modalResult);
        }
    });
    refreshers_.emplace_back([&model, button] {
        button->setText(ToQt(model.caption));
        SetBold(button, model.bold);
    });
    return button;
}

BlockComboBox* ModelDialog::ComboBox(dialogs::TComboBox& model) {
    auto* combo = new BlockComboBox(model, this);
    Common(model, combo);
    refreshers_.emplace_back([combo] { combo->Refresh(); });
    return combo;
}

void ModelDialog::Refresh() {
    for (const auto& refresh : refreshers_) {
        refresh();
    }
}

dialogs::ModalResult ModelDialog::Run() {
    Refresh();
    const int result = exec();
    return result == dialogs::mrOk ? dialogs::mrOk : dialogs::mrCancel;
}

void ModelDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cancelButton_ != nullptr && cancelButton_->isEnabled()) {
            cancelButton_->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velkor
