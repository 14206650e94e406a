// controller-sim: a fleet of simulated controllers for trying the
// configurator and testing integrations without hardware.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>

#include "tools/ControlLoop.h"
#include "tools/SimOptions.h"
#include "tools/SimulatedFleet.h"
#include "version/ProjectVersion.h"

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    sim::BlockStopSignals(); // before the fleet's thread starts
    sim::ProgramOptions options;
    std::string error;
    if (!sim::ParseProgramOptions({argv + 1, argv + argc}, &options, &error)) {
        std::cerr << "controller-sim: " << error << " (see --help)\n";
        return 2;
    }
    if (options.help) {
        std::cout << sim::ProgramHelp();
        return 0;
    }
    if (options.version) {
        std::cout << "controller-sim " << kProjectVersion << "\n";
        return 0;
    }
    sim::SimulatedFleet fleet(options.fleet);
    std::ofstream record_file;
    std::mutex output;
    if (!options.record_path.empty()) {
        std::ostream* out = &std::cout;
        if (options.record_path != "-") {
            record_file.open(options.record_path, std::ios::app);
            if (!record_file) {
                std::cerr << "controller-sim: cannot open " << options.record_path << "\n";
                return 1;
            }
            out = &record_file;
        }
        fleet.SetRecordSink([out, &output](const std::string& line) {
            std::lock_guard lock(output);
            *out << line << std::endl;
        });
    }
    if (!fleet.Start(&error)) {
        std::cerr << "controller-sim: " << error << "\n";
        return 1;
    }
    std::cerr << "controller-sim: " << fleet.Size() << " controllers from " << fleet.Address(0)
              << ", UDP port " << fleet.UdpPort() << ", TCP port " << fleet.TcpPort(0)
              << (options.fleet.tcp_port == 0 ? " (first)" : "") << "\n";
    const bool served =
        sim::RunControlLoop(fleet, options.read_stdin, options.control_port, &error);
    fleet.Stop();
    if (!served) {
        std::cerr << "controller-sim: " << error << "\n";
        return 1;
    }
    return 0;
}
