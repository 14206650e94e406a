// The few system services the log file needs, one implementation per system.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace torvane {

namespace uservice_platform {

// Full path of the running executable.
std::string ExecutablePath();

// The current local date and time.
std::tm LocalTimeNow();

// Appends the bytes to the file, creating it when missing; never truncates. False when the
// file could not be opened or written.
bool AppendToFile(const std::string& path, std::string_view bytes);

} // namespace uservice_platform

} // namespace torvane
