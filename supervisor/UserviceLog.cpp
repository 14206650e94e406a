// The log file: one timestamped line per message, appended beside the executable.
#include "supervisor/LogWriter.h"
#include "supervisor/Platform.h"
#include "supervisor/Uservice.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace torvane {

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
    return ChangeFileExt(platform::ExecutablePath(), extension);
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

std::mutex path_mutex;
std::string service_log_path;

// Created on the first line; at the program's end it writes what is still queued.
LogWriter& Writer() {
    static LogWriter writer([](std::string_view trouble) {
        std::fprintf(stderr, "Torvane: %.*s\n", static_cast<int>(trouble.size()), trouble.data());
        std::fflush(stderr);
    });
    return writer;
}

} // namespace

void SetLogPath(std::string_view path) {
    const std::lock_guard lock(path_mutex);
    service_log_path = TrimBlanks(path);
}

void SetLogRotation(std::uint64_t max_size, unsigned keep) {
    Writer().SetRotation(max_size, keep);
}

void WriteLog(std::string_view message, std::string_view log_path) {
    const std::string_view trimmed = TrimBlanks(log_path);
    std::string path(trimmed);
    if (path.empty()) {
        const std::lock_guard lock(path_mutex);
        path = service_log_path.empty() ? DefaultLogPath() : service_log_path;
    }
    Writer().Append(std::move(path), FormatLogLine(platform::LocalTimeNow(), message));
}

bool FlushLog(std::chrono::milliseconds timeout) {
    return Writer().Flush(timeout);
}

} // namespace torvane
