// The Qt table model of the discovery list. It mirrors the rows of the device
// list model: insertions are collected as they are announced and applied
// together a moment later, so thousands of answers arriving at once cost a
// handful of view updates instead of one repaint each. It holds the entries
// themselves (shared with the list model), so the cells it shows stay valid
// until it applies the next change, even after the list was emptied.
#pragma once

#include "ui/main/DeviceList.h"

#include <QAbstractTableModel>

#include <vector>

namespace velkor {

class DeviceTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit DeviceTableModel(DeviceListBox& list, QObject* parent = nullptr);
    ~DeviceTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // The cell's text; its tooltip is the entry text the log shows.
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Applies the announced changes now.
    void Flush();
    // The device list row of a row the view shows, taking the changes not
    // applied yet into account; -1 when the row is gone.
    int EntryIndex(int row) const;
    void Detach();

signals:
    // After a flush that changed the rows.
    void RowsApplied();

private:
    struct Pending {
        int row; // -1: the rows were replaced
        DeviceListBox::EntryPtr entry;
    };

    void Announced(int row);
    // Lets go of the entries of replaced rows a batch at a time: after a new
    // scan they are the last references to thousands of entries, and freeing
    // them all at once would hold the window for several milliseconds.
    void Retire(std::vector<DeviceListBox::EntryPtr> rows);
    void ReleaseRetired();

    DeviceListBox& list_;
    std::vector<DeviceListBox::EntryPtr> rows_;
    std::vector<Pending> pending_;
    std::vector<DeviceListBox::EntryPtr> retired_;
    bool flushQueued_ = false;
    bool attached_ = true;
};

} // namespace velkor
