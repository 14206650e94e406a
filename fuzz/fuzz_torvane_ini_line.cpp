// Torvane's ini line parser, the one the supervisor runs. Invariants: a line with a zero byte
// never yields a program; a program always has an executable and discards standard output;
// and writing the program back as a line ("command line" or the executable alone, then
// "> target") reads back as the same program, so the parse is stable.
#include "supervisor/USvc.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto item = torvane::ParseIniLine(line);
    if (!item) {
        return 0;
    }
    Require(line.find('\0') == std::string_view::npos);
    Require(!item->executable.empty());
    Require(item->stdout_target == torvane::kNullTarget);
    Require(item->state == torvane::ProcState::ToStart);

    std::string written = item->command_line.empty() ? item->executable : item->command_line;
    if (item->stderr_target != torvane::kNullTarget) {
        written += " > " + item->stderr_target;
    }
    const auto again = torvane::ParseIniLine(written);
    Require(again.has_value());
    Require(again->executable == item->executable);
    Require(again->command_line == item->command_line);
    Require(again->stderr_target == item->stderr_target);
    return 0;
}
