// Serves control commands from standard input and from a loopback control
// port until "quit", end of input with no port, SIGINT or SIGTERM.
#pragma once

#include <cstdint>
#include <string>

#include "tools/SimulatedFleet.h"

namespace sim {

// Blocks SIGINT and SIGTERM in the calling thread. Call it before any thread
// starts: threads inherit the mask, so the stop signals reach only the
// control loop (through a signalfd) and the fleet stops cleanly.
void BlockStopSignals();

// Returns false with `error` set when the control port cannot be opened.
// Expects BlockStopSignals to have run.
bool RunControlLoop(SimulatedFleet& fleet, bool read_stdin, uint16_t control_port,
                    std::string* error);

} // namespace sim
