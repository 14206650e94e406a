// The supervisor: reads the program list from the ini file, starts every program, starts
// again each one that ends (as soon as its end is known, and at least every check period),
// and terminates them all when the service stops. It supplies the service wrapper's
// callbacks.
#pragma once

#include "supervisor/Platform.h"
#include "supervisor/StartPool.h"
#include "supervisor/UProcess.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

using SteadyTime = std::chrono::steady_clock::time_point;

// States of a supervised program.
enum class ProcState : int { ToStart = 0, Running = 1, Stopping = 2, Stopped = 3, StartFailed = 5 };

// One supervised program.
struct TProcItem {
    std::string executable;   // the first word of the line, or the quoted path
    std::string command_line; // the whole command as written, empty when it has no arguments
    ProcState state = ProcState::ToStart;
    ProcessInformation process_information;
    std::string stdout_target = kNullTarget;
    std::string stderr_target = kNullTarget;

    SteadyTime started_at{};              // of the last start
    SteadyTime start_not_before{};        // when state 0 may start it
    std::chrono::milliseconds backoff{0}; // the current crash-loop delay, 0 when off
};

// One ini line taken apart; nothing when the line names no program or is invalid (a zero
// byte, an unclosed quote). Whether the file exists is the loader's question.
//   executable [arguments] [> output]
//   "path with blanks" [arguments] [> output]
std::optional<TProcItem> ParseIniLine(std::string_view line);

// Reads the program list; nothing when the file cannot be opened. Each line that is skipped
// is logged once with the reason, except blank lines and comments (";" or "#" before a
// program that does not exist).
std::optional<std::vector<TProcItem>> ReadIniFile(const std::string& path, IProcessLayer& processes,
                                                  const std::function<void(std::string_view)>& log);

struct SupervisorSettings {
    // How often every running program is checked, whether or not its end was reported.
    std::chrono::milliseconds check_period{200};
    // The least time between two starts of one program: a crash loop runs no faster.
    std::chrono::milliseconds restart_interval{200};
    // Largest crash-loop delay; 0 restarts without back-off.
    std::chrono::milliseconds backoff_max{0};
    // How long programs may take to end after being asked; 0 terminates them at once.
    std::chrono::milliseconds stop_grace{0};
    // Threads that start programs beside the loop's own while it runs, so that the starts of
    // one pass overlap; 0 starts them one after another.
    unsigned start_helpers = 0;
};

class Supervisor {
public:
    using LogFn = std::function<void(std::string_view)>;
    using ClockFn = std::function<SteadyTime()>;
    static constexpr std::chrono::milliseconds kCheckPeriod{200};
    // A run at least this long resets the crash-loop back-off.
    static constexpr std::chrono::seconds kStableRun{10};
    static constexpr std::chrono::milliseconds kFirstBackoff{200};

    Supervisor(IProcessLayer& processes, LogFn log, std::string ini_path,
               SupervisorSettings settings = {}, ClockFn clock = std::chrono::steady_clock::now);
    Supervisor(const Supervisor&) = delete;
    Supervisor& operator=(const Supervisor&) = delete;

    // The wrapper's callbacks. The run returns once the stop has finished.
    bool uservice_on_start();
    bool uservice_on_run();
    void uservice_on_stop();
    // Asks the loop to read the ini file again; returns at once.
    void uservice_on_reload();

    // One pass over the list: every running program checked, every program due started.
    void RunPass();
    // Reads the ini file again: programs whose line is gone are stopped, new lines started
    // by the next pass, unchanged lines left running.
    void Reload();

    // A copy of the list as it stands, for inspection.
    std::vector<TProcItem> Items() const;
    bool StopRequested() const { return stop_flag_.load() < 0; }

private:
    // What woke the loop.
    struct Events {
        bool ended = false;
        bool reload = false;
    };

    void Pass(const std::vector<std::uint32_t>& ended_ids, bool check_all);
    void ReportStart(TProcItem& item, bool started, unsigned long error, SteadyTime now);
    // Learns whether the program still runs; the lines to log when it has ended go to lines.
    void CheckItem(TProcItem& item, SteadyTime now, std::vector<std::string>& lines);
    void ReloadLocked();
    // Stops the programs (in list order), in parallel, within the stop grace.
    void EndItems(const std::vector<TProcItem*>& items);
    SteadyTime NextWake() const;
    Events WaitForEvents(SteadyTime until);
    void Wake(bool Events::*event);

    IProcessLayer& processes_;
    LogFn log_;
    std::string ini_path_;
    SupervisorSettings settings_;
    ClockFn clock_;

    // The list is touched by the loop (service thread) and by the stop (control thread).
    mutable std::mutex list_mutex_;
    std::vector<TProcItem> items_;
    SteadyTime next_check_{};
    std::unique_ptr<platform::FileLock> lock_;
    StartPool* start_pool_ = nullptr; // while the loop runs
    std::atomic<int> stop_flag_{0};   // 0 while running, -1 once a stop has been requested

    // Wakes the loop between its passes, and lets it leave once the stop is done.
    std::mutex wake_mutex_;
    std::condition_variable wake_;
    Events events_;
    bool stop_done_ = false;
};

} // namespace torvane
