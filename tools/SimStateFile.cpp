#include "tools/SimStateFile.h"

#include "base/IPv4Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "protocol/eproto.h"
#include "tools/SimIdentity.h"

namespace sim {
namespace {

constexpr const char* kHeader = "# controller-sim state: address item value-hex";

bool Fail(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
    return false;
}

bool ParseLine(const std::string& line, SavedSetting* setting) {
    std::istringstream fields(line);
    std::string address;
    int item = -1;
    std::string hex;
    std::string extra;
    if (!(fields >> address >> item >> hex) || (fields >> extra)) {
        return false;
    }
    if (!base::ParseIPv4HostOrder(address) || item < 0 || item > 255) {
        return false;
    }
    setting->address = address;
    setting->item = static_cast<uint8_t>(item);
    setting->value = velkor::eproto_hex_to_bytes(hex);
    return !setting->value.empty() && setting->value.size() * 2 == hex.size();
}

} // namespace

bool LoadStateFile(const std::string& path, std::vector<SavedSetting>* settings,
                   std::string* error) {
    settings->clear();
    std::ifstream in(path);
    if (!in) {
        return errno == ENOENT ? true : Fail(error, path + ": " + std::strerror(errno));
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        SavedSetting setting;
        if (!ParseLine(line, &setting)) {
            return Fail(error, path + ":" + std::to_string(number) + ": malformed line");
        }
        settings->push_back(std::move(setting));
    }
    return true;
}

bool SaveStateFile(const std::string& path, const std::vector<SavedSetting>& settings,
                   std::string* error) {
    std::string text = std::string(kHeader) + "\n";
    for (const auto& setting : settings) {
        text += setting.address + " " + std::to_string(setting.item) + " " +
                velkor::eproto_bytes_to_hex(setting.value) + "\n";
    }
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Fail(error, temporary + ": " + std::strerror(errno));
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const std::string reason = std::strerror(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
            return Fail(error, temporary + ": " + reason);
        }
        written += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        return Fail(error, path + ": " + reason);
    }
    return true;
}

} // namespace sim
