// Process helpers: start a program with its standard streams redirected to files opened for
// appending, learn when it ends, ask it to end, terminate it with everything it started. One
// implementation per system (UProcess_linux.cpp, UProcess_win32.cpp).
//
// A program and its descendants end together: on Linux each program leads a process group of
// its own (in a session of its own), on Windows it runs in a Job object of its own; the end of
// the program (noticed, or brought about by a stop) ends what is left of its group or Job.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// What a start returns. On Windows the handles are the process, thread and Job handles and
// the registered wait that reports the end; on Linux the process handle is the process id.
struct ProcessInformation {
    std::intptr_t process_handle = 0;
    std::intptr_t thread_handle = 0;
    std::uint32_t process_id = 0;
    std::uint32_t thread_id = 0;
    std::intptr_t job_handle = 0;
    std::intptr_t wait_handle = 0;
};

// The target that discards a stream ("nul:" also works on systems where it is /dev/null).
inline constexpr const char* kNullTarget = "nul:";

// Starts a program in its own directory, standard input empty, standard output and standard
// error appended to the two targets, with nothing else of the supervisor's (no other open
// descriptor, default signal dispositions, an empty signal mask). The command line is the
// whole command as written (program and arguments) or empty for none. On failure the
// information is all zeros and error holds the system's error code.
bool StartProcess(const std::string& executable, const std::string& command_line,
                  const std::string& stdout_target, const std::string& stderr_target,
                  ProcessInformation& information, unsigned long& error);

// True while the program runs. Once it has ended, gives its exit code, ends what is left of
// its group or Job and releases what the supervisor held of it (handles, the zombie); the
// information is then all zeros.
bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code);

enum class EndRequest {
    Ask,  // SIGTERM to the process group; Windows: WM_CLOSE to its windows, CTRL_BREAK to its
          // console's process group (see StartForGracefulEnds)
    Kill, // SIGKILL to the process group; Windows: the Job terminated
};

// Programs started from now on can be asked to end (Windows: instead of detached, a console
// program gets a hidden console and a process group of its own, so that CTRL_BREAK reaches
// it; Linux: nothing changes, SIGTERM always can).
void StartForGracefulEnds();
// Sends the request and returns at once (so that many programs end in parallel).
void RequestEnd(const ProcessInformation& information, EndRequest request);

// Terminates the program and its group or Job (exit code 0 where the system allows choosing
// it), waits (up to 5 s) until it has gone and releases its handles; the information is then
// all zeros.
void KillProcess(ProcessInformation& information);

// Has on_end called, from a thread of the process helpers, soon after any started program
// ends; TakeEndedProcessIds then names the programs seen ending since its last call. Without
// it, ends are noticed only by asking IsProcessActive.
void WatchProcessEnds(std::function<void()> on_end);
std::vector<std::uint32_t> TakeEndedProcessIds();

// Called once every program has been stopped: ends the descendants that left their
// program's group and outlived it (Linux: adopted by the supervisor as their reaper; on
// Windows none outlive their Job) and stands the Linux guardian down.
void FinishStop();

// Splits a command line into arguments where a system takes an argument vector: blanks
// separate, double quotes group blanks into one argument and are removed.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

enum class FileKind { Missing, File, NotAFile };
// Whether the path names an existing file (not a directory).
FileKind ProbeFile(const std::string& path);

// The seam the supervisor works through, so that its logic runs over fake processes in tests.
class IProcessLayer {
public:
    virtual ~IProcessLayer() = default;
    virtual FileKind ProbeFile(const std::string& path) = 0;
    virtual bool StartProcess(const std::string& executable, const std::string& command_line,
                              const std::string& stdout_target, const std::string& stderr_target,
                              ProcessInformation& information, unsigned long& error) = 0;
    virtual bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) = 0;
    virtual void RequestEnd(const ProcessInformation& information, EndRequest request) = 0;
    virtual void KillProcess(ProcessInformation& information) = 0;
    virtual void WatchProcessEnds(std::function<void()> on_end) = 0;
    virtual std::vector<std::uint32_t> TakeEndedProcessIds() = 0;
    virtual void FinishStop() = 0;
    // The system's text for an error code of StartProcess.
    virtual std::string DescribeError(unsigned long code) = 0;
};

// The real processes of the system.
class SystemProcesses final : public IProcessLayer {
public:
    FileKind ProbeFile(const std::string& path) override;
    bool StartProcess(const std::string& executable, const std::string& command_line,
                      const std::string& stdout_target, const std::string& stderr_target,
                      ProcessInformation& information, unsigned long& error) override;
    bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) override;
    void RequestEnd(const ProcessInformation& information, EndRequest request) override;
    void KillProcess(ProcessInformation& information) override;
    void WatchProcessEnds(std::function<void()> on_end) override;
    std::vector<std::uint32_t> TakeEndedProcessIds() override;
    void FinishStop() override;
    std::string DescribeError(unsigned long code) override;
};

} // namespace torvane
