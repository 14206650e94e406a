// The discovery answer parser the reader runs (ReadDiscoveryItems). Invariants:
// every text it keeps stays within its item's limit and every address text
// reads back as its address; the items written back as a TLV list read back
// as the same items, so nothing is read that the answer did not hold; the
// device record parser agrees on which answers are malformed.
#include "net/UKVTSocket.h"
#include "protocol/ControllerContract.h"
#include "protocol/eproto.h"
#include "session/DiscoveryReply.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace velkor;

namespace {

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool Same(const TRFIDReaderTLVStruct& a, const TRFIDReaderTLVStruct& b) {
    return a.MAC == b.MAC && a.IPText == b.IPText && a.IP == b.IP && a.Addr3Text == b.Addr3Text &&
           a.Addr4Text == b.Addr4Text && a.Addr5Text == b.Addr5Text && a.TCPPort == b.TCPPort &&
           a.Tag7Value == b.Tag7Value && a.SignedSeconds == b.SignedSeconds &&
           a.Seconds == b.Seconds && a.Tag8Byte == b.Tag8Byte && a.Tag9Byte == b.Tag9Byte &&
           a.Text12 == b.Text12 && a.Text13 == b.Text13 && a.Text14 == b.Text14;
}

class Writer {
public:
    Writer() { Require(eproto_tlv_init(&cursor_, 1, 1, buffer_, sizeof buffer_) == EPROTO_TLV_OK); }

    void Bytes(uint8_t tag, std::string_view bytes) {
        Require(eproto_tlv_put_bytes(&cursor_, tag, reinterpret_cast<const uint8_t*>(bytes.data()),
                                     static_cast<uint16_t>(bytes.size())) == EPROTO_TLV_OK);
    }
    void Number(uint8_t tag, uint32_t value, uint8_t width) {
        Require(eproto_tlv_put_int(&cursor_, tag, value, width) == EPROTO_TLV_OK);
    }
    // An address item from its dotted text; absent when the text is empty.
    void Address(uint8_t tag, const std::string& text) {
        if (text.empty()) {
            return;
        }
        const auto ip = KVT_ParseIPv4NetworkOrder(text);
        Require(ip.has_value());
        char octets[4];
        std::memcpy(octets, &*ip, sizeof octets);
        Bytes(tag, std::string_view(octets, sizeof octets));
    }
    std::string_view Written() const {
        return std::string_view(reinterpret_cast<const char*>(buffer_), cursor_.position);
    }

private:
    uint8_t buffer_[1024];
    eproto_tlv cursor_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const auto items = ReadDiscoveryItems(answer);
    Require(items.has_value() == ParseDiscoveryReply(answer).has_value());
    if (!items) {
        return 0;
    }
    Require(items->MAC.empty() || items->MAC.size() == 6);
    Require(items->Text12.size() <= 16 && items->Text13.size() <= 134 &&
            items->Text14.size() <= 134);
    Require(items->IPText.empty() ? items->IP == 0
                                  : KVT_ParseIPv4NetworkOrder(items->IPText) == items->IP);

    using namespace contract;
    Writer writer;
    if (!items->MAC.empty()) {
        writer.Bytes(kTagMac, items->MAC);
    }
    writer.Address(kTagAddress, items->IPText);
    writer.Address(kTagAddress3, items->Addr3Text);
    writer.Address(kTagAddress4, items->Addr4Text);
    writer.Address(kTagAddress5, items->Addr5Text);
    writer.Number(kTagTcpPort, items->TCPPort, 2);
    writer.Number(kTag7Value, items->Tag7Value, 2);
    writer.Number(kTag8Byte, items->Tag8Byte, 1);
    writer.Number(kTag9Byte, items->Tag9Byte, 1);
    writer.Number(kTagSignedSeconds, static_cast<uint32_t>(items->SignedSeconds), 4);
    writer.Number(kTagSeconds, static_cast<uint32_t>(items->Seconds), 4);
    writer.Bytes(kTagText12, items->Text12);
    writer.Bytes(kTagText13, items->Text13);
    writer.Bytes(kTagText14, items->Text14);
    const auto again = ReadDiscoveryItems(writer.Written());
    Require(again.has_value() && Same(*again, *items));
    return 0;
}
