// The frame of the main window: tool bar, pages, splitter, traffic log, status
// bar, the discovery page and the binding helpers shared with the device page.
#include "ui/qt/MainWindowView.h"

#include "ui/main/CommandLine.h"
#include "ui/qt/ComboItems.h"
#include "ui/qt/DeviceTableModel.h"
#include "ui/qt/FillHolder.h"
#include "ui/qt/LampWidget.h"
#include "ui/qt/QtColour.h"
#include "ui/qt/QtText.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace velkor {

namespace {

constexpr int kToolBarHeight = 41;
constexpr int kPagesHeight = 368;
constexpr int kPagesMinHeight = 350;
constexpr int kSplitterHandle = 4;
constexpr int kLogMinHeight = 50;

// The traffic log's font: the first family of the list that is installed and
// drawn with fixed pitch, judged by the font actually rendered (QFontInfo), not
// by the request. "Courier New" where the system has it; DejaVu Sans Mono is
// what install-deps brings; the others cover common desktops.
QFont LogFont() {
    for (const char* family :
         {"Courier New", "DejaVu Sans Mono", "Liberation Mono", "Noto Mono", "Cousine"}) {
        QFont font(family);
        font.setStyleHint(QFont::TypeWriter);
        const QFontInfo rendered(font);
        if (rendered.family() == family && rendered.fixedPitch()) {
            return font;
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    const QPalette standard = widget->style()->standardPalette();
    palette.setColor(QPalette::Base, colour.isValid() ? colour : standard.color(QPalette::Base));
    palette.setColor(QPalette::Button,
                     colour.isValid() ? colour : standard.color(QPalette::Button));
    widget->setPalette(palette);
}

} // namespace

MainWindowView::MainWindowView(TRFIDMainForm& form, QWidget* parent)
    : QMainWindow(parent), form_(form), mirror_(new ControlMirror(form.Changes, this)) {
    setObjectName("TRFIDMainForm");
    setWindowTitle("RFID Reader Configurator");
    resize(825, 684);
    setMinimumSize(600, 492);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* toolBar = new QFrame(central);
    toolBar->setFrameShape(QFrame::StyledPanel);
    toolBar->setFixedHeight(kToolBarHeight);
    auto* toolRow = new QHBoxLayout(toolBar);
    toolRow->setContentsMargins(6, 4, 6, 4);
    mirror_->Bind(form_.pnToolBar, toolBar);
    QPushButton* disconnect = Button(form_.btnDisconnect, [this] { form_.btnDisconnectClick(); });
    disconnect->setParent(toolBar);
    toolRow->addWidget(disconnect);
    toolRow->addStretch();
    column->addWidget(toolBar);

    auto* splitter = new QSplitter(Qt::Vertical, central);
    splitter->setObjectName("Splitter1");
    splitter->setHandleWidth(kSplitterHandle);
    splitter->setChildrenCollapsible(false);
    pages_ = new QTabWidget(splitter);
    pages_->setMinimumHeight(kPagesMinHeight);
    discoveryPage_ = BuildDiscoveryPage();
    devicePage_ = BuildDevicePage();
    pages_->addTab(discoveryPage_, "tsMain");
    pages_->addTab(devicePage_, "tsDevice");
    mirror_->Bind(form_.tsMain, nullptr);
    mirror_->Bind(form_.tsDevice, nullptr);
    mirror_->Bind(form_.pcMain, pages_, [this] {
        pages_->tabBar()->setVisible(form_.pcMain.TabsVisible());
        if (form_.pcMain.ActivePage() == &form_.tsDevice) {
            pages_->setCurrentWidget(devicePage_);
        } else if (form_.pcMain.ActivePage() == &form_.tsMain) {
            pages_->setCurrentWidget(discoveryPage_);
        }
    });
    splitter->addWidget(pages_);
    splitter->addWidget(BuildLog());
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kPagesHeight, 684 - kPagesHeight});
    column->addWidget(splitter, 1);
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName("sbMain");
    setStatusBar(status);
    mirror_->Bind(form_.sbMain, nullptr, [this, status] {
        if (!form_.sbMain.Caption().empty()) {
            status->showMessage(ToQt(form_.sbMain.Caption()));
        }
    });

