// The USART dialog: the basic settings, the advanced parameters and the
// advanced features in three groups, with "Defaults" and "Ok".
#include "ui/dialogs/uUSARTCfg.h"
#include "ui/qt/BlockComboBox.h"
#include "ui/qt/DialogViews.h"
#include "ui/qt/ModelDialog.h"
#include "ui/qt/QtText.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkor {

namespace {

constexpr int kMinWidth = 450;
constexpr int kMinHeight = 540;

QFormLayout* Group(ModelDialog& dialog, QVBoxLayout* column, const TGroupBox& model) {
    auto* group = new QGroupBox(ToQt(model.Caption()), &dialog);
    group->setObjectName(QString::fromStdString(model.Name()));
    column->addWidget(group);
    return new QFormLayout(group);
}

// A check box whose caption reads like a field label in front of the box.
QCheckBox* LabelledBox(ModelDialog& dialog, TCheckBox& model) {
    QCheckBox* box = dialog.CheckBox(model);
    box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

} // namespace

TModalResult ShowDialog(dialogs::TfrmUSARTCfg& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmUSARTCfg", parent);
    dialog.setSizeGripEnabled(true);
    dialog.setMinimumSize(kMinWidth, kMinHeight);
    auto* column = new QVBoxLayout(&dialog);

    QFormLayout* basic = Group(dialog, column, form.gbBasic);
    basic->addRow(dialog.Label(form.labPlan), dialog.ComboBox(form.cbPlan));
    basic->addRow(dialog.Label(form.labBaudrate), dialog.Edit(form.edBaudrate));
    basic->addRow(dialog.Label(form.labMode), dialog.ComboBox(form.cbMode));
    basic->addRow(dialog.Label(form.labWordLen), dialog.ComboBox(form.cbWordLen));
    basic->addRow(dialog.Label(form.labHFC), dialog.ComboBox(form.cbHFC));
    basic->addRow(dialog.Label(form.labParity), dialog.ComboBox(form.cbParity));
    basic->addRow(dialog.Label(form.labStopBits), dialog.ComboBox(form.cbStopBits));

    QFormLayout* parameters = Group(dialog, column, form.gbAdvancedParameters);
    parameters->addRow(dialog.Label(form.labDataDir), dialog.ComboBox(form.cbDataDir));
    parameters->addRow(dialog.Label(form.labOverSampling), dialog.ComboBox(form.cbOverSampling));
    parameters->addRow(LabelledBox(dialog, form.cbSingleSample));

    QFormLayout* features = Group(dialog, column, form.gbAdvancedFeatures);
    features->addRow(LabelledBox(dialog, form.cbAutoBaud));
    features->addRow(dialog.Label(form.labAutoBaudMode), dialog.ComboBox(form.cbAutoBaudMode));
    for (TCheckBox& box : form.CheckBox) {
        features->addRow(LabelledBox(dialog, box));
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(dialog.Button(form.btnDefaults, [&form] { form.btnDefaultsClick(); }));
    buttons->addStretch();
    buttons->addWidget(dialog.Button(form.Button1));
    column->addLayout(buttons);
    return dialog.Run();
}

} // namespace velkor
