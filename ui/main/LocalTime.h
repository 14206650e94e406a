// The wall clock as the user reads it, for the traffic log's timestamps; one
// platform file per system (the thread-safe local-time call differs).
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace velkor {

// The calendar fields of `time` in the computer's time zone.
std::tm LocalTimeOf(std::time_t time);

// "HH:MM:SS.mmm" of `at` in the computer's time zone.
std::string ClockText(std::chrono::system_clock::time_point at);

} // namespace velkor
