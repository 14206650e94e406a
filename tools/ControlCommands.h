// The simulator's line commands, shared by stdin and the control port.
#pragma once

#include <string>

#include "tools/SimulatedFleet.h"

namespace sim {

// Help text listing every control command.
std::string ControlCommandHelp();

struct ControlResult {
    std::string text; // one or more lines, each ending in "\n"
    bool quit = false;
};

// Runs one command line against the fleet. Answers start with "ok" or
// "error: "; queries print their lines before the final "ok".
ControlResult ExecuteControlLine(SimulatedFleet& fleet, const std::string& line);

} // namespace sim
