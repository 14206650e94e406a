// Byte builders of the commands sent to a controller: display items (command
// 23), relay code bytes (21), card messages (40), write-number records (33)
// and reset bytes (41).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// The TLV item list of a display command, written into a 250-byte buffer. An
// item that does not fit the rest of the buffer is left out; later items are
// still written if they fit.
class DisplayItems {
public:
    static constexpr uint16_t kCapacity = 250;

    enum Tag : uint8_t {
        DisplayPause = 0,
        DisplayTone = 1,
        DisplayLed = 2,
        DisplayText = 3,
        DisplayHold = 4,
    };

    DisplayItems();

    void Pause(uint16_t ms);
    // A tone of `totalMs` that ends with `gapMs` of silence (a pause item);
    // a total shorter than the gap sounds in full with no pause.
    void Tone(uint8_t mode, uint16_t hz, uint16_t totalMs, uint8_t volume, uint16_t gapMs);
    void Led(bool on);
    void Text(std::string_view text);
    // Hold time, then flag A when A or B is set, then 1 when B is set.
    void Hold(uint16_t ms, bool flagA, bool flagB);
    // The tones of sound pattern 0 to 4 (4000 Hz, 50 ms gaps).
    void SoundPattern(int pattern, uint8_t volume);
    // The greeting melody with its LED blinks (90 bytes).
    void Melody(uint8_t volume);

    std::string Bytes() const;

private:
    void Put(uint8_t tag, const uint8_t* value, uint16_t count);

    std::array<uint8_t, kCapacity> buffer_{};
    uint16_t used_ = 0;
};

// Command 21 code byte: relay index in bits 7-6, duration in 50 ms units in
// bits 5-0. Nothing for a relay above 3 or a duration of 3200 ms or more.
std::optional<uint8_t> RelayCode(unsigned relay, unsigned durationMs);

// Command 40: value (32-bit LE), mode, identifier length and bytes (at most
// 32), then the text cut to 16 bytes.
std::string CardMessageRecord(uint32_t value, uint8_t mode, std::string_view identifier,
                              std::string_view text);

// Command 33: block, then the low 16 bits of the number, little-endian.
std::string WriteNumberRecord(uint8_t block, int64_t number);

// Command 41 data bytes: item of the reset menu × 16 + group.
enum ResetByte : uint8_t {
    kResetOledIdle = 0x01,
    kResetRfid = 0x11,
    kResetOled = 0x21,
    kResetRfidOled = 0x31,
    kResetNetRestart = 0x02,
    kResetNetReset = 0x12,
    kResetNetReboot = 0x22,
    kResetMcu = 0x03,
};

// Decimal integer with an optional sign, surrounding text not allowed.
std::optional<int64_t> ParseDecimal(std::string_view text);

// The text without leading and trailing blanks (bytes up to the space).
std::string TrimBlanks(std::string_view text);

} // namespace velkor
