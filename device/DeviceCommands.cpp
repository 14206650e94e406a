#include "device/DeviceCommands.h"

#include "base/TextNumbers.h"
#include "protocol/eproto.h"

#include <algorithm>

namespace velkor {

namespace {

constexpr uint16_t kPatternHz = 4000;
constexpr uint16_t kPatternGapMs = 50;
constexpr uint16_t kWholeNoteMs = 1000;
constexpr uint16_t kMelodyGapMs = kWholeNoteMs / 32;
constexpr unsigned kRelayUnitMs = 50;
constexpr unsigned kRelayMaxUnits = 63;
constexpr size_t kMaxIdentifier = 32;
constexpr size_t kMaxCardText = 16;

} // namespace

DisplayItems::DisplayItems() = default;

void DisplayItems::Put(uint8_t tag, const uint8_t* value, uint16_t count) {
    eproto_tlv cursor;
    if (eproto_tlv_init(&cursor, 1, 1, buffer_.data(), kCapacity) != EPROTO_TLV_OK) {
        return;
    }
    cursor.position = used_;
    if (eproto_tlv_put_bytes(&cursor, tag, value, count) == EPROTO_TLV_OK) {
        used_ = cursor.position;
    }
}

void DisplayItems::Pause(uint16_t ms) {
    uint8_t value[2];
    uint16_t at = 0;
    eproto_put_le(value, &at, ms, 2);
    Put(DisplayPause, value, at);
}

void DisplayItems::Tone(uint8_t mode, uint16_t hz, uint16_t totalMs, uint8_t volume,
                        uint16_t gapMs) {
    if (totalMs < gapMs) {
        gapMs = 0;
    }
    uint8_t value[6];
    uint16_t at = 0;
    eproto_put_le(value, &at, mode, 1);
    eproto_put_le(value, &at, hz, 2);
    eproto_put_le(value, &at, static_cast<uint16_t>(totalMs - gapMs), 2);
    eproto_put_le(value, &at, volume, 1);
    Put(DisplayTone, value, at);
    if (gapMs != 0) {
        Pause(gapMs);
    }
}

void DisplayItems::Led(bool on) {
    const uint8_t value = on ? 255 : 0;
    Put(DisplayLed, &value, 1);
}

void DisplayItems::Text(std::string_view text) {
    if (text.size() > kCapacity) {
        return; // cannot fit; also keeps the count within the length field
    }
    Put(DisplayText, reinterpret_cast<const uint8_t*>(text.data()),
        static_cast<uint16_t>(text.size()));
}

void DisplayItems::Hold(uint16_t ms, bool flagA, bool flagB) {
    uint8_t value[4];
    uint16_t at = 0;
    eproto_put_le(value, &at, ms, 2);
    if (flagA || flagB) {
        eproto_put_le(value, &at, flagA ? 1 : 0, 1);
    }
    if (flagB) {
        eproto_put_le(value, &at, 1, 1);
    }
    Put(DisplayHold, value, at);
}

void DisplayItems::SoundPattern(int pattern, uint8_t volume) {
    switch (pattern) {
    case 1:
        Tone(0, kPatternHz, 150, volume, kPatternGapMs);
        break;
    case 2:
        Tone(1, kPatternHz, 150, volume, kPatternGapMs);
        break;
    case 3:
        Tone(0, kPatternHz, 100, volume, kPatternGapMs);
        Tone(0, kPatternHz, 100, volume, kPatternGapMs);
        break;
    case 4:
        Tone(1, kPatternHz, 100, volume, kPatternGapMs);
        Tone(1, kPatternHz, 150, volume, kPatternGapMs);
        break;
    default:
        break;
    }
}

void DisplayItems::Melody(uint8_t volume) {
    constexpr uint16_t eighth = kWholeNoteMs / 8;
    constexpr uint16_t quarter = kWholeNoteMs / 4;
    constexpr uint16_t half = kWholeNoteMs / 2;
    Led(true);
    Tone(0, 587, eighth, volume, kMelodyGapMs);
    Tone(0, 587, eighth, volume, kMelodyGapMs);
    Led(false);
    Tone(0, 659, quarter, volume, kMelodyGapMs);
    Led(true);
    Tone(0, 587, quarter, volume, kMelodyGapMs);
    Led(false);
    Tone(0, 784, quarter, volume, kMelodyGapMs);
    Led(true);
    Tone(0, 740, half, volume, kMelodyGapMs);
    Led(false);
}

std::string DisplayItems::Bytes() const {
    return std::string(reinterpret_cast<const char*>(buffer_.data()), used_);
}

std::optional<uint8_t> RelayCode(unsigned relay, unsigned durationMs) {
    const unsigned units = durationMs / kRelayUnitMs;
    if (relay > 3 || units > kRelayMaxUnits) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(relay * 64 + units);
}

std::string CardMessageRecord(uint32_t value, uint8_t mode, std::string_view identifier,
                              std::string_view text) {
    identifier = identifier.substr(0, kMaxIdentifier);
    uint8_t head[4];
    uint16_t at = 0;
    eproto_put_le(head, &at, value, 4);
    std::string record(reinterpret_cast<const char*>(head), at);
    record += static_cast<char>(mode);
    record += static_cast<char>(identifier.size());
    record += identifier;
    record += text.substr(0, kMaxCardText);
    return record;
}

std::string WriteNumberRecord(uint8_t block, int64_t number) {
    const auto low = static_cast<uint16_t>(static_cast<uint64_t>(number) & 0xFFFF);
    std::string record(1, static_cast<char>(block));
    record += static_cast<char>(low & 0xFF);
    record += static_cast<char>(low >> 8);
    return record;
}

std::optional<int64_t> ParseDecimal(std::string_view text) {
    return base::ParseSigned(text, INT32_MIN, INT32_MAX);
}

std::string TrimBlanks(std::string_view text) {
    return std::string(base::TrimBlanks(text));
}

} // namespace velkor
