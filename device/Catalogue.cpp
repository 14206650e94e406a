#include "device/Catalogue.h"

#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"

#include <array>

namespace velkor {

namespace {

constexpr std::array<TByteMenuInfo, 3> kLanguage{{
    {0, "ENG", "English"},
    {1, "RUS", "Russian"},
    {2, "UKR", "Ukrainian"},
}};

constexpr std::array<TByteMenuInfo, 2> kNoNetwork{{
    {1, "INFO", "Info Terminal"},
    {0, "TURN", "Turnstile"},
}};

constexpr std::array<TByteMenuInfo, 2> kLockMode{{
    {0, "TARN", "Tarn"},
    {1, "VESKO", "Vesko"},
}};

// One kit as written in the source: UTF-8 texts, converted when appended.
struct KitSource {
    const char* caption;
    std::vector<std::pair<uint8_t, const char*>> locks;
};

} // namespace

std::span<const TByteMenuInfo> LanguageTable() {
    return kLanguage;
}
std::span<const TByteMenuInfo> NoNetworkTable() {
    return kNoNetwork;
}
std::span<const TByteMenuInfo> LockModeTable() {
    return kLockMode;
}

std::span<const TByteMenuInfo> ByteMenuTableForItem(uint8_t item) {
    switch (item) {
    case contract::kItemLanguage:
        return kLanguage;
    case contract::kItemNoNetwork:
        return kNoNetwork;
    case contract::kItemLockMode:
        return kLockMode;
    default:
        return {};
    }
}

const TByteMenuInfo* FindByteMenuInfo(uint8_t value, std::span<const TByteMenuInfo> table) {
    for (const TByteMenuInfo& entry : table) {
        if (entry.Value == value) {
            return &entry;
        }
    }
    return nullptr;
}

void BuildLockKits(TMenuLockInfoArr& kits) {
    const std::vector<KitSource> sources = {
        {"62+33 (Яч)", {{62, "Шкаф"}, {33, "Ячейка"}}},
        {"62+33 (Басс)", {{62, "Шкаф"}, {33, "Бассейн"}}},
        {"62+33 (Сейф)", {{62, "Шкаф"}, {33, "Сейф"}}},
        {"62+33 (Locker+Safe)", {{62, "Locker"}, {33, "Safe"}}},
        {"62 (Locker)", {{62, "Locker"}}},
        {"62+10", {{62, "Шкаф"}, {10, "Ячейка"}}},
        {"62+10 (Сейф)", {{62, "Шкаф"}, {10, "Сейф"}}},
        {"62+61", {{62, "Шкаф"}, {61, "Ячейка"}}},
        {"61+60", {{61, "Шкаф"}, {60, "Ячейка"}}},
        {"6 locks", {{62, "L01"}, {58, "L02"}, {54, "L03"}, {50, "L04"}, {46, "L05"}, {42, "L06"}}},
        {"62+61+60", {{62, "Общий"}, {61, "Шкаф"}, {60, "Ячейка"}}},
        {"61 only", {{61, "Шкаф"}}},
        {"62 only", {{62, "Шкаф"}}},
        {"1", {{1, "Шкаф"}}},
        {"2", {{2, "Шкаф"}}},
        {"12 (Шкаф)", {{12, "Шкаф"}}},
        {"UDef", {{62, "Шафка"}, {33, "Комірка"}}},
        {"No Locks", {}},
    };
    for (const KitSource& source : sources) {
        TMenuLockInfo kit{Win1251FromUtf8(source.caption), {}};
        for (const auto& [block, name] : source.locks) {
            kit.Locks.push_back(TLockInfo{block, Win1251FromUtf8(name)});
        }
        kits.push_back(std::move(kit));
    }
}

} // namespace velkor
