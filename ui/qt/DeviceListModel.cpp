#include "ui/qt/DeviceListModel.h"

#include "ui/qt/ControlMirror.h"
#include "ui/qt/QtText.h"

#include <QTimer>

#include <algorithm>

namespace velkor {

namespace {

// Beyond this many insertions in one turn, one reset is cheaper for the view
// than announcing each row.
constexpr size_t kResetThreshold = 64;

} // namespace

DeviceListModel::DeviceListModel(DeviceListBox& list, QObject* parent)
    : QAbstractListModel(parent), list_(list) {
    for (int i = 0; i < list_.Count(); ++i) {
        rows_.push_back(ToQt(list_.Entry(i).Text));
    }
    list_.SetListListener([this](int index) { Announced(index); });
}

DeviceListModel::~DeviceListModel() {
    Detach();
}

void DeviceListModel::Detach() {
    if (attached_) {
        list_.SetListListener({});
        attached_ = false;
    }
}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    return rows_[static_cast<size_t>(index.row())];
}

int DeviceListModel::EntryIndex(int row) const {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    for (const Pending& change : pending_) {
        if (change.index < 0) {
            return -1;
        }
        if (change.index <= row) {
            ++row;
        }
    }
    return row;
}

void DeviceListModel::Announced(int index) {
    if (index < 0) {
        pending_.clear(); // earlier insertions are gone with the list
        pending_.push_back({-1, {}});
    } else {
        pending_.push_back({index, ToQt(list_.Entry(index).Text)});
    }
    if (!flushQueued_) {
        flushQueued_ = true;
        QTimer::singleShot(kViewRefreshMs, this, &DeviceListModel::Flush);
    }
}

void DeviceListModel::Flush() {
    flushQueued_ = false;
    if (pending_.empty()) {
        return;
    }
    std::vector<Pending> changes;
    changes.swap(pending_);
    const bool bulk = changes.size() > kResetThreshold || changes.front().index < 0;
    if (bulk) {
        beginResetModel();
    }
    for (Pending& change : changes) {
        if (change.index < 0) {
            rows_.clear();
            continue;
        }
        const auto at = rows_.begin() + std::min<ptrdiff_t>(change.index, ssize(rows_));
        if (!bulk) {
            const int row = static_cast<int>(at - rows_.begin());
            beginInsertRows({}, row, row);
        }
        rows_.insert(at, std::move(change.text));
        if (!bulk) {
            endInsertRows();
        }
    }
    if (bulk) {
        endResetModel();
    }
    emit RowsApplied();
}

} // namespace velkor
