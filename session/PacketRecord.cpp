#include "session/PacketRecord.h"

#include <array>
#include <cstring>

namespace velkor {

void FillPacketRecord(TRFIDReaderPacket& packet, const eproto_header& header,
                      std::string_view key) {
    packet.cmd = header.cmd;
    packet.flags = header.flags;
    packet.code = header.code;
    packet.data.assign(reinterpret_cast<const char*>(header.data), header.len);
    packet.Decrypted = false;
    if (key.empty() || header.len <= EPROTO_CIPHER_OVERHEAD || header.len > EPROTO_MAX_DATA) {
        return;
    }
    // Deciphered in a copy: the received bytes stay for a field that fails.
    std::array<uint8_t, EPROTO_MAX_DATA> field{};
    std::memcpy(field.data(), header.data, header.len);
    eproto_cipher cipher{};
    if (eproto_cipher_init(&cipher, field.data(), header.len, false) != EPROTO_CIPHER_OK) {
        return;
    }
    cipher.position = header.len;
    if (eproto_cipher_decrypt(&cipher, reinterpret_cast<const uint8_t*>(key.data()), key.size()) !=
        EPROTO_CIPHER_OK) {
        return;
    }
    packet.data.assign(reinterpret_cast<const char*>(field.data()) + EPROTO_CIPHER_PAYLOAD_OFFSET,
                       header.len - EPROTO_CIPHER_OVERHEAD);
    packet.Decrypted = true;
}

} // namespace velkor
