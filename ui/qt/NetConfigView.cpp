// The network configuration dialog: MAC, the three addresses as four octet
// fields each, and the three ports.
#include "ui/dialogs/uNetConfig.h"
#include "ui/qt/DialogViews.h"
#include "ui/qt/ModelDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velkor {

namespace {

constexpr int kOctetWidth = 44;
constexpr int kPortWidth = 70;

} // namespace

TModalResult ShowDialog(dialogs::TfrmNetConfig& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmNetConfig", parent);
    auto* grid = new QGridLayout(&dialog);
    grid->addWidget(dialog.Label(form.Label4), 0, 0);
    grid->addWidget(dialog.Label(form.labMAC), 0, 1, 1, 4);
    int row = 1;
    QWidget* previous = nullptr;
    auto chain = [&](QWidget* next) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, next);
        }
        previous = next;
    };
    for (auto [label, fields] :
         {std::pair{&form.labIP, &form.edIP}, std::pair{&form.labMask, &form.edMask},
          std::pair{&form.labGateway, &form.edGateway}}) {
        grid->addWidget(dialog.Label(*label), row, 0);
        for (int i = 0; i < 4; ++i) {
            QLineEdit* octet = dialog.Edit((*fields)[static_cast<size_t>(i)]);
            octet->setFixedWidth(kOctetWidth);
            grid->addWidget(octet, row, 1 + i);
            chain(octet);
        }
        ++row;
    }
    for (auto [label, field] :
         {std::pair{&form.Label1, &form.edUDPPort}, std::pair{&form.Label2, &form.edTCPPort},
          std::pair{&form.Label3, &form.edDebugPort}}) {
        grid->addWidget(dialog.Label(*label), row, 0);
        QLineEdit* port = dialog.Edit(*field);
        port->setFixedWidth(kPortWidth);
        grid->addWidget(port, row, 1, 1, 2);
        chain(port);
        ++row;
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = dialog.Button(form.btnOk);
    QPushButton* cancel = dialog.Button(form.btnCancel);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    chain(ok);
    chain(cancel);
    grid->addLayout(buttons, row, 0, 1, 5);
    return dialog.Run();
}

} // namespace velkor