    // About: in the status bar's corner on both pages, and on F1.
    auto* about = new QAction("About", this);
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox::about(this, "About Velkor", QString::fromStdString(AboutText()));
    });
    addAction(about);
    auto* aboutButton = new QToolButton(status);
    aboutButton->setObjectName("btnAbout");
    aboutButton->setAutoRaise(true);
    aboutButton->setDefaultAction(about);
    status->addPermanentWidget(aboutButton);
}

MainWindowView::~MainWindowView() {
    Detach();
}

void MainWindowView::Detach() {
    if (!attached_) {
        return;
    }
    attached_ = false;
    mirror_->Detach();
    deviceListModel_->Detach();
    form_.memLog.SetAppendListener({});
}

void MainWindowView::Synchronize() {
    FlushLog();
    deviceListModel_->Flush();
    mirror_->Flush();
}

void MainWindowView::RestoreGeometry() {
    const std::optional<WindowGeometry> remembered = form_.RememberedGeometry();
    if (!remembered) {
        return;
    }
    const QRect place(remembered->Left, remembered->Top, remembered->Width, remembered->Height);
    // A place on a screen that is no longer there keeps only its size.
    if (QGuiApplication::screenAt(place.center()) != nullptr) {
        setGeometry(place);
    } else {
        resize(place.size());
    }
    if (remembered->Maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    const QRect place = isMaximized() ? normalGeometry() : geometry();
    form_.RememberGeometry({place.x(), place.y(), place.width(), place.height(), isMaximized()});
    event->accept();
    emit closed();
}

// ---- binding helpers ----

QPushButton* MainWindowView::Button(TControl& model, std::function<void()> onClick) {
    auto* button = new QPushButton(this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [onClick = std::move(onClick)] { onClick(); });
    mirror_->Bind(model, button, [&model, button] { button->setText(ToQt(model.Caption())); });
    return button;
}

QLabel* MainWindowView::Label(TControl& model) {
    auto* label = new QLabel(this);
    mirror_->Bind(model, label, [&model, label] { label->setText(ToQt(model.Caption())); });
    return label;
}

QCheckBox* MainWindowView::CheckBox(TCheckBox& model, std::function<void()> onChange) {
    auto* box = new QCheckBox(this);
    connect(box, &QCheckBox::toggled, this, [&model, onChange](bool checked) {
        model.SetChecked(checked);
        if (onChange) {
            onChange();
        }
    });
    mirror_->Bind(model, box, [&model, box] {
        const QSignalBlocker quiet(box);
        box->setText(ToQt(model.Caption()));
        box->setChecked(model.Checked());
    });
    return box;
}

QLineEdit* MainWindowView::Edit(TEdit& model, std::function<void()> onChange) {
    auto* edit = new QLineEdit(this);
    edit->setClearButtonEnabled(true);
    connect(edit, &QLineEdit::textChanged, this, [&model, onChange](const QString& text) {
        model.SetText(FromQt(text));
        onChange();
    });
    mirror_->Bind(model, edit, [&model, edit] {
        if (edit->text() != ToQt(model.Text())) {
            const QSignalBlocker quiet(edit);
            edit->setText(ToQt(model.Text()));
        }
    });
    return edit;
}

QComboBox* MainWindowView::ComboBox(TComboBox& model, bool editable,
                                    std::function<void()> onChange) {
    auto* combo = new QComboBox(this);
    combo->setEditable(editable);
    connect(combo, &QComboBox::activated, this, [&model, onChange](int index) {
        model.SetItemIndex(index);
        if (onChange) {
            onChange();
        }
    });
    if (editable) {
        connect(combo, &QComboBox::editTextChanged, this,
                [&model](const QString& text) { model.SetText(FromQt(text)); });
    }
    mirror_->Bind(model, combo, [&model, combo, editable] {
        ShowComboItems(combo, model);
        const QSignalBlocker quiet(combo);
        if (editable && combo->currentText() != ToQt(model.Text())) {
            combo->setEditText(ToQt(model.Text()));
        }
        SetBackground(combo, ModelColour(model.Colour()));
    });
    return combo;
}

QSlider* MainWindowView::TrackBar(TTrackBar& model) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(model.Min(), model.Max());
    connect(slider, &QSlider::valueChanged, this,
            [&model](int value) { model.SetPosition(value); });
    mirror_->Bind(model, slider, [&model, slider] {
        const QSignalBlocker quiet(slider);
        slider->setValue(model.Position());
    });
    return slider;
}

