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
    refreshers_.emplace_back([this] { setWindowTitle(ToQt(form_.Caption())); });
}

void ModelDialog::Common(const TControl& model, QWidget* widget) {
    widget->setObjectName(QString::fromStdString(model.Name()));
    refreshers_.emplace_back([&model, widget] {
        widget->setEnabled(model.Enabled());
        widget->setVisible(model.Visible());
    });
}

QLabel* ModelDialog::Label(TLabel& model) {
    auto* label = new QLabel(this);
    Common(model, label);
    refreshers_.emplace_back([&model, label] { label->setText(ToQt(model.Caption())); });
    return label;
}

QLineEdit* ModelDialog::Edit(TEdit& model) {
    auto* edit = new QLineEdit(this);
    Common(model, edit);
    if (model.MaxLength() > 0) {
        edit->setMaxLength(model.MaxLength());
    }
    connect(edit, &QLineEdit::textChanged, this,
            [&model](const QString& text) { model.SetText(FromQt(text)); });
    refreshers_.emplace_back([&model, edit] {
        const QString text = ToQt(model.Text());
        if (edit->text() != text) {
            const QSignalBlocker quiet(edit);
            edit->setText(text);
        }
        SetBold(edit, model.Bold());
    });
    return edit;
}

QCheckBox* ModelDialog::CheckBox(TCheckBox& model) {
    auto* box = new QCheckBox(this);
    Common(model, box);
    connect(box, &QCheckBox::toggled, this, [&model](bool checked) { model.SetChecked(checked); });
    refreshers_.emplace_back([&model, box] {
        const QSignalBlocker quiet(box);
        box->setText(ToQt(model.Caption()));
        box->setChecked(model.Checked());
    });
    return box;
}

QPushButton* ModelDialog::Button(TButton& model, std::function<void()> onClick) {
    auto* button = new QPushButton(this);
    Common(model, button);
    button->setDefault(model.IsDefault());
    button->setAutoDefault(model.IsDefault());
    if (model.IsCancel()) {
        cancelButton_ = button;
    }
    connect(button, &QPushButton::clicked, this, [this, &model, onClick = std::move(onClick)] {
        if (onClick) {
            onClick();
            Refresh();
        }
        if (model.ModalResult() != mrNone) {
            done(model.ModalResult());
        }
    });
    refreshers_.emplace_back([&model, button] {
        button->setText(ToQt(model.Caption()));
        SetBold(button, model.Bold());
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

TModalResult ModelDialog::Run() {
    Refresh();
    const int result = exec();
    return result == mrOk ? mrOk : mrCancel;
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
