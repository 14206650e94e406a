// Turns a decoded packet into the record handed to OnPacket, deciphering its
// data when a key is set and the data can hold an enciphered field.
#pragma once

#include "protocol/eproto.h"
#include "session/ReaderRecords.h"

#include <string_view>

namespace velkor {

// Sets cmd, flags, code, data and Decrypted of `packet` from `header` (whose
// data must be valid for the call); leaves packet.Datagram as it is. With an
// empty key, or 8 data bytes or fewer, the data is kept as received; a field
// that fails deciphering is kept as received too.
void FillPacketRecord(TRFIDReaderPacket& packet, const eproto_header& header, std::string_view key);

} // namespace velkor
