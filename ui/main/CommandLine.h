// Velkor's command line, shared by every front end: the discovery broadcast
// address, an optional file that receives a copy of every traffic-log line,
// the help and the version.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

struct VelkorOptions {
    // Where discovery and untargeted UDP commands go.
    std::string BroadcastAddress = "255.255.255.255";
    // The controllers' UDP port (tests point it at a simulated fleet).
    uint16_t ControllerUdpPort = 3052;
    // Appended with every traffic-log line when not empty (a path in the
    // system's own byte encoding).
    std::string LogFile;
};

struct CommandLineResult {
    enum class Action { Run, ShowHelp, ShowVersion, Fail } action = Action::Run;
    VelkorOptions options;
    // The help text, the version line, or what is wrong with the command line.
    std::string message;
};

// `arguments` includes the program's path first; the help names the program
// by that path's file name.
CommandLineResult ParseCommandLine(const std::vector<std::string>& arguments);

// The file name of a program path, without its folders ("/usr/bin/Velkor"
// gives "Velkor", "C:\\Tools\\Velkor.exe" gives "Velkor.exe").
std::string ProgramFileName(std::string_view path);

// "Velkor" and the project version, as --version prints it.
std::string VersionLine();
// What the About entry of the window shows: purpose, program and version.
std::string AboutText();

} // namespace velkor
