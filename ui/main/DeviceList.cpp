#include "ui/main/DeviceList.h"

#include "base/IPv4Text.h"
#include "base/TextNumbers.h"
#include "net/UKVTSocket.h"
#include "protocol/ByteFields.h"
#include "protocol/eproto.h"
#include "session/DiscoveryExport.h"
#include "session/DiscoveryReply.h"
#include "ui/main/TrafficLog.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velkor {

namespace {

// How a column's values compare.
enum class Order { Text, Number, Address };

// One column per field of DiscoveryFields, in its order.
struct Column {
    const char* caption;
    Order order;
};

constexpr std::array<Column, 15> kColumns = {{
    {"MAC", Order::Text},
    {"IP", Order::Address},
    {"TCP port", Order::Number},
    {"Mask", Order::Address},
    {"Gateway", Order::Address},
    {"Server", Order::Address},
    {"Name", Order::Text},
    {"Type", Order::Text},
    {"Text 13", Order::Text},
    {"Uptime", Order::Number},
    {"Signed time", Order::Number},
    {"Tag 7", Order::Number},
    {"Tag 8", Order::Number},
    {"Tag 9", Order::Number},
    {"From", Order::Address},
}};
constexpr int kUptime = 9;
constexpr int kSignedTime = 10;

unsigned char Folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

bool ContainsFolded(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return Folded(a) == Folded(b); }) != text.end();
}

// An address "a.b.c.d" (optionally followed by ":port") as one number that
// sorts naturally: octets first to last, then the port.
int64_t AddressValue(std::string_view text) {
    const std::size_t colon = text.find(':');
    const std::optional<uint32_t> ip = base::ParseIPv4HostOrder(text.substr(0, colon));
    if (!ip) {
        return -1;
    }
    int64_t value = int64_t{*ip} << 16;
    if (colon != std::string_view::npos) {
        value |=
            static_cast<int64_t>(base::ParseUnsigned(text.substr(colon + 1), 0xFFFF).value_or(0));
    }
    return value;
}

