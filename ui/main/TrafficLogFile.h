// The copy of the traffic log in a file (--log-file): every line as UTF-8,
// flushed at once so a capture is complete even if the program ends
// abruptly. The file never grows past its cap: before a line would cross it,
// the file becomes "<path>.1" (replacing an older one) and a new file starts,
// so a flood costs at most twice the cap on disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace velkor {

class TrafficLogFile {
public:
    static constexpr uint64_t kDefaultMaxBytes = 16u << 20;
    // Below this a cap could not hold a few lines.
    static constexpr uint64_t kSmallestMaxBytes = 4096;

    TrafficLogFile() = default;
    ~TrafficLogFile();
    TrafficLogFile(const TrafficLogFile&) = delete;
    TrafficLogFile& operator=(const TrafficLogFile&) = delete;

    // Opens `path` (the system's own byte encoding) for appending; what it
    // holds already counts towards the cap. False with `error` set when the
    // file cannot be opened.
    bool Open(const std::string& path, uint64_t maxBytes, std::string* error);
    bool IsOpen() const { return file_ != nullptr; }
    // Appends one line (Windows-1251 bytes) and a line end.
    void Write(std::string_view line);
    // The bytes in the current file.
    uint64_t Size() const { return size_; }

private:
    void Rotate();

    std::FILE* file_ = nullptr;
    std::string path_;
    uint64_t maxBytes_ = kDefaultMaxBytes;
    uint64_t size_ = 0;
};

} // namespace velkor
