// velkor-cli's subcommands, on one controller or, in a batch, on many.
#pragma once

#include "cli/CliOptions.h"

#include <iosfwd>

namespace velkor::cli {

// Runs the parsed command line; returns the exit status: 0 when everything
// succeeded, 1 when a controller failed, 2 for bad input (nothing was sent).
int RunCommand(const Options& options, std::ostream& out, std::ostream& err);

} // namespace velkor::cli
