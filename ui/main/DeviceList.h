// The discovery list (`lbDeviceList`): one entry per discovery answer, kept in
// address order by inserting each new entry where a binary search puts it.
#pragma once

#include "session/ReaderRecords.h"
#include "ui/main/Controls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velkor {

struct DeviceListEntry {
    std::string Text;
    TRFIDDeviceBaseCaps Caps; // the entry's own copy
};

class DeviceListBox : public TControl {
public:
    // Lets a view mirror the list entry by entry: an insertion at `index`, or
    // (index -1) the list was emptied.
    using ListListener = std::function<void(int index)>;

    using TControl::TControl;

    // Entries live on the heap so that an insertion moves pointers, not records.
    const DeviceListEntry& Entry(int index) const { return *entries_[static_cast<size_t>(index)]; }
    int Count() const { return static_cast<int>(entries_.size()); }
    int ItemIndex() const { return itemIndex_; }
    // The selected entry, or nullptr.
    const DeviceListEntry* Selected() const;

    void SetListListener(ListListener listener) { listListener_ = std::move(listener); }
    void SetItemIndex(int index);
    void Clear();
    // Inserts after every entry whose address sorts lower or equal; returns the
    // index. The selection stays on the entry it was on.
    int Add(const TRFIDDeviceBaseCaps& caps, std::string text);

private:
    struct Slot {
        uint32_t key; // DeviceSortKey of the entry, kept for the binary search
        std::unique_ptr<DeviceListEntry> entry;
        const DeviceListEntry& operator*() const { return *entry; }
    };
    std::vector<Slot> entries_;
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

} // namespace velkor
