#include "ui/main/TrafficLogFile.h"

#include "protocol/Win1251.h"

#include <algorithm>

#include <cerrno>
#include <cstring>

namespace velkor {

TrafficLogFile::~TrafficLogFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool TrafficLogFile::Open(const std::string& path, uint64_t maxBytes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        if (error != nullptr) {
            *error = "Cannot open the log file " + path + ": " + std::strerror(errno);
        }
        return false;
    }
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    file_ = file;
    path_ = path;
    maxBytes_ = maxBytes;
    std::fseek(file_, 0, SEEK_END);
    const long size = std::ftell(file_);
    size_ = size > 0 ? static_cast<uint64_t>(size) : 0;
    return true;
}

void TrafficLogFile::Write(std::string_view line) {
    if (file_ == nullptr) {
        return;
    }
    const std::string bytes = Utf8FromWin1251(line) + "\n";
    if (size_ > 0 && size_ + bytes.size() > maxBytes_) {
        Rotate();
        if (file_ == nullptr) {
            return;
        }
    }
    // A line longer than the whole cap is cut to fit.
    const std::size_t count = static_cast<std::size_t>(
        std::min<uint64_t>(bytes.size(), maxBytes_ > size_ ? maxBytes_ - size_ : 0));
    size_ += std::fwrite(bytes.data(), 1, count, file_);
    std::fflush(file_);
}

void TrafficLogFile::Rotate() {
    std::fclose(file_);
    const std::string older = path_ + ".1";
    std::remove(older.c_str()); // rename does not replace a file everywhere
    std::rename(path_.c_str(), older.c_str());
    file_ = std::fopen(path_.c_str(), "ab");
    size_ = 0;
    if (file_ != nullptr) {
        // Rename failed (the file is held open elsewhere): start it afresh.
        std::fseek(file_, 0, SEEK_END);
        if (std::ftell(file_) > 0) {
            std::fclose(file_);
            file_ = std::fopen(path_.c_str(), "wb");
        }
    }
}

} // namespace velkor
