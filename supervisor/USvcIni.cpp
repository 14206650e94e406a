// The ini file: one program per line.
#include "supervisor/USvc.h"
#include "supervisor/Uservice.h"

#include <fstream>

namespace torvane {
namespace {

constexpr std::string_view kBlanks = " \t";

// The line as it may appear in the log: control characters shown as "?".
std::string Printable(std::string_view line) {
    std::string text(TrimBlanks(line));
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < ' ') {
            c = '?';
        }
    }
    return text;
}

bool LooksLikeComment(std::string_view line) {
    const std::string_view text = TrimBlanks(line);
    return !text.empty() && (text.front() == ';' || text.front() == '#');
}

// Splits "command > target" at the first ">" at or after `from`.
std::string_view TakeTarget(std::string_view command, std::size_t from, TProcItem& item) {
    const auto arrow = command.find('>', from);
    if (arrow == std::string_view::npos) {
        return command;
    }
    if (const std::string_view target = TrimBlanks(command.substr(arrow + 1)); !target.empty()) {
        item.stderr_target = target;
    }
    return TrimBlanks(command.substr(0, arrow));
}

} // namespace

std::optional<TProcItem> ParseIniLine(std::string_view line) {
    if (line.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    TProcItem item;
    std::string_view command = TrimBlanks(line);
    if (!command.empty() && command.front() == '"') {
        // A quoted path may hold blanks; the command line is the command as written.
        const auto close = command.find('"', 1);
        if (close == std::string_view::npos || close == 1) {
            return std::nullopt;
        }
        const std::string_view after = command.substr(close + 1);
        if (!after.empty() && kBlanks.find(after.front()) == std::string_view::npos &&
            after.front() != '>') {
            return std::nullopt; // "path"text is no program
        }
        item.executable = command.substr(1, close - 1);
        item.command_line = TakeTarget(command, close + 1, item);
        return item;
    }
    command = TakeTarget(command, 0, item);
    if (const auto blank = command.find_first_of(kBlanks); blank != std::string_view::npos) {
        item.command_line = command;
        item.executable = command.substr(0, blank);
    } else {
        item.executable = command;
    }
    if (item.executable.empty()) {
        return std::nullopt;
    }
    return item;
}

std::optional<std::vector<TProcItem>>
ReadIniFile(const std::string& path, IProcessLayer& processes,
            const std::function<void(std::string_view)>& log) {
    std::ifstream ini(path, std::ios::binary);
    if (!ini.is_open()) {
        return std::nullopt;
    }
    std::vector<TProcItem> items;
    int number = 0;
    for (std::string line; std::getline(ini, line);) {
        ++number;
        const auto skip = [&](std::string_view reason) {
            log("app: skipped line " + std::to_string(number) + " [" + Printable(line) +
                "]: " + std::string(reason));
        };
        auto item = ParseIniLine(line);
        if (!item) {
            if (!TrimBlanks(line).empty()) {
                skip("invalid line");
            }
            continue;
        }
        const FileKind kind = processes.ProbeFile(item->executable);
        if (kind == FileKind::File) {
            items.push_back(std::move(*item));
        } else if (!LooksLikeComment(line)) {
            skip(kind == FileKind::Missing ? "no such program" : "not a file");
        }
    }
    if (ini.bad() || !ini.eof()) {
        log("app: {error} cannot read ini file [" + path + "], " + std::to_string(items.size()) +
            " programs read");
    }
    return items;
}

} // namespace torvane
