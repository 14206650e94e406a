#include "tools/ControllerLogic.h"

#include "protocol/ControllerContract.h"
#include "protocol/PacketBytes.h"

#include <cassert>

namespace sim {
namespace {

constexpr uint16_t kFirmwareVersion = 0x0104;

std::string ItemAnswer(uint8_t item, const SettingsStore& settings) {
    std::string data(1, static_cast<char>(item));
    if (const std::string* value = settings.Find(item)) {
        data += *value;
    }
    return data;
}

// The discovery answer is built in a buffer sized for all of its items, so an
// item that does not fit is a fault of this program.
void Succeeded([[maybe_unused]] int16_t result) {
    assert(result == velkor::EPROTO_TLV_OK);
}

void PutBytes(velkor::eproto_tlv* cursor, uint8_t tag, const std::string& bytes) {
    Succeeded(velkor::eproto_tlv_put_bytes(cursor, tag,
                                           reinterpret_cast<const uint8_t*>(bytes.data()),
                                           static_cast<uint16_t>(bytes.size())));
}

void PutInt(velkor::eproto_tlv* cursor, uint8_t tag, uint32_t value, uint8_t width) {
    Succeeded(velkor::eproto_tlv_put_int(cursor, tag, value, width));
}

} // namespace

Outcome AnswerPacket(const velkor::eproto_header& request, ControllerView controller) {
    using namespace velkor::contract;
    Outcome outcome;
    const std::string data(reinterpret_cast<const char*>(request.data), request.len);
    OutPacket reply;
    reply.cmd = ReplyTo(request.cmd);
    reply.flags = request.flags;
    switch (request.cmd) {
    case kDiscover:
        reply.data = DiscoveryAnswerData(controller);
        break;
    case kKeepAlive:
        reply.code = controller.input_states;
        break;
    case kSettingsRead:
        if (data.empty()) {
            return outcome;
        }
        reply.data = ItemAnswer(static_cast<uint8_t>(data[0]), controller.settings);
        break;
    case kSettingsWrite:
        outcome.settings_written =
            !data.empty() &&
            controller.settings.Write(static_cast<uint8_t>(data[0]), data.substr(1));
        return outcome;
    case kDisplay:
        break;
    default:
        return outcome;
    }
    outcome.reply = std::move(reply);
    return outcome;
}

std::string DiscoveryAnswerData(ControllerView controller) {
    using namespace velkor::contract;
    const std::string& net = *controller.settings.Find(kItemNetConfig);
    const ControllerIdentity& identity = controller.identity;
    uint8_t buffer[velkor::EPROTO_MAX_DATA];
    velkor::eproto_tlv cursor;
    Succeeded(velkor::eproto_tlv_init(&cursor, 1, 1, buffer, sizeof buffer));
    PutBytes(&cursor, kTagMac, identity.mac);
    PutBytes(&cursor, kTagAddress, Ipv4Bytes(identity.address));
    PutBytes(&cursor, kTagAddress3, net.substr(10, 4)); // mask
    PutBytes(&cursor, kTagAddress4, net.substr(14, 4)); // gateway
    PutBytes(&cursor, kTagAddress5, Ipv4Bytes(0));
    PutInt(&cursor, kTagTcpPort, identity.tcp_port, 2);
    PutInt(&cursor, kTag7Value, kFirmwareVersion, 2);
    PutInt(&cursor, kTag8Byte, static_cast<uint8_t>((*controller.settings.Find(kItemLanguage))[0]),
           1);
    PutInt(&cursor, kTag9Byte, static_cast<uint8_t>((*controller.settings.Find(kItemLockMode))[0]),
           1);
    PutInt(&cursor, kTagSignedSeconds, 0, 4);
    PutInt(&cursor, kTagSeconds, controller.uptime_seconds, 4);
    PutBytes(&cursor, kTagText12, "SIM-" + std::to_string(identity.index));
    PutBytes(&cursor, kTagText13, "controller-sim");
    PutBytes(&cursor, kTagText14, kDeviceType);
    return std::string(reinterpret_cast<const char*>(buffer), cursor.position);
}

std::string EncodePacket(const OutPacket& packet, const std::string& key) {
    std::string data = packet.data;
    if (!key.empty() && !data.empty() &&
        data.size() + velkor::EPROTO_CIPHER_OVERHEAD <= velkor::EPROTO_MAX_DATA) {
        std::string sealed(data.size() + velkor::EPROTO_CIPHER_OVERHEAD, '\0');
        // A key and a payload that fits one packet: sealing cannot fail.
        [[maybe_unused]] const int16_t sealing = velkor::eproto_cipher_seal(
            reinterpret_cast<uint8_t*>(sealed.data()),
            reinterpret_cast<const uint8_t*>(data.data()), static_cast<uint16_t>(data.size()),
            reinterpret_cast<const uint8_t*>(key.data()), key.size());
        assert(sealing == velkor::EPROTO_CIPHER_OK);
        data = std::move(sealed);
    }
    return velkor::EncodePacket(packet.cmd, data, packet.flags, packet.code);
}

} // namespace sim
