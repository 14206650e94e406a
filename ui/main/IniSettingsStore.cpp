#include "ui/main/IniSettingsStore.h"

#include "base/TextNumbers.h"
#include "ui/main/TextFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace velkor {

namespace {

constexpr const char* kGeneral = "General";

std::pair<std::string, std::string> SplitKey(const std::string& key) {
    const auto slash = key.find('/');
    if (slash == std::string::npos) {
        return {kGeneral, key};
    }
    return {key.substr(0, slash), key.substr(slash + 1)};
}

std::string Escape(const std::string& value) {
    std::string text;
    for (const char c : value) {
        switch (c) {
        case '\\':
            text += "\\\\";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\n':
            text += "\\n";
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::string Unescape(std::string_view text) {
    std::string value;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\\' || k + 1 == text.size()) {
            value += text[k];
            continue;
        }
        const char next = text[++k];
        value += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return value;
}

} // namespace

IniSettingsStore::IniSettingsStore(std::string path) : path_(std::move(path)) {
    std::ifstream file(path_, std::ios::binary);
    std::string line;
    std::string section = kGeneral;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back(); // a file saved with CR LF line ends
        }
        const std::string_view text = base::TrimBlanks(line);
        const auto equals = line.find('=');
        if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
            section = std::string(text.substr(1, text.size() - 2));
        } else if (equals != std::string::npos && text.front() != ';' && text.front() != '#') {
            const std::string_view name =
                base::TrimBlanks(std::string_view(line).substr(0, equals));
            if (!name.empty()) {
                sections_[section][std::string(name)] = Unescape(line.substr(equals + 1));
            }
        }
    }
}

std::optional<std::string> IniSettingsStore::Read(const std::string& key) const {
    const auto [section, name] = SplitKey(key);
    const auto found = sections_.find(section);
    if (found == sections_.end()) {
        return std::nullopt;
    }
    const auto value = found->second.find(name);
    return value == found->second.end() ? std::nullopt : std::optional(value->second);
}

void IniSettingsStore::Write(const std::string& key, const std::string& value) {
    if (Read(key) == value) {
        return;
    }
    const auto [section, name] = SplitKey(key);
    sections_[section][name] = value;
    Save();
}

void IniSettingsStore::Save() const {
    std::ostringstream text;
    for (const auto& [section, values] : sections_) {
        text << '[' << section << "]\n";
        for (const auto& [name, value] : values) {
            text << name << '=' << Escape(value) << '\n';
        }
        text << '\n';
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
    WriteTextFile(path_, text.str(), nullptr);
}

} // namespace velkor
