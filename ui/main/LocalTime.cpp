#include "ui/main/LocalTime.h"

#include <cstdio>

namespace velkor {

std::string ClockText(std::chrono::system_clock::time_point at) {
    const std::tm local = LocalTimeOf(std::chrono::system_clock::to_time_t(at));
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count() % 1000;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(milliseconds));
    return text;
}

} // namespace velkor
