// What the system relies on a controller to do, in one place: ports, command
// numbers in both directions, the reply bit, discovery tags and settings items.
// Every layer names these instead of writing bare numbers.
#pragma once

#include <cstdint>

namespace velkor {

namespace contract {

inline constexpr uint16_t kUdpPort = 3052;
inline constexpr uint16_t kDefaultTcpPort = 8080;
inline constexpr const char* kLimitedBroadcast = "255.255.255.255";
inline constexpr const char* kDefaultControllerAddress = "192.168.0.243";
inline constexpr const char* kPacketKey = "qzx";
inline constexpr const char* kDeviceName = "Corvix Device";
inline constexpr const char* kDeviceType = "DEDIV_EZ";

// A controller answers a request with the request's command and this bit set.
inline constexpr uint8_t kReplyBit = 0x80;
constexpr uint8_t ReplyTo(uint8_t cmd) {
    return static_cast<uint8_t>(cmd | kReplyBit);
}

// Command numbers. Requests from the configurator and messages a controller
// sends on its own share one numbering.
enum Cmd : uint8_t {
    kCardPanelOff = 1,
    kCardRead = 3,
    kKeepAlive = 6,
    kDiscover = 7,
    kSettingsRead = 8,
    kSettingsWrite = 9,
    kQuack = 13,
    kNetworkRestart = 16,
    kCommit = 19,
    kResetBehavior = 20,
    kRelayPulse = 21,
    kInputState = 22,
    kDisplay = 23,
    kWriteNumber = 33,
    kPostWrite34 = 34,
    kPreReset35 = 35,
    kPostWrite36 = 36,
    kPreReset37 = 37,
    kUsartData = 39,
    kCardMessage = 40,
    kReset = 41,

    kKeepAliveReply = kKeepAlive | kReplyBit,  // 134
    kDiscoverReply = kDiscover | kReplyBit,    // 135
    kSettingsData = kSettingsRead | kReplyBit, // 136
    kDisplayReply = kDisplay | kReplyBit,      // 151
};

// TLV tags of a discovery answer (tag width 1, length width 1).
enum DiscoveryTag : uint8_t {
    kTagMac = 1,
    kTagAddress = 2,
    kTagAddress3 = 3,
    kTagAddress4 = 4,
    kTagAddress5 = 5,
    kTagTcpPort = 6,
    kTag7Value = 7,
    kTag8Byte = 8,
    kTag9Byte = 9,
    kTagSignedSeconds = 10,
    kTagSeconds = 11,
    kTagText12 = 12,
    kTagText13 = 13,
    kTagText14 = 14,
};

// Settings items: the first data byte of commands 8 and 9 and of reply 136.
enum SettingsItem : uint8_t {
    kItemNetConfig = 8,
    kItemLanguage = 17,
    kItemDbWaitTimeout = 19,
    kItemFingerUse = 22,
    kItemFingerTest = 23,
    kItemSoundVolume = 24,
    kItemLedBrightness = 25,
    kItemNoNetwork = 26,
    kItemLockMode = 27,
    kItemGameDev = 28,
    kItemRelayCloseFlags = 29,
    kItemRelayOpenFlags = 30,
    kItemRelayOpenTime = 31,
    kItemSectorKeys = 32,
    kItemLockersList = 33,
    kItemAuthFlags = 35,
    kItemDebugFlags = 36,
    kItemRelayHoldFlags = 37,
    kItemUsartFlags = 48,
};

} // namespace contract

} // namespace velkor
