#include "ui/main/DeviceList.h"

#include "protocol/eproto.h"
#include "ui/main/TrafficLog.h"

#include <algorithm>
#include <cstring>

namespace velkor {

const DeviceListEntry* DeviceListBox::Selected() const {
    return itemIndex_ >= 0 && itemIndex_ < Count() ? &Entry(itemIndex_) : nullptr;
}

void DeviceListBox::SetItemIndex(int index) {
    itemIndex_ = index >= 0 && index < Count() ? index : -1;
    Changed();
}

void DeviceListBox::Clear() {
    entries_.clear();
    itemIndex_ = -1;
    if (listListener_) {
        listListener_(-1);
    }
    Changed();
}

int DeviceListBox::Add(const TRFIDDeviceBaseCaps& caps, std::string text) {
    const uint32_t key = DeviceSortKey(caps);
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), key,
                                     [](uint32_t k, const Slot& slot) { return k < slot.key; });
    const int index = static_cast<int>(at - entries_.begin());
    entries_.insert(
        at, Slot{key, std::make_unique<DeviceListEntry>(DeviceListEntry{std::move(text), caps})});
    if (itemIndex_ >= index) {
        ++itemIndex_;
    }
    if (listListener_) {
        listListener_(index);
    }
    Changed();
    return index;
}

uint32_t DeviceSortKey(const TRFIDDeviceBaseCaps& caps) {
    uint8_t bytes[4];
    std::memcpy(bytes, &caps.IP, sizeof bytes);
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::string MacText(const TRFIDDeviceBaseCaps& caps) {
    return eproto_bytes_to_hex(caps.MAC, "-");
}

std::string DeviceEntryText(const TRFIDDeviceBaseCaps& caps) {
    std::string text = MacText(caps) + " [" + caps.IPText + ":" + std::to_string(caps.TCPPort) +
                       "] [" + caps.DeviceName + "/" + caps.DeviceType + "]";
    if (caps.Seconds != -1) {
        text += " [u " + DurationText(static_cast<uint32_t>(caps.Seconds)) + "]";
    }
    if (caps.SignedSeconds != -1) {
        const auto raw = static_cast<uint32_t>(caps.SignedSeconds);
        text += std::string(" [") + ((raw & 0x80000000u) != 0 ? "+ " : "- ") +
                DurationText(raw & 0x7FFFFFFFu) + "]";
    }
    return text;
}

} // namespace velkor
