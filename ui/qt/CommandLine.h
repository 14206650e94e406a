// Velkor's command line: the discovery broadcast address and an optional file
// that receives a copy of every traffic-log line.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

struct VelkorOptions {
    // Where discovery and untargeted UDP commands go.
    std::string BroadcastAddress = "255.255.255.255";
    // The controllers' UDP port (tests point it at a simulated fleet).
    uint16_t ControllerUdpPort = 3052;
    // Appended with every traffic-log line when not empty.
    std::string LogFile;
};

struct CommandLineResult {
    enum class Action { Run, ShowHelp, Fail } action = Action::Run;
    VelkorOptions options;
    QString message; // the help text, or what is wrong with the command line
};

// `arguments` includes the program name first.
CommandLineResult ParseCommandLine(const QStringList& arguments);
