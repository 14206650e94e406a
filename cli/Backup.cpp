#include "cli/Backup.h"

#include "cli/ItemValues.h"
#include "device/SettingsItems.h"
#include "protocol/eproto.h"
#include "version/ProjectVersion.h"

#include <nlohmann/json.hpp>

namespace velkor::cli {

namespace {
constexpr const char* kSchema = "velkor-cli settings backup";
} // namespace

std::string BackupJson(const Backup& backup) {
    nlohmann::ordered_json items = nlohmann::ordered_json::array();
    for (const auto& [number, value] : backup.Items) {
        const device::SettingsItemInfo* item = device::FindSettingsItem(number);
        items.push_back({{"item", number},
                         {"name", item != nullptr ? item->Name : ""},
                         {"hex", eproto_bytes_to_hex(value)},
                         {"value", item != nullptr ? FormatValue(*item, value) : ""}});
    }
    const nlohmann::ordered_json document = {
        {"schema", kSchema},
        {"schema_version", kBackupSchemaVersion},
        {"program", std::string("velkor-cli ") + kProjectVersion},
        {"controller", backup.Controller},
        {"items", items}};
    return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::optional<Backup> ParseBackup(const std::string& text, std::string* error) {
    const auto document = nlohmann::json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        *error = "not a JSON document";
        return std::nullopt;
    }
    if (document.value("schema", "") != kSchema) {
        *error = "not a velkor-cli backup";
        return std::nullopt;
    }
    if (document.value("schema_version", 0) != kBackupSchemaVersion) {
        *error = "backup schema version " +
                 document.value("schema_version", nlohmann::json()).dump() + " is not " +
                 std::to_string(kBackupSchemaVersion);
        return std::nullopt;
    }
    Backup backup;
    backup.Controller = document.value("controller", "");
    const auto items = document.find("items");
    if (items == document.end() || !items->is_array()) {
        *error = "the backup has no item list";
        return std::nullopt;
    }
    for (const auto& entry : *items) {
        const int number = entry.is_object() ? entry.value("item", -1) : -1;
        const device::SettingsItemInfo* item =
            number >= 0 && number <= 255 ? device::FindSettingsItem(static_cast<uint8_t>(number))
                                         : nullptr;
        const std::string hex = entry.is_object() ? entry.value("hex", "") : "";
        std::string item_error;
        const auto value =
            item != nullptr ? ParseValue(*item, "hex:" + hex, {}, &item_error) : std::nullopt;
        if (!value) {
            *error = "bad item " + entry.dump() + (item_error.empty() ? "" : ": " + item_error);
            return std::nullopt;
        }
        backup.Items[item->Item] = *value;
    }
    return backup;
}

} // namespace velkor::cli
