#include "device/SettingsItems.h"

#include "protocol/ControllerContract.h"

#include <algorithm>

namespace velkor::device {

namespace {

using enum ValueKind;
using enum WriteSequence;
using namespace contract;

constexpr SettingsItemInfo kItems[] = {
    {kItemNetConfig, "network", "Network Config", Network, 24, 0, 0, WriteBack, true, false},
    {kItemLanguage, "language", "Lang", Choice, 1, 0, 0, ByteMenu, true, false},
    {kItemDbWaitTimeout, "db-wait-timeout", "DB Wait TMO", Number, 2, 300, 65535, WriteBack, true,
     false},
    {kItemFingerUse, "finger-use", "finger use", Number, 1, 0, 1, Commit, false, false},
    {kItemFingerTest, "finger-test", "finger test", Number, 1, 0, 1, Commit, false, false},
    {kItemSoundVolume, "sound-volume", "sound cfg", Number, 1, 0, 127, Commit, false, false},
    {kItemLedBrightness, "led-brightness", "LED brightness cfg", Number, 1, 0, 7, Commit, false,
     false},
    {kItemNoNetwork, "no-network", "NoNet", Choice, 1, 0, 0, ByteMenu, true, false},
    {kItemLockMode, "lock-mode", "LMode", Choice, 1, 0, 0, ByteMenu, true, false},
    {kItemGameDev, "gamedev", "GameDev switch", Number, 1, 0, 1, Commit, false, false},
    {kItemRelayCloseFlags, "relay-close-flags", "Relay Close Flags", OptoFlags, 1, 0, 0, WriteBack,
     true, false},
    {kItemRelayOpenFlags, "relay-open-flags", "Relay Open Flags", OptoFlags, 1, 0, 0, WriteBack,
     true, false},
    {kItemRelayOpenTime, "relay-open-time", "Relay Open Time", Number, 4, 50, 99999, WriteBack,
     true, false},
    {kItemSectorKeys, "sector-keys", "Sector Keys", SectorKeys, 98, 0, 0, WriteBack, true, true},
    {kItemLockersList, "lockers", "Lockers list data", Lockers, 0, 0, 0, WriteBack, true, false},
    {kItemAuthFlags, "auth-flags", "Auth Flags", AuthFlags, 2, 0, 0, WriteBack, true, false},
    {kItemDebugFlags, "debug-flags", "Debug Flags", DebugFlags, 1, 0, 0, WriteBack, true, false},
    {kItemRelayHoldFlags, "relay-hold-flags", "Relay Hold Flags", OptoFlags, 1, 0, 0, WriteBack,
     true, false},
    {kItemUsartFlags, "usart", "USART Flags", Usart, 12, 0, 0, WriteBack, true, false},
};

} // namespace

std::span<const SettingsItemInfo> SettingsItems() {
    return kItems;
}

const SettingsItemInfo* FindSettingsItem(uint8_t item) {
    const auto found =
        std::find_if(std::begin(kItems), std::end(kItems),
                     [item](const SettingsItemInfo& info) { return info.Item == item; });
    return found == std::end(kItems) ? nullptr : &*found;
}

const SettingsItemInfo* FindSettingsItem(std::string_view name) {
    const auto found =
        std::find_if(std::begin(kItems), std::end(kItems),
                     [name](const SettingsItemInfo& info) { return info.Name == name; });
    return found == std::end(kItems) ? nullptr : &*found;
}

} // namespace velkor::device