LampWidget* MainWindowView::Lamp(TControl& model, int lamp) {
    auto* widget = new LampWidget(this);
    connect(widget, &LampWidget::released, this, [this, lamp] { form_.shInputMouseUp(lamp); });
    mirror_->Bind(model, widget,
                  [&model, widget] { widget->SetColour(ModelColour(model.Colour())); });
    return widget;
}

void MainWindowView::OnContextMenu(QWidget* widget, std::function<void()> onPopup) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this,
            [onPopup = std::move(onPopup)] { onPopup(); });
}

// ---- discovery page ----

QWidget* MainWindowView::BuildDiscoveryPage() {
    auto* page = new QWidget(this);
    page->setObjectName("tsMain");
    auto* row = new QHBoxLayout(page);

    auto* listColumn = new QVBoxLayout;
    // "Scan (N)" changes with every refresh while answers arrive.
    listColumn->addWidget(
        new FillHolder(Button(form_.btnScan, [this] { form_.btnScanClick(); }), page));
    auto* choices = new QHBoxLayout;
    choices->addWidget(Label(form_.labInterface));
    choices->addWidget(ComboBox(form_.cbInterface, false, [this] { form_.cbInterfaceChange(); }),
                       1);
    choices->addWidget(Label(form_.labFilter));
    choices->addWidget(Edit(form_.edFilter, [this] { form_.edFilterChange(); }), 1);
    listColumn->addLayout(choices);
    BuildDeviceTable(page);
    listColumn->addWidget(deviceList_, 1);
    row->addLayout(listColumn, 1);

    auto* side = new QVBoxLayout;
    auto* flagRow = new QHBoxLayout;
    flagRow->addWidget(Label(form_.Label1));
    flagRow->addWidget(ComboBox(form_.cbUDPFlag, false, [this] { form_.cbUDPFlagChange(); }), 1);
    side->addLayout(flagRow);
    side->addWidget(Button(form_.btnNetCfgGet, [this] { form_.btnNetCfgGetClick(); }));
    side->addWidget(Button(form_.btnNetCfgSet, [this] { form_.btnNetCfgSetClick(); }));
    side->addWidget(Button(form_.btnNetRestart, [this] { form_.btnNetRestartClick(); }));
    side->addWidget(Button(form_.btnDirectConnect, [this] { form_.btnDirectConnectClick(); }));
    side->addWidget(Button(form_.bntResetAll, [this] { form_.bntResetAllClick(); }));
    side->addWidget(CheckBox(form_.CheckBox1));
    side->addWidget(Button(form_.btnLlistReq, [this] { form_.btnLlistReqClick(); }));
    side->addStretch();
    side->addWidget(Button(form_.btnExport, [this] { form_.btnExportClick(); }));
    row->addLayout(side);
    return page;
}

void MainWindowView::BuildDeviceTable(QWidget* page) {
    deviceList_ = new QTableView(page);
    deviceListModel_ = new DeviceTableModel(form_.lbDeviceList, this);
    deviceList_->setModel(deviceListModel_);
    deviceList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    deviceList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    deviceList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    deviceList_->setWordWrap(false);
    deviceList_->setShowGrid(false);
    deviceList_->setAlternatingRowColors(true);
    // Every row the same height, and no row header: the view never measures
    // thousands of rows.
    QHeaderView* rows = deviceList_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(deviceList_->fontMetrics().height() + 4);
    QHeaderView* columns = deviceList_->horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(false);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(true);
    // Room for an address in every column, and for a MAC in the first.
    const QFontMetrics metrics = deviceList_->fontMetrics();
    columns->setDefaultSectionSize(metrics.horizontalAdvance("255.255.255.255") + 16);
    columns->resizeSection(0, metrics.horizontalAdvance("00-00-00-00-00-00") + 16);
    connect(columns, &QHeaderView::sectionClicked, this,
            [this](int column) { form_.lbDeviceListHeaderClick(column); });
    deviceList_->viewport()->installEventFilter(this);
    deviceList_->installEventFilter(this);
    connect(deviceListModel_, &DeviceTableModel::RowsApplied, this,
            &MainWindowView::DeviceListChanged);
    connect(deviceList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { DeviceListRowChosen(current.row()); });
    connect(deviceList_, &QTableView::clicked, this, [this] { form_.lbDeviceListClick(); });
    OnContextMenu(deviceList_, [this] { form_.lbDeviceListContextPopup(); });
    mirror_->Bind(form_.lbDeviceList, deviceList_, [this] { DeviceListChanged(); });
}

