// Connection targets: "host[:port[:caption]]" texts, and the direct-connect
// menu built from the lines of "dc.txt".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

struct HostPort {
    std::string Host;
    int Port = 0;
    std::string Caption;
};

// The host must have four dot-separated pieces; a port that is not a number
// gives the default; a port outside 1..65535 fails.
std::optional<HostPort> ParseHostPort(std::string_view text, int defaultPort);

// One entry of the direct-connect menu.
struct DirectConnectEntry {
    enum Kind { Target, Separator, Disabled, Other };
    Kind EntryKind;
    std::string Caption;
    std::string Hint; // "host:port" of a target
};

// The menu for the lines of "dc.txt": targets, separators ("-..."), disabled
// entries for lines that do not parse, and (unless a line "!" was seen) a
// separator and "Other ..." after a non-empty list.
std::vector<DirectConnectEntry> DirectConnectEntries(const std::vector<std::string>& lines);

// The lines of a text file (line ends CR LF or LF), or nothing when it cannot
// be read.
std::optional<std::vector<std::string>> ReadTextFileLines(const std::string& path);

} // namespace velkor
