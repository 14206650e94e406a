// The supervisor: reads the program list from the ini file, starts every program, checks
// every period whether each still runs, starts again those that ended, and terminates them
// all when the service stops. It supplies the service wrapper's three callbacks.
#pragma once

#include "supervisor/UProcess.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// States of a supervised program.
enum class ProcState : int { ToStart = 0, Running = 1, Stopping = 2, Stopped = 3, StartFailed = 5 };

// One supervised program.
struct TProcItem {
    std::string executable;   // the first word of the line
    std::string command_line; // the whole command as written, empty when it has no arguments
    ProcState state = ProcState::ToStart;
    ProcessInformation process_information;
    std::string stdout_target = kNullTarget;
    std::string stderr_target = kNullTarget;
};

// One ini line taken apart; nothing when the line names no executable. Whether the file
// exists is the loader's question.
std::optional<TProcItem> ParseIniLine(std::string_view line);

class Supervisor {
public:
    using LogFn = std::function<void(std::string_view)>;
    static constexpr std::chrono::milliseconds kCheckPeriod{200};

    Supervisor(IProcessLayer& processes, LogFn log, std::string ini_path,
               std::chrono::milliseconds check_period = kCheckPeriod);
    Supervisor(const Supervisor&) = delete;
    Supervisor& operator=(const Supervisor&) = delete;

    // The wrapper's callbacks.
    bool uservice_on_start();
    bool uservice_on_run();
    void uservice_on_stop();

    // One pass over the list (the loop makes one per period).
    void RunPass();

    // A copy of the list as it stands, for inspection.
    std::vector<TProcItem> Items() const;
    bool StopRequested() const { return stop_flag_.load() < 0; }

private:
    void LoadIni();
    void StartItem(TProcItem& item);

    IProcessLayer& processes_;
    LogFn log_;
    std::string ini_path_;
    std::chrono::milliseconds check_period_;

    // The list is touched by the loop (service thread) and by the stop (control thread).
    mutable std::mutex list_mutex_;
    std::condition_variable stop_signal_;
    std::vector<TProcItem> items_;
    std::atomic<int> stop_flag_{0}; // 0 while running, -1 once a stop has been requested
};

} // namespace torvane
