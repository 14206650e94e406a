// Serves control commands from standard input and from a loopback control
// port until "quit", end of input with no port, SIGINT or SIGTERM.
#pragma once

#include <cstdint>
#include <string>

#include "tools/SimulatedFleet.h"

namespace sim {

// Returns false with `error` set when the control port cannot be opened.
bool RunControlLoop(SimulatedFleet& fleet, bool read_stdin, uint16_t control_port,
                    std::string* error);

} // namespace sim
