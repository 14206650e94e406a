// Torvane: a service that starts the programs listed in its ini file, starts again those that
// end, and terminates them when the service stops. The first argument names the service.
#include "supervisor/UProcess.h"
#include "supervisor/USvc.h"
#include "supervisor/Uservice.h"

int main(int argc, char** argv) {
    const std::string_view service_name = argc > 1 ? argv[1] : kDefaultServiceName;
    WriteLog("app: ------------------- session start -------------------");

    TSystemProcesses processes;
    TSupervisor supervisor(
        processes, [](std::string_view message) { WriteLog(message); },
        PathBesideExecutable(".ini"));
    RunService(service_name, {[&] { return supervisor.uservice_on_start(); },
                              [&] { return supervisor.uservice_on_run(); },
                              [&] { supervisor.uservice_on_stop(); }});
    return 0;
}
