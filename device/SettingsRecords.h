// The byte layouts of a controller's settings items as plain records: the
// network record (item 8), the sector keys block (32), the lockers list (33),
// the USART block (48), the bits of the flag items (29, 30, 37, 35, 36). The
// configuration dialogs and the command-line tool both convert through these.
#pragma once

#include "device/Catalogue.h"
#include "protocol/ByteFields.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velkor::device {

// The settings values' little-endian fields (protocol/ByteFields.h).
using velkor::AppendLe;
using velkor::ReadLe;

// ---- Network record (item 8): 24 bytes ----

struct NetworkRecord {
    static constexpr std::size_t kSize = 24;
    std::array<uint8_t, 6> Mac{};
    // Addresses first octet first, as typed ("192" of 192.168.0.2 first).
    std::array<uint8_t, 4> Ip{};
    std::array<uint8_t, 4> Mask{};
    std::array<uint8_t, 4> Gateway{};
    uint16_t UdpPort = 0;
    uint16_t TcpPort = 0;
    uint16_t DebugPort = 0;
};

// Nothing for fewer than 24 bytes; bytes beyond 24 are ignored.
std::optional<NetworkRecord> DecodeNetworkRecord(std::string_view bytes);
std::string EncodeNetworkRecord(const NetworkRecord& record);

// ---- Sector keys block (item 32): 16 keys of 6 bytes, key-B mask ----

struct SectorKeys {
    static constexpr int kSectors = 16;
    static constexpr std::size_t kKeySize = 6;
    static constexpr std::size_t kKeysSize = kSectors * kKeySize; // 96
    static constexpr std::size_t kSize = kKeysSize + 2;           // 98
    std::array<std::array<uint8_t, kKeySize>, kSectors> Keys{};
    uint16_t KeyBMask = 0; // bit n: sector n uses its key as key B
};

// Nothing for fewer than 96 bytes; the mask is 0 when the block has no
// bytes 96 and 97; bytes from 98 on are ignored.
std::optional<SectorKeys> DecodeSectorKeys(std::string_view bytes);
std::string EncodeSectorKeys(const SectorKeys& keys); // always 98 bytes

// ---- Lockers list (item 33): count, rows of block and 15-byte name ----

inline constexpr std::size_t kLockerRowSize = 16;
inline constexpr std::size_t kLockerNameSize = 15;

struct LockersList {
    // The rows the block has room for: its length div 16, or for a block of
    // exactly one byte that byte's value.
    std::size_t Rows = 0;
    // The entries in order, names cut at their first zero byte. Empty, with
    // Complete false, when the count promises more rows than the block holds.
    std::vector<TLockInfo> Lockers;
    bool Complete = false;
};

LockersList DecodeLockersList(std::string_view block);

// A lock name as a lockers list row holds it: 15 bytes, zero padded.
std::string PadName15(std::string_view name);

// Count byte, a 16-byte row per lock, then zero bytes up to rows x 16 + 1
// bytes. More locks than rows are written whole.
std::string LockersRecord(const std::vector<TLockInfo>& locks, int rows);

// Whether a card block may hold a locker: not 0 and not a sector trailer
// (3, 7, ..., 63).
bool IsLockerBlock(int block);

// ---- USART block (item 48): 12 bytes ----

struct UsartBlock {
    static constexpr std::size_t kSize = 12;
    // List positions (255: none chosen), kept as the controller sent them.
    uint8_t Plan = 0;
    uint8_t Mode = 0;
    uint16_t Baud = 0;
    uint8_t WordLength = 0;
    uint8_t FlowControl = 0;
    uint8_t Parity = 0;
    uint8_t StopBits = 0;
    // Carried through unchanged.
    uint16_t AdvancedParameters = 0;
    uint16_t AdvancedFeatures = 0;
};

// Nothing for fewer than 12 bytes; bytes beyond 12 are ignored.
std::optional<UsartBlock> DecodeUsartBlock(std::string_view bytes);
std::string EncodeUsartBlock(const UsartBlock& block);

// The entries of the USART lists, position 0 first.
std::span<const char* const> UsartPlanNames();
std::span<const char* const> UsartModeNames();
std::span<const char* const> UsartWordLengthNames();
std::span<const char* const> UsartFlowControlNames();
std::span<const char* const> UsartParityNames();
std::span<const char* const> UsartStopBitsNames();
// The word length, flow control, parity and stop-bit bytes use their low 2 bits.
inline constexpr uint8_t kUsartTwoBitMask = 0x03;

// ---- Flag items ----

// One named field of a flags value: `width` bits from bit `shift`; `names`
// are the values' names when the field is a choice.
struct BitField {
    const char* Name;
    uint8_t Shift;
    uint8_t Width;
    std::span<const char* const> Names;
    uint32_t Mask() const { return ((1u << Width) - 1) << Shift; }
    uint32_t Of(uint32_t value) const { return (value >> Shift) & ((1u << Width) - 1); }
};

// Relay close, open and hold flags (items 29, 30, 37), one byte: bits 0-3
// input k reacts to the rising edge, bits 4-7 input k is used.
inline constexpr int kOptoInputs = 4;
inline constexpr uint8_t kOptoUseShift = 4;
std::span<const BitField> OptoFlagFields();

// Debug flags (item 36), one byte; bits 1-5 have no meaning and stay 0.
inline constexpr uint8_t kDebugDisplayOptoStatus = 0x01;
inline constexpr uint8_t kDebugSSD1309 = 0x40;
inline constexpr uint8_t kDebugNoSplash = 0x80;
std::span<const BitField> DebugFlagFields();

// Authorisation flags (item 35): a little-endian value of L = min(length, 4)
// bytes. Bits 0-4 always; bits 5-7, the reader lock (bits 8-9) and the
// authorisation block (bits 10-15) only when L >= 2; bits 16 and above are
// written as 0.
struct AuthFlags {
    static constexpr std::size_t kMaxLength = 4;
    std::size_t Length = 0;
    uint32_t Value = 0;
};
inline constexpr int kAuthLowFlags = 5;
inline constexpr uint8_t kAuthReaderLockShift = 8;
inline constexpr uint32_t kAuthReaderLockMask = 0x03;
inline constexpr uint8_t kAuthBlockShift = 10;
inline constexpr uint32_t kAuthBlockMask = 0x3F;
AuthFlags DecodeAuthFlags(std::string_view bytes);
std::string EncodeAuthFlags(const AuthFlags& flags); // Length bytes
// The fields an L-byte value carries.
std::vector<BitField> AuthFlagFields(std::size_t length);
std::span<const char* const> AuthReaderLockNames();

} // namespace velkor::device
