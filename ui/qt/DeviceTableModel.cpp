#include "ui/qt/DeviceTableModel.h"

#include "ui/qt/ControlMirror.h"
#include "ui/qt/QtText.h"

#include <QTimer>

#include <algorithm>
#include <iterator>
#include <utility>

namespace velkor {

namespace {

// Beyond this many insertions in one turn, one reset is cheaper for the view
// than announcing each row.
constexpr size_t kResetThreshold = 64;
// Entries let go of in one turn of the event loop.
constexpr size_t kReleaseBatch = 500;

} // namespace

DeviceTableModel::DeviceTableModel(DeviceListBox& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
    for (int row = 0; row < list_.RowCount(); ++row) {
        rows_.push_back(list_.RowEntry(row));
    }
    list_.SetListListener([this](int row) { Announced(row); });
}

DeviceTableModel::~DeviceTableModel() {
    Detach();
}

void DeviceTableModel::Detach() {
    if (attached_) {
        list_.SetListListener({});
        attached_ = false;
    }
}

int DeviceTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DeviceTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : DeviceListBox::ColumnCount();
}

QVariant DeviceTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const DeviceListEntry& entry = *rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return ToQt(DeviceListBox::CellText(entry, index.column()));
    case Qt::ToolTipRole:
        return ToQt(entry.Text);
    default:
        return {};
    }
}

QVariant DeviceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= DeviceListBox::ColumnCount()) {
        return {};
    }
    return ToQt(DeviceListBox::ColumnCaptions()[static_cast<size_t>(section)]);
}

int DeviceTableModel::EntryIndex(int row) const {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    for (const Pending& change : pending_) {
        if (change.row < 0) {
            return -1;
        }
        if (change.row <= row) {
            ++row;
        }
    }
    return row;
}

void DeviceTableModel::Announced(int row) {
    if (row < 0) {
        pending_.clear(); // earlier insertions are in the new rows already
        pending_.push_back({-1, nullptr});
    } else {
        pending_.push_back({row, list_.RowEntry(row)});
    }
    if (!flushQueued_) {
        flushQueued_ = true;
        QTimer::singleShot(kViewRefreshMs, this, &DeviceTableModel::Flush);
    }
}

void DeviceTableModel::Flush() {
    flushQueued_ = false;
    if (pending_.empty() || !attached_) {
        return;
    }
    std::vector<Pending> changes;
    changes.swap(pending_);
    if (changes.size() > kResetThreshold || changes.front().row < 0) {
        // The list's rows now are the result of every change announced.
        beginResetModel();
        Retire(std::exchange(rows_, {}));
        for (int row = 0; row < list_.RowCount(); ++row) {
            rows_.push_back(list_.RowEntry(row));
        }
        endResetModel();
    } else {
        for (Pending& change : changes) {
            const int row = std::min(change.row, static_cast<int>(rows_.size()));
            beginInsertRows({}, row, row);
            rows_.insert(rows_.begin() + row, std::move(change.entry));
            endInsertRows();
        }
    }
    emit RowsApplied();
}

void DeviceTableModel::Retire(std::vector<DeviceListBox::EntryPtr> rows) {
    if (rows.empty()) {
        return;
    }
    const bool idle = retired_.empty();
    retired_.insert(retired_.end(), std::make_move_iterator(rows.begin()),
                    std::make_move_iterator(rows.end()));
    if (idle) {
        QTimer::singleShot(0, this, &DeviceTableModel::ReleaseRetired);
    }
}

void DeviceTableModel::ReleaseRetired() {
    retired_.resize(retired_.size() - std::min(retired_.size(), kReleaseBatch));
    if (!retired_.empty()) {
        QTimer::singleShot(0, this, &DeviceTableModel::ReleaseRetired);
    }
}

} // namespace velkor
