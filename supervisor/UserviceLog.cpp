// The log file: one timestamped line per message, appended beside the executable.
#include "supervisor/Uservice.h"
#include "supervisor/UservicePlatform.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

namespace torvane {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
    const auto name_start = path.find_last_of("/\\");
    const auto dot = path.find_last_of('.');
    const bool has_extension =
        dot != std::string_view::npos && (name_start == std::string_view::npos || dot > name_start);
    std::string result(has_extension ? path.substr(0, dot) : path);
    result += extension;
    return result;
}

std::string PathBesideExecutable(std::string_view extension) {
    return ChangeFileExt(uservice_platform::ExecutablePath(), extension);
}

std::string DefaultLogPath() {
    static const std::string path = PathBesideExecutable(".log");
    return path;
}

std::string FormatLogLine(const std::tm& local_time, std::string_view message) {
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "[%02d.%02d.%04d %02d:%02d:%02d] ", local_time.tm_mday,
                  local_time.tm_mon + 1, local_time.tm_year + 1900, local_time.tm_hour,
                  local_time.tm_min, local_time.tm_sec);
    std::string line(stamp);
    line += message;
    line += "\r\n";
    return line;
}

namespace {

// Both service threads log; one line at a time so that none is lost or interleaved.
std::mutex log_mutex;
std::string service_log_path;

} // namespace

void SetLogPath(std::string_view path) {
    const std::lock_guard lock(log_mutex);
    service_log_path = TrimBlanks(path);
}

void WriteLog(std::string_view message, std::string_view log_path) {
    const std::lock_guard lock(log_mutex);
    const std::string_view trimmed = TrimBlanks(log_path);
    const std::string path = !trimmed.empty()            ? std::string(trimmed)
                             : !service_log_path.empty() ? service_log_path
                                                         : DefaultLogPath();
    const std::string line = FormatLogLine(uservice_platform::LocalTimeNow(), message);
    // Another program (a viewer, a backup) may hold the file for a moment: retry briefly
    // rather than drop the line. A log that stays unwritable never stops the service.
    constexpr int kAttempts = 10;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (uservice_platform::AppendToFile(path, line)) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace torvane
