// The configurator's main window drawn with Qt Widgets: the tool bar, the two
// pages with hidden tab headers, the splitter, the traffic log and the status
// bar. Every widget mirrors a control model of TRFIDMainForm and forwards the
// user's clicks, choices and key states to the form's handlers.
#pragma once

#include "ui/main/URfidForm.h"
#include "ui/qt/ControlMirror.h"

#include <QMainWindow>

#include <functional>
#include <string>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTableView;
class QVBoxLayout;

namespace velkor {

class DeviceTableModel;
class LampWidget;

class MainWindowView final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindowView(TRFIDMainForm& form, QWidget* parent = nullptr);
    ~MainWindowView() override;

    QWidget* WidgetOf(const TControl* model) const { return mirror_->WidgetOf(model); }
    // Brings every widget up to date with its model now.
    void Synchronize();
    // Puts the window where the user left it last time, if it was remembered.
    void RestoreGeometry();
    // Stops following the models; call before the form goes away.
    void Detach();

    QTableView* DeviceList() const { return deviceList_; }
    QPlainTextEdit* Log() const { return log_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildDiscoveryPage();
    void BuildDeviceTable(QWidget* page);
    QWidget* BuildDevicePage();
    QWidget* BuildDeviceControls();
    QWidget* BuildCardPanel();
    QWidget* BuildLog();

    // Widgets bound to their models; the handler runs on a click.
    QPushButton* Button(TControl& model, std::function<void()> onClick);
    QLabel* Label(TControl& model);
    QCheckBox* CheckBox(TCheckBox& model, std::function<void()> onChange = {});
    QLineEdit* Edit(TEdit& model, std::function<void()> onChange);
    QComboBox* ComboBox(TComboBox& model, bool editable, std::function<void()> onChange = {});
    QSlider* TrackBar(TTrackBar& model);
    LampWidget* Lamp(TControl& model, int lamp);
    // A right click on `widget` runs `onPopup` instead of any other menu.
    void OnContextMenu(QWidget* widget, std::function<void()> onPopup);

    void DeviceListChanged();
    void DeviceListRowChosen(int row);
    void CopySelectedRows();
    void AppendLogLine(const std::string& line);
    void FlushLog();

    TRFIDMainForm& form_;
    ControlMirror* mirror_;
    QTabWidget* pages_ = nullptr;
    QWidget* discoveryPage_ = nullptr;
    QWidget* devicePage_ = nullptr;
    QTableView* deviceList_ = nullptr;
    DeviceTableModel* deviceListModel_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QStringList pendingLog_;
    bool logFlushQueued_ = false;
    bool attached_ = true;
};

} // namespace velkor
