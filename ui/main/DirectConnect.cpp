#include "ui/main/DirectConnect.h"

#include "device/DeviceCommands.h"
#include "protocol/ControllerContract.h"

#include <fstream>

namespace velkor {

namespace {

constexpr size_t kMaxMenuCaption = 50;

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

} // namespace

std::optional<HostPort> ParseHostPort(std::string_view text, int defaultPort) {
    const auto pieces = Split(text, ':');
    if (Split(pieces[0], '.').size() != 4) {
        return std::nullopt;
    }
    HostPort target{std::string(pieces[0]), defaultPort, {}};
    if (pieces.size() == 1) {
        return target;
    }
    target.Port = static_cast<int>(ParseDecimal(pieces[1]).value_or(defaultPort));
    if (target.Port <= 0 || target.Port >= 65536) {
        return std::nullopt;
    }
    if (pieces.size() > 2) {
        target.Caption = TrimBlanks(pieces[2]);
    }
    return target;
}

std::vector<DirectConnectEntry> DirectConnectEntries(const std::vector<std::string>& lines) {
    std::vector<DirectConnectEntry> entries;
    bool closingEntries = true;
    for (const std::string& raw : lines) {
        const std::string line = TrimBlanks(raw);
        if (line.empty()) {
            continue;
        }
        if (line == "!") {
            closingEntries = false;
        } else if (line.front() == '-') {
            entries.push_back({DirectConnectEntry::Separator, "-", {}});
        } else if (const auto target = ParseHostPort(line, contract::kDefaultTcpPort)) {
            const std::string hint = target->Host + ":" + std::to_string(target->Port);
            const std::string caption =
                target->Caption.empty() ? hint : target->Caption.substr(0, kMaxMenuCaption);
            entries.push_back({DirectConnectEntry::Target, caption, hint});
        } else {
            const std::string_view text =
                line.front() == '*' ? std::string_view(line).substr(1) : std::string_view(line);
            entries.push_back(
                {DirectConnectEntry::Disabled, std::string(text.substr(0, kMaxMenuCaption)), {}});
        }
    }
    if (closingEntries && !entries.empty()) {
        entries.push_back({DirectConnectEntry::Separator, "-", {}});
        entries.push_back({DirectConnectEntry::Other, "Other ...", {}});
    }
    return entries;
}

std::optional<std::vector<std::string>> ReadTextFileLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    if (file.bad()) {
        return std::nullopt;
    }
    return lines;
}

} // namespace velkor
