// Command line of the controller-sim program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/SimulatedFleet.h"

namespace sim {

struct ProgramOptions {
    FleetOptions fleet;
    std::string record_path;   // JSON lines of received packets; "-" is stdout
    uint16_t control_port = 0; // 0: no control port
    bool read_stdin = true;
    bool help = false;
    bool version = false;
};

// False with `error` set for an unknown option or a bad value.
bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions* options,
                         std::string* error);
std::string ProgramHelp();

} // namespace sim
