// Torvane: a service that starts the programs listed in its ini file, starts again those that
// end, and terminates them when the service stops. See `Torvane --help`.
#include "supervisor/Options.h"
#include "supervisor/Platform.h"
#include "supervisor/UProcess.h"
#include "supervisor/USvc.h"
#include "supervisor/Uservice.h"
#include "version/ProjectVersion.h"

#include <cstdio>

int main(int argc, char** argv) {
    torvane::platform::PrepareProcess();
    const torvane::CommandLine command =
        torvane::ParseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
    switch (command.action) {
    case torvane::CommandLine::Action::ShowHelp:
        std::fputs(torvane::HelpText().c_str(), stdout);
        return 0;
    case torvane::CommandLine::Action::ShowVersion:
        std::printf("Torvane %s\n", kProjectVersion);
        return 0;
    case torvane::CommandLine::Action::Fail:
        std::fprintf(stderr, "Torvane: %s (see --help)\n", command.message.c_str());
        return 2;
    case torvane::CommandLine::Action::Run:
        break;
    }
    const torvane::Options& options = command.options;
    torvane::SetLogPath(options.log_path);
    torvane::WriteLog("app: ------------------- session start -------------------");

    torvane::SystemProcesses processes;
    torvane::Supervisor supervisor(
        processes, [](std::string_view message) { torvane::WriteLog(message); },
        options.config_path.empty() ? torvane::PathBesideExecutable(".ini") : options.config_path);
    const bool succeeded =
        torvane::RunService(options.service_name, {[&] { return supervisor.uservice_on_start(); },
                                                   [&] { return supervisor.uservice_on_run(); },
                                                   [&] { supervisor.uservice_on_stop(); },
                                                   [&] { supervisor.uservice_on_reload(); }});
    torvane::FlushLog(std::chrono::seconds(1));
    return succeeded ? 0 : 1;
}
