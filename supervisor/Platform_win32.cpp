#include "supervisor/Platform.h"

#include <windows.h>

namespace torvane::platform {
namespace {

HANDLE AsHandle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

std::string ExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

std::string SystemErrorText(unsigned long code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = length > 0 ? std::string(buffer, length) : "system error";
    LocalFree(buffer);
    // The system's texts end with a period and a line end.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.' ||
                             text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

void PrepareProcess() {
}

// Opened without sharing: a second open fails with ERROR_SHARING_VIOLATION until the holder
// closes it or dies.
FileLock::FileLock(const std::string& path)
    : handle_(reinterpret_cast<std::intptr_t>(CreateFileA(
          path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))) {
    if (!IsHeld()) {
        error_ = GetLastError();
        held_elsewhere_ = error_ == ERROR_SHARING_VIOLATION;
    }
}

FileLock::~FileLock() {
    if (IsHeld()) {
        CloseHandle(AsHandle(handle_));
    }
}

bool FileLock::IsHeld() const {
    return AsHandle(handle_) != INVALID_HANDLE_VALUE;
}

AppendFile::AppendFile(const std::string& path)
    : handle_(reinterpret_cast<std::intptr_t>(CreateFileA(
          path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))) {
    error_ = IsOpen() ? 0 : GetLastError();
}

AppendFile::~AppendFile() {
    if (IsOpen()) {
        CloseHandle(AsHandle(handle_));
    }
}

bool AppendFile::IsOpen() const {
    return AsHandle(handle_) != INVALID_HANDLE_VALUE;
}

std::uint64_t AppendFile::Size() const {
    LARGE_INTEGER size{};
    return GetFileSizeEx(AsHandle(handle_), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

bool AppendFile::AppendWhole(std::string_view bytes) {
    const HANDLE file = AsHandle(handle_);
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, &start, FILE_END)) {
        error_ = GetLastError();
        return false;
    }
    DWORD written = 0;
    if (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size()) {
        return true;
    }
    error_ = written == 0 ? GetLastError() : ERROR_DISK_FULL;
    // Take back the part that went in, so that the file never holds a torn line.
    if (written != 0 && SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        SetEndOfFile(file);
    }
    return false;
}

} // namespace torvane::platform
