// What one simulated controller answers to a packet, and how its packets
// are put on the wire. Pure functions: no sockets, no threads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/eproto.h"
#include "tools/SimIdentity.h"
#include "tools/SimSettings.h"

namespace sim {

struct OutPacket {
    uint8_t cmd = 0;
    uint8_t flags = 0;
    uint8_t code = 0;
    std::string data;
};

struct ControllerView {
    const ControllerIdentity& identity;
    SettingsStore& settings;
    uint8_t input_states = 0;
    uint32_t uptime_seconds = 0;
};

struct Outcome {
    std::optional<OutPacket> reply;
    bool settings_written = false;
};

// Answers discovery (7 → 135), keep-alive (6 → 134 with the input states in
// `code`), settings read (8 → 136 + item + value) and display (23 → 151), and
// applies settings writes (9). Every other command is taken without answer.
// A reply repeats the request's `flags`.
Outcome AnswerPacket(const velkor::eproto_header& request, ControllerView controller);

// The TLV list of a discovery answer, tags 1 to 14.
std::string DiscoveryAnswerData(ControllerView controller);

// One packet as bytes. With a non-empty key, non-empty data that still fits
// a packet once enciphered travel enciphered; anything else goes plain.
std::string EncodePacket(const OutPacket& packet, const std::string& key);

} // namespace sim
