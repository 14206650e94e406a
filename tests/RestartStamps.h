// Test and benchmark support: the stamps a supervised program writes, one
// line per event, "S <ns>" when it starts and "E <ns>" when it ends
// (CLOCK_MONOTONIC nanoseconds), read back as restart gaps.
#pragma once

#include "tests/FileText.h"

#include <filesystem>
#include <limits>
#include <optional>
#include <sstream>
#include <vector>

namespace testfiles {

// Gaps (ms) between each end stamp and the next start stamp; only ends at or
// after `from_ns` and starts at or before `to_ns` count.
inline std::vector<double> RestartGapsMs(const std::filesystem::path& stamps,
                                         long long from_ns = std::numeric_limits<long long>::min(),
                                         long long to_ns = std::numeric_limits<long long>::max()) {
    std::istringstream text(ReadAll(stamps));
    std::vector<double> gaps;
    std::optional<long long> last_end;
    char kind = 0;
    long long ns = 0;
    while (text >> kind >> ns) {
        if (kind == 'E') {
            last_end = ns >= from_ns ? std::optional(ns) : std::nullopt;
        } else if (last_end && ns <= to_ns) {
            gaps.push_back(static_cast<double>(ns - *last_end) / 1e6);
            last_end.reset();
        }
    }
    return gaps;
}

} // namespace testfiles
