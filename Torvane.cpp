// Torvane: a service that starts the programs listed in its ini file, starts again those that
// end, and terminates them when the service stops. See `Torvane --help`.
#include "supervisor/Options.h"
#include "supervisor/Platform.h"
#include "supervisor/UProcess.h"
#include "supervisor/USvc.h"
#include "supervisor/Uservice.h"
#include "version/ProjectVersion.h"

#include <cstdio>

namespace {

int RunSupervisor(const torvane::Options& options) {
    torvane::SetLogPath(options.log_path);
    if (options.log_max_size > 0) {
        torvane::SetLogRotation(options.log_max_size, options.log_keep);
    }
    torvane::WriteLog("app: ------------------- session start -------------------");

    torvane::SupervisorSettings settings;
    settings.backoff_max = options.backoff_max;
    settings.stop_grace = options.stop_grace;
    // Four starts at a time: on a busy machine each waits a scheduling round for its program.
    settings.start_helpers = 3;
    if (options.stop_grace.count() > 0) {
        torvane::StartForGracefulEnds();
    }
    torvane::SystemProcesses processes;
    torvane::Supervisor supervisor(
        processes, [](std::string_view message) { torvane::WriteLog(message); },
        options.config_path.empty() ? torvane::PathBesideExecutable(".ini") : options.config_path,
        settings);
    const bool succeeded =
        torvane::RunService(options.service_name, {[&] { return supervisor.uservice_on_start(); },
                                                   [&] { return supervisor.uservice_on_run(); },
                                                   [&] { supervisor.uservice_on_stop(); },
                                                   [&] { supervisor.uservice_on_reload(); }});
    // What the log has not written yet is written (or given up, with a word on standard
    // error) when the program ends.
    return succeeded ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    torvane::platform::PrepareProcess();
    const torvane::CommandLine command =
        torvane::ParseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
    std::string message;
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
    case torvane::CommandLine::Action::Install:
    case torvane::CommandLine::Action::Uninstall: {
        const bool done =
            command.action == torvane::CommandLine::Action::Install
                ? torvane::InstallService(command.options.service_name,
                                          torvane::ServiceArguments(command.options), message)
                : torvane::UninstallService(command.options.service_name, message);
        std::fprintf(done ? stdout : stderr, "Torvane: %s\n", message.c_str());
        return done ? 0 : 1;
    }
    case torvane::CommandLine::Action::Run:
        break;
    }
    return RunSupervisor(command.options);
}
