#include "session/DiscoveryReply.h"

#include "net/UKVTSocket.h"
#include "protocol/ByteFields.h"
#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"

#include <cstring>
#include <limits>

namespace velkor {

namespace {

constexpr uint8_t kDiscoveredKind = 2;
constexpr uint32_t kMaxText12 = 16;
constexpr uint32_t kMaxText13And14 = 134;

// Four bytes, first octet first, kept as they lie in memory: network byte order.
uint32_t ReadAddress(const uint8_t* value) {
    uint32_t ip = 0;
    std::memcpy(&ip, value, sizeof ip);
    return ip;
}

std::string_view Text(const uint8_t* value, uint32_t length) {
    return std::string_view(reinterpret_cast<const char*>(value), length);
}

int16_t StoreItem(uint32_t tag, uint32_t length, const uint8_t* value, void* context) {
    auto& items = *static_cast<TRFIDReaderTLVStruct*>(context);
    switch (tag) {
    case contract::kTagMac:
        if (length == 6) {
            items.MAC = Text(value, length);
        }
        break;
    case contract::kTagAddress:
        if (length == 4) {
            items.IP = ReadAddress(value);
            items.IPText = KVT_IPv4TextFromNetworkOrder(items.IP);
        }
        break;
    case contract::kTagAddress3:
    case contract::kTagAddress4:
    case contract::kTagAddress5:
        if (length == 4) {
            std::string& text = tag == contract::kTagAddress3   ? items.Addr3Text
                                : tag == contract::kTagAddress4 ? items.Addr4Text
                                                                : items.Addr5Text;
            text = KVT_IPv4TextFromNetworkOrder(ReadAddress(value));
        }
        break;
    case contract::kTagTcpPort:
    case contract::kTag7Value:
        if (length == 2) {
            (tag == contract::kTagTcpPort ? items.TCPPort : items.Tag7Value) =
                static_cast<uint16_t>(ReadLe(Text(value, length), 0, 2));
        }
        break;
    case contract::kTag8Byte:
    case contract::kTag9Byte:
        if (length == 1) {
            (tag == contract::kTag8Byte ? items.Tag8Byte : items.Tag9Byte) = value[0];
        }
        break;
    case contract::kTagSignedSeconds:
    case contract::kTagSeconds:
        if (length == 4) {
            (tag == contract::kTagSignedSeconds ? items.SignedSeconds : items.Seconds) =
                static_cast<int32_t>(ReadLe(Text(value, length), 0, 4));
        }
        break;
    case contract::kTagText12:
        if (length <= kMaxText12) {
            items.Text12 = Text(value, length);
        }
        break;
    case contract::kTagText13:
    case contract::kTagText14:
        if (length <= kMaxText13And14) {
            (tag == contract::kTagText13 ? items.Text13 : items.Text14) = Text(value, length);
        }
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

std::optional<TRFIDReaderTLVStruct> ReadDiscoveryItems(std::string_view data) {
    TRFIDReaderTLVStruct items;
    // A packet carries at most 135 data bytes; anything longer is no answer.
    if (data.size() > std::numeric_limits<uint16_t>::max()) {
        return std::nullopt;
    }
    eproto_tlv cursor{};
    // The walk only reads; the cursor type is shared with the writers.
    auto* bytes = reinterpret_cast<uint8_t*>(const_cast<char*>(data.data()));
    if (eproto_tlv_init(&cursor, 1, 1, bytes, static_cast<uint16_t>(data.size())) !=
            EPROTO_TLV_OK ||
        eproto_tlv_iterate(&cursor, StoreItem, &items) != EPROTO_TLV_OK) {
        return std::nullopt;
    }
    return items;
}

TRFIDDeviceBaseCaps DeviceCapsOf(const TRFIDReaderTLVStruct& items) {
    TRFIDDeviceBaseCaps device;
    device.Kind = kDiscoveredKind;
    device.DeviceName = contract::kDeviceName;
    device.DeviceType = contract::kDeviceType;
    device.Reserved = 0;
    device.MAC = items.MAC;
    device.IPText = items.IPText;
    device.IP = items.IP;
    device.Tag7Value = items.Tag7Value;
    device.TCPPort = items.TCPPort;
    device.SignedSeconds = items.SignedSeconds;
    device.Seconds = items.Seconds;
    return device;
}

std::optional<TRFIDDeviceBaseCaps> ParseDiscoveryReply(std::string_view data) {
    const std::optional<TRFIDReaderTLVStruct> items = ReadDiscoveryItems(data);
    if (!items) {
        return std::nullopt;
    }
    return DeviceCapsOf(*items);
}

} // namespace velkor
