// The discovery list (`lbDeviceList`): one entry per discovery answer, kept in
// address order by inserting each new entry where a binary search puts it.
#pragma once

#include "session/ReaderRecords.h"
#include "ui/main/Controls.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TDeviceListEntry {
    std::string Text;
    TRFIDDeviceBaseCaps Caps; // the entry's own copy
};

class TDeviceListBox : public TControl {
public:
    // Lets a view mirror the list entry by entry: an insertion at `index`, or
    // (index -1) the list was emptied.
    using ListListener = std::function<void(int index)>;

    using TControl::TControl;

    const std::vector<TDeviceListEntry>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    int ItemIndex() const { return itemIndex_; }
    // The selected entry, or nullptr.
    const TDeviceListEntry* Selected() const;

    void SetListListener(ListListener listener) { listListener_ = std::move(listener); }
    void SetItemIndex(int index);
    void Clear();
    // Inserts after every entry whose address sorts lower or equal; returns the
    // index. The selection stays on the entry it was on.
    int Add(const TRFIDDeviceBaseCaps& caps, std::string text);

private:
    std::vector<TDeviceListEntry> entries_;
    ListListener listListener_;
    int itemIndex_ = -1;
};

// The order of the list: the address bytes read as a little-endian number, so
// the last octet weighs most.
uint32_t DeviceSortKey(const TRFIDDeviceBaseCaps& caps);

// "<MAC> [<ip>:<port>] [<name>/<type>][ [u <uptime>]][ [± <duration>]]"
std::string DeviceEntryText(const TRFIDDeviceBaseCaps& caps);

// The MAC as hex with "-" between bytes.
std::string MacText(const TRFIDDeviceBaseCaps& caps);
