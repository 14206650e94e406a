// The Qt list model of the discovery list. It mirrors the entry texts of the
// device list model: insertions are collected as they are announced and
// applied together a moment later, so thousands of answers arriving at once
// cost a handful of view updates instead of one repaint each.
#pragma once

#include "ui/main/DeviceList.h"

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace velkor {

class DeviceListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    explicit DeviceListModel(DeviceListBox& list, QObject* parent = nullptr);
    ~DeviceListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Applies the announced changes now.
    void Flush();
    // The device list index of a row the view shows, taking the changes not
    // applied yet into account; -1 when the row is gone.
    int EntryIndex(int row) const;
    void Detach();

signals:
    // After a flush that changed the rows.
    void RowsApplied();

private:
    struct Pending {
        int index; // -1: the list was emptied
        QString text;
    };

    void Announced(int index);

    DeviceListBox& list_;
    std::vector<QString> rows_;
    std::vector<Pending> pending_;
    bool flushQueued_ = false;
    bool attached_ = true;
};

} // namespace velkor
