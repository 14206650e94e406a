// Process helpers: start a program with its standard streams redirected to files opened for
// appending, ask whether it still runs, terminate it. One implementation per system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// What a start returns. On Windows the two handles are the process and thread handles; on
// POSIX systems the process handle is the process id and there is no thread handle.
struct ProcessInformation {
    std::intptr_t process_handle = 0;
    std::intptr_t thread_handle = 0;
    std::uint32_t process_id = 0;
    std::uint32_t thread_id = 0;
};

// The target that discards a stream ("nul:" also works on systems where it is /dev/null).
inline constexpr const char* kNullTarget = "nul:";

// Starts a program in its own directory, standard input empty, standard output and standard
// error appended to the two targets. The command line is the whole command as written
// (program and arguments) or empty for none. On failure the information is all zeros.
bool StartProcess(const std::string& executable, const std::string& command_line,
                  const std::string& stdout_target, const std::string& stderr_target,
                  ProcessInformation& information);

// True while the program runs. Once it has ended, gives its exit code and releases what the
// supervisor held of it (handles, the zombie); the information is then all zeros.
bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code);

// Terminates the program (exit code 0 where the system allows choosing it), waits until it
// has gone and releases its handles; the information is then all zeros.
void KillProcess(ProcessInformation& information);

// Splits a command line into arguments where a system takes an argument vector: blanks
// separate, double quotes group blanks into one argument and are removed.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

// True when the path names an existing file (not a directory).
bool FileExists(const std::string& path);

// The seam the supervisor works through, so that its logic runs over fake processes in tests.
class IProcessLayer {
public:
    virtual ~IProcessLayer() = default;
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool StartProcess(const std::string& executable, const std::string& command_line,
                              const std::string& stdout_target, const std::string& stderr_target,
                              ProcessInformation& information) = 0;
    virtual bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) = 0;
    virtual void KillProcess(ProcessInformation& information) = 0;
};

// The real processes of the system.
class SystemProcesses final : public IProcessLayer {
public:
    bool FileExists(const std::string& path) override { return torvane::FileExists(path); }
    bool StartProcess(const std::string& executable, const std::string& command_line,
                      const std::string& stdout_target, const std::string& stderr_target,
                      ProcessInformation& information) override {
        return torvane::StartProcess(executable, command_line, stdout_target, stderr_target,
                                     information);
    }
    bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) override {
        return torvane::IsProcessActive(information, exit_code);
    }
    void KillProcess(ProcessInformation& information) override {
        torvane::KillProcess(information);
    }
};

} // namespace torvane
