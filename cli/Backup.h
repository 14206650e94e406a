// The backup file: every readable settings item of one controller as JSON,
// with a schema version, raw bytes as hex and a readable form beside them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace velkor::cli {

inline constexpr int kBackupSchemaVersion = 1;

struct Backup {
    std::string Controller;               // host:port it was taken from
    std::map<uint8_t, std::string> Items; // item -> value bytes
};

std::string BackupJson(const Backup& backup);
// Nothing, with `error`, for a file of another schema or with a bad item.
std::optional<Backup> ParseBackup(const std::string& text, std::string* error);

} // namespace velkor::cli