// Absent values sort before every present one.
int Compare(Order order, const std::optional<std::string>& a, const std::optional<std::string>& b) {
    if (!a || !b) {
        return static_cast<int>(a.has_value()) - static_cast<int>(b.has_value());
    }
    switch (order) {
    case Order::Number: {
        // Number columns hold decimal texts the table wrote itself.
        const int64_t x = base::ParseSigned(*a, INT64_MIN, INT64_MAX).value_or(INT64_MIN);
        const int64_t y = base::ParseSigned(*b, INT64_MIN, INT64_MAX).value_or(INT64_MIN);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Order::Address: {
        const int64_t x = AddressValue(*a);
        const int64_t y = AddressValue(*b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Order::Text:
        break;
    }
    const auto less = [](char x, char y) { return Folded(x) < Folded(y); };
    if (std::lexicographical_compare(a->begin(), a->end(), b->begin(), b->end(), less)) {
        return -1;
    }
    return std::lexicographical_compare(b->begin(), b->end(), a->begin(), a->end(), less) ? 1 : 0;
}

// A cell text may hold neither tabs nor line breaks.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

} // namespace

const std::vector<std::string>& DeviceListBox::ColumnCaptions() {
    static const std::vector<std::string> captions = [] {
        std::vector<std::string> list;
        for (const Column& column : kColumns) {
            list.emplace_back(column.caption);
        }
        return list;
    }();
    return captions;
}

std::string DeviceListBox::CellText(const DeviceListEntry& entry, int column) {
    const TRFIDReaderTLVStruct& items = entry.Answer.Items;
    if (column == kUptime && items.Seconds != -1) {
        return DurationText(static_cast<uint32_t>(items.Seconds));
    }
    if (column == kSignedTime && items.SignedSeconds != -1) {
        return SignedDurationText(static_cast<uint32_t>(items.SignedSeconds));
    }
    return entry.Values[static_cast<size_t>(column)].value_or("");
}

const DeviceListEntry* DeviceListBox::Selected() const {
    return itemIndex_ >= 0 && itemIndex_ < RowCount() ? &Row(itemIndex_) : nullptr;
}

void DeviceListBox::SetItemIndex(int row) {
    itemIndex_ = row >= 0 && row < RowCount() ? row : -1;
    Changed();
}

void DeviceListBox::Clear() {
    entries_.clear();
    rows_.clear();
    controllers_.clear();
    itemIndex_ = -1;
    Announce(-1);
    Changed();
}

const DeviceListEntry* DeviceListBox::Add(const DiscoveryAnswer& answer) {
    if (!controllers_.insert(ControllerKey(answer)).second) {
        return nullptr;
    }
    auto entry = std::make_shared<DeviceListEntry>();
    entry->Caps = DeviceCapsOf(answer.Items);
    entry->Text = DeviceEntryText(entry->Caps);
    entry->Answer = answer;
    for (DiscoveryField& field : DiscoveryFields(answer, FieldTexts::Win1251)) {
        entry->Values.push_back(std::move(field.Value));
    }
    entry->Sequence = nextSequence_++;
    entries_.push_back(entry);
    if (Shows(*entry)) {
        const auto at = std::upper_bound(
            rows_.begin(), rows_.end(), entry,
            [this](const EntryPtr& a, const EntryPtr& b) { return Before(*a, *b); });
        const int row = static_cast<int>(at - rows_.begin());
        rows_.insert(at, entry);
        if (itemIndex_ >= row) {
            ++itemIndex_;
        }
        Announce(row);
    }
    Changed();
    return entries_.back().get();
}

void DeviceListBox::SortBy(int column) {
    if (column < 0 || column >= ColumnCount()) {
        return;
    }
    if (column != sortColumn_) {
        sortColumn_ = column;
        descending_ = false;
    } else if (!descending_) {
        descending_ = true;
    } else {
        sortColumn_ = -1;
        descending_ = false;
    }
    Rebuild();
}

void DeviceListBox::SetFilter(std::string text) {
    if (text == filter_) {
        return;
    }
    filter_ = std::move(text);
    Rebuild();
}

bool DeviceListBox::Before(const DeviceListEntry& a, const DeviceListEntry& b) const {
    if (sortColumn_ >= 0) {
        const auto column = static_cast<size_t>(sortColumn_);
        const int order = Compare(kColumns[column].order, a.Values[column], b.Values[column]);
        if (order != 0) {
            return descending_ ? order > 0 : order < 0;
        }
    }
    const uint32_t x = DeviceSortKey(a.Caps);
    const uint32_t y = DeviceSortKey(b.Caps);
    return x != y ? x < y : a.Sequence < b.Sequence;
}

bool DeviceListBox::Shows(const DeviceListEntry& entry) const {
    if (filter_.empty() || ContainsFolded(entry.Text, filter_)) {
        return true;
    }
    for (int column = 0; column < ColumnCount(); ++column) {
        if (ContainsFolded(CellText(entry, column), filter_)) {
            return true;
        }
    }
    return false;
}

std::vector<DeviceListBox::EntryPtr> DeviceListBox::Ordered(bool shownOnly) const {
    std::vector<EntryPtr> ordered;
    for (const EntryPtr& entry : entries_) {
        if (!shownOnly || Shows(*entry)) {
            ordered.push_back(entry);
        }
    }
    std::sort(ordered.begin(), ordered.end(),
              [this](const EntryPtr& a, const EntryPtr& b) { return Before(*a, *b); });
    return ordered;
}

void DeviceListBox::Rebuild() {
    const DeviceListEntry* selected = Selected();
    rows_ = Ordered(true);
    const auto found = std::find_if(rows_.begin(), rows_.end(), [selected](const EntryPtr& row) {
        return row.get() == selected;
    });
    itemIndex_ = found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
    Announce(-1);
    Changed();
}

void DeviceListBox::Announce(int row) {
    if (listListener_) {
        listListener_(row);
    }
}

std::vector<DiscoveryAnswer> DeviceListBox::Answers(bool shownOnly) const {
    std::vector<DiscoveryAnswer> answers;
    for (const EntryPtr& entry : shownOnly ? rows_ : Ordered(false)) {
        answers.push_back(entry->Answer);
    }
    return answers;
}

std::string DeviceListBox::RowsText(const std::vector<int>& rows) const {
    std::string text;
    const auto line = [&text](const std::vector<std::string>& cells) {
        for (std::size_t k = 0; k < cells.size(); ++k) {
            if (k > 0) {
                text += '\t';
            }
            text += OneLine(cells[k]);
        }
        text += "\n";
    };
    line(ColumnCaptions());
    for (const int row : rows) {
        if (row < 0 || row >= RowCount()) {
            continue;
        }
        std::vector<std::string> cells;
        for (int column = 0; column < ColumnCount(); ++column) {
            cells.push_back(CellText(Row(row), column));
        }
        line(cells);
    }
    return text;
}

uint32_t DeviceSortKey(const TRFIDDeviceBaseCaps& caps) {
    // The address as it lies in memory, read as one little-endian number.
    return ReadLe(std::string_view(reinterpret_cast<const char*>(&caps.IP), sizeof caps.IP), 0, 4);
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
        text += " [" + SignedDurationText(static_cast<uint32_t>(caps.SignedSeconds)) + "]";
    }
    return text;
}

} // namespace velkor
