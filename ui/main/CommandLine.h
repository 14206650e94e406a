// Velkor's command line, shared by every front end: where discovery goes
// (every interface, one interface, or exactly one address), the traffic log's
// options and its file copy, the help and the version.
#pragma once

#include "ui/main/TrafficLogFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

struct VelkorOptions {
    // Set: discovery and untargeted UDP commands go to exactly this address
    // and nowhere else.
    std::optional<std::string> BroadcastAddress;
    // Set: they go to this interface (its system name or IPv4 address), or to
    // every interface for "all"; unset: the choice remembered from the last run.
    std::optional<std::string> Interface;
    // The controllers' UDP port (tests point it at a simulated fleet).
    uint16_t ControllerUdpPort = 3052;
    // Receives a copy of every traffic-log line when not empty (a path in the
    // system's own byte encoding), rotated at LogFileMaxBytes.
    std::string LogFile;
    uint64_t LogFileMaxBytes = TrafficLogFile::kDefaultMaxBytes;
    // Set: millisecond timestamps, and a line for every packet sent, on or
    // off in both the window's log and the file copy. Unset: the window keeps
    // its remembered choice and the file copy has both.
    std::optional<bool> LogTimestamps;
    std::optional<bool> LogSent;
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

// What is wrong with --interface on this computer (no such interface, or it
// is down), or nothing.
std::optional<std::string> CheckInterfaceOption(const VelkorOptions& options);

// The file name of a program path, without its folders ("/usr/bin/Velkor"
// gives "Velkor", "C:\\Tools\\Velkor.exe" gives "Velkor.exe").
std::string ProgramFileName(std::string_view path);

// "Velkor" and the project version, as --version prints it.
std::string VersionLine();
// What the About entry of the window shows: purpose, program and version.
std::string AboutText();

} // namespace velkor
