// The discovery list (`lbDeviceList`), shown as a table: one entry per
// controller that answered (a controller heard on two paths is listed once),
// a column for every field of its answer, sorted by a column the user picks
// or, by default, in address order (the last octet weighs most), and
// narrowed by a filter text. Views mirror it row by row.
#pragma once

#include "session/DiscoveryAnswer.h"
#include "session/ReaderRecords.h"
#include "ui/controls/Controls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace velkor {

struct DeviceListEntry {
    std::string Text;         // the entry text of the log, and the row's tooltip
    TRFIDDeviceBaseCaps Caps; // what connecting and targeting use
    DiscoveryAnswer Answer;   // what the columns and the export show
    // The answer's fields in column order, as exported (absent: nothing).
    std::vector<std::optional<std::string>> Values;
    uint64_t Sequence = 0; // arrival order, the last tie-breaker
};

class DeviceListBox : public TControl {
public:
    // Lets a view mirror the rows: a row inserted at `row`, or (row -1) the
    // rows were replaced (emptied, re-sorted or re-filtered).
    using ListListener = std::function<void(int row)>;
    using EntryPtr = std::shared_ptr<const DeviceListEntry>;

    using TControl::TControl;

    // The column captions, in the order of the answer's fields.
    static const std::vector<std::string>& ColumnCaptions();
    static int ColumnCount() { return static_cast<int>(ColumnCaptions().size()); }
    // The text a cell shows (Windows-1251): the exported value, except that
    // the two time counters show as durations.
    static std::string CellText(const DeviceListEntry& entry, int column);

    // Rows are the entries the filter lets through, in the order shown.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const DeviceListEntry& Row(int row) const { return *rows_[static_cast<size_t>(row)]; }
    // Entries stay alive while a view holds them, also after Clear.
    const EntryPtr& RowEntry(int row) const { return rows_[static_cast<size_t>(row)]; }
    int EntryCount() const { return static_cast<int>(entries_.size()); }

    int ItemIndex() const { return itemIndex_; }
    // The selected row's entry, or nullptr.
    const DeviceListEntry* Selected() const;
    void SetItemIndex(int row);
    void SetListListener(ListListener listener) { listListener_ = std::move(listener); }

    void Clear();
    // Lists the answer unless its controller is listed already; returns the
    // new entry, or nullptr for a known controller. The selection stays on
    // the entry it was on.
    const DeviceListEntry* Add(const DiscoveryAnswer& answer);

    // -1: the default order.
    int SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return descending_; }
    // A click on a column header: ascending by that column, then descending,
    // then back to the default order.
    void SortBy(int column);

    const std::string& Filter() const { return filter_; }
    // Shows only entries with a cell or entry text that holds `text`, letters
    // compared without case; an empty text shows everything.
    void SetFilter(std::string text);

    // The answers of every entry, or of the rows shown, in the order shown.
    std::vector<DiscoveryAnswer> Answers(bool shownOnly) const;
    // The header and the given rows, cells separated by tabs, a line each.
    std::string RowsText(const std::vector<int>& rows) const;

private:
    bool Before(const DeviceListEntry& a, const DeviceListEntry& b) const;
    bool Shows(const DeviceListEntry& entry) const;
    std::vector<EntryPtr> Ordered(bool shownOnly) const;
    // Rebuilds the rows, keeping the selection on its entry.
    void Rebuild();
    void Announce(int row);

    std::vector<EntryPtr> entries_; // arrival order
    std::vector<EntryPtr> rows_;
    std::unordered_set<std::string> controllers_;
    ListListener listListener_;
    int itemIndex_ = -1;
    int sortColumn_ = -1;
    bool descending_ = false;
    std::string filter_;
    uint64_t nextSequence_ = 0;
};

// The default order: the address bytes read as a little-endian number, so
// the last octet weighs most.
uint32_t DeviceSortKey(const TRFIDDeviceBaseCaps& caps);

// "<MAC> [<ip>:<port>] [<name>/<type>][ [u <uptime>]][ [± <duration>]]"
std::string DeviceEntryText(const TRFIDDeviceBaseCaps& caps);

// The MAC as hex with "-" between bytes.
std::string MacText(const TRFIDDeviceBaseCaps& caps);

} // namespace velkor