void MainWindowView::DeviceListChanged() {
    deviceListModel_->Flush();
    QHeaderView* columns = deviceList_->horizontalHeader();
    const int sorted = form_.lbDeviceList.SortColumn();
    columns->setSortIndicatorShown(sorted >= 0);
    columns->setSortIndicator(sorted, form_.lbDeviceList.SortDescending() ? Qt::DescendingOrder
                                                                          : Qt::AscendingOrder);
    const int index = form_.lbDeviceList.ItemIndex();
    QItemSelectionModel* selection = deviceList_->selectionModel();
    const QModelIndex wanted = deviceListModel_->index(index, 0);
    if (selection->currentIndex().row() == wanted.row() &&
        (index < 0 || selection->isRowSelected(index))) {
        return;
    }
    const QSignalBlocker quiet(selection);
    if (index < 0) {
        selection->clear();
    } else {
        selection->setCurrentIndex(wanted,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    deviceList_->viewport()->update();
}

void MainWindowView::DeviceListRowChosen(int row) {
    const int index = deviceListModel_->EntryIndex(row);
    if (index != form_.lbDeviceList.ItemIndex()) {
        form_.lbDeviceList.SetItemIndex(index);
    }
}

void MainWindowView::CopySelectedRows() {
    std::vector<int> rows;
    for (const QModelIndex& index : deviceList_->selectionModel()->selectedRows()) {
        if (const int row = deviceListModel_->EntryIndex(index.row()); row >= 0) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    form_.CopyDeviceRows(rows);
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    if (deviceList_ != nullptr && watched == deviceList_->viewport() &&
        event->type() == QEvent::MouseButtonDblClick) {
        // After the click has been handled, like the list's own double-click event.
        QMetaObject::invokeMethod(
            this, [this] { form_.lbDeviceListDblClick(); }, Qt::QueuedConnection);
    }
    if (watched == deviceList_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelectedRows(); // every selected row, not only the current cell
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- traffic log ----

QWidget* MainWindowView::BuildLog() {
    auto* area = new QWidget(this);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* options = new QHBoxLayout;
    options->setContentsMargins(6, 2, 6, 0);
    options->addWidget(CheckBox(form_.cbLogTimestamps, [this] { form_.cbLogOptionsChange(); }));
    options->addWidget(CheckBox(form_.cbLogSent, [this] { form_.cbLogOptionsChange(); }));
    options->addStretch();
    options->addWidget(Button(form_.btnSaveLog, [this] { form_.btnSaveLogClick(); }));
    column->addLayout(options);

    log_ = new QPlainTextEdit(area);
    log_->setObjectName("memLog");
    log_->setFont(LogFont());
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setMinimumHeight(kLogMinHeight);
    log_->setMaximumBlockCount(static_cast<int>(MemoLog::kMaxLines));
    for (const std::string& line : form_.memLog.Lines()) {
        pendingLog_ << ToQt(line);
    }
    FlushLog();
    form_.memLog.SetAppendListener(
        [this](const std::string& line, size_t) { AppendLogLine(line); });
    column->addWidget(log_, 1);
    return area;
}

void MainWindowView::AppendLogLine(const std::string& line) {
    pendingLog_ << ToQt(line);
    if (pendingLog_.size() > static_cast<qsizetype>(MemoLog::kMaxLines)) {
        pendingLog_.removeFirst(); // would scroll out of the log at once
    }
    if (!logFlushQueued_) {
        logFlushQueued_ = true;
        QTimer::singleShot(kViewRefreshMs, this, &MainWindowView::FlushLog);
    }
}

void MainWindowView::FlushLog() {
    logFlushQueued_ = false;
    if (pendingLog_.isEmpty()) {
        return;
    }
    log_->appendPlainText(pendingLog_.join('\n'));
    pendingLog_.clear();
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

} // namespace velkor
