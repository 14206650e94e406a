// velkor-cli's command line: the subcommand, its arguments and the global
// options, checked before anything is sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velkor::cli {

struct Target {
    std::string Host;
    uint16_t Port = 0; // 0: the --port option
};

struct Options {
    std::string Command; // discover, get, set, send, backup, restore, watch
    std::vector<std::string> Arguments;

    // Global options.
    uint16_t Port = 8080;      // TCP port of a controller given without one
    uint16_t UdpPort = 3052;   // the controllers' UDP port
    std::string Key = "qzx";   // packet key
    unsigned TimeoutMs = 3000; // per answer, connect and discovery wait
    bool Verbose = false;      // traffic log lines on standard error
    bool Json = false;
    bool Csv = false;
    bool Hex = false;                 // get: raw hex instead of the readable form
    std::string Interface;            // discover: one interface
    std::string Broadcast;            // discover: exactly this address
    std::string Output;               // backup: file (one controller) or folder (batch)
    bool DryRun = false;              // restore
    bool IncludeKeys = false;         // backup
    std::string HostsFile;            // batch: --hosts
    bool All = false;                 // batch: --all
    unsigned Jobs = 1;                // batch: -j
    unsigned HoldMs = 3000;           // send text
    uint8_t Volume = 255;             // send beep, text
    std::optional<double> ForSeconds; // watch: stop after this long
};

enum class ParseStatus { Run, Help, Version, Error };

struct ParseResult {
    ParseStatus Status = ParseStatus::Run;
    cli::Options Options;
    std::string Text; // help, version or the error
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

// "host", "host:port"; nothing for an empty host or a bad port.
std::optional<Target> ParseTarget(const std::string& text);

// A strict unsigned decimal (or 0x hexadecimal) number up to `max`.
std::optional<uint32_t> ParseUnsigned(const std::string& text, uint32_t max);

} // namespace velkor::cli
