#include "supervisor/USvc.h"

#include <algorithm>
#include <thread>
#include <unordered_set>
#include <utility>

namespace torvane {
namespace {

constexpr int kStopRequested = -1;
constexpr std::chrono::milliseconds kGracePoll{5};

bool SameLine(const TProcItem& left, const TProcItem& right) {
    return left.executable == right.executable && left.command_line == right.command_line &&
           left.stdout_target == right.stdout_target && left.stderr_target == right.stderr_target;
}

std::string Milliseconds(std::chrono::milliseconds duration) {
    return std::to_string(duration.count()) + " ms";
}

// One program's share of a pass: what its check found, and its start.
struct PassStep {
    TProcItem* item;
    std::vector<std::string> lines; // logged before its start
    bool start = false;             // due to start
    bool tried = false;             // start attempted (not once the stop has begun)
    bool started = false;
    unsigned long error = 0;
};

} // namespace

Supervisor::Supervisor(IProcessLayer& processes, LogFn log, std::string ini_path,
                       SupervisorSettings settings, ClockFn clock)
    : processes_(processes), log_(std::move(log)), ini_path_(std::move(ini_path)),
      settings_(settings), clock_(std::move(clock)) {
}

bool Supervisor::uservice_on_start() {
    const std::lock_guard lock(list_mutex_);
    // The stop flag starts at 0; a stop that came before the start keeps it negative, and
    // then nothing is loaded, so that nothing is started after the stop.
    if (stop_flag_.load() < 0) {
        return true;
    }
    // One supervisor per list: a second one would run every program twice.
    const std::string lock_path = ini_path_ + ".lock";
    lock_ = std::make_unique<platform::FileLock>(lock_path);
    if (lock_->HeldElsewhere()) {
        log_("app: {error} another Torvane supervises [" + ini_path_ + "], its lock [" + lock_path +
             "] is held");
        return false;
    }
    if (!lock_->IsHeld()) {
        log_("app: {error} cannot lock [" + lock_path +
             "]: " + platform::DescribeError(lock_->Error()) + ", running without the lock");
    }
    auto items = ReadIniFile(ini_path_, processes_, log_);
    if (!items) {
        log_("app: {error} cannot open ini file [" + ini_path_ + "], no programs to supervise");
    }
    items_ = std::move(items).value_or(std::vector<TProcItem>{});
    return true;
}

void Supervisor::ReportStart(TProcItem& item, bool started, unsigned long error, SteadyTime now) {
    item.started_at = now;
    const std::string name = "[" + item.executable + ":" + item.command_line + "]";
    if (started) {
        log_("app: starting " + name + " Ok");
        item.state = ProcState::Running;
    } else {
        log_("app: starting " + name + " Fail: " + processes_.DescribeError(error));
        item.state = ProcState::StartFailed;
    }
}

void Supervisor::CheckItem(TProcItem& item, SteadyTime now, std::vector<std::string>& lines) {
    std::uint32_t exit_code = 0;
    if (processes_.IsProcessActive(item.process_information, exit_code)) {
        return;
    }
    lines.push_back("app: check fail [" + item.executable + "], ret_code [" +
                    std::to_string(exit_code) + "]");
    item.state = ProcState::ToStart;
    SteadyTime earliest = item.started_at + settings_.restart_interval;
    if (settings_.backoff_max.count() > 0) {
        if (now - item.started_at < kStableRun) {
            item.backoff = item.backoff.count() == 0
                               ? std::min(kFirstBackoff, settings_.backoff_max)
                               : std::min(item.backoff * 2, settings_.backoff_max);
            earliest = std::max(earliest, now + item.backoff);
            lines.push_back("app: back-off [" + item.executable + "], next start in " +
                            Milliseconds(item.backoff));
        } else {
            item.backoff = {};
        }
    }
    item.start_not_before = std::max(now, earliest);
}

void Supervisor::Pass(const std::vector<std::uint32_t>& ended_ids, bool check_all) {
    const SteadyTime now = clock_();
    if (check_all) {
        next_check_ = now + settings_.check_period;
    }
    const std::unordered_set<std::uint32_t> ended(ended_ids.begin(), ended_ids.end());
    std::vector<PassStep> steps;
    for (auto& item : items_) {
        if (stop_flag_.load() < 0) {
            break; // no program is started once the stop has begun
        }
        PassStep step{&item};
        if (item.state == ProcState::Running &&
            (check_all || ended.count(item.process_information.process_id) != 0)) {
            CheckItem(item, now, step.lines);
        }
        step.start = item.state == ProcState::ToStart && now >= item.start_not_before;
        if (step.start || !step.lines.empty()) {
            steps.push_back(std::move(step));
        }
    }
    // The starts side by side; then each program's lines in list order, as if one after another.
    const StartPool::Task start = [&](std::size_t index) {
        PassStep& step = steps[index];
        if (step.start && stop_flag_.load() >= 0) {
            TProcItem& item = *step.item;
            step.started =
                processes_.StartProcess(item.executable, item.command_line, item.stdout_target,
                                        item.stderr_target, item.process_information, step.error);
            step.tried = true;
        }
    };
    if (start_pool_ != nullptr) {
        start_pool_->ForEach(steps.size(), start);
    } else {
        for (std::size_t index = 0; index < steps.size(); ++index) {
            start(index);
        }
    }
    for (auto& step : steps) {
        for (const auto& line : step.lines) {
            log_(line);
        }
        if (step.tried) {
            ReportStart(*step.item, step.started, step.error, now);
        }
    }
}

void Supervisor::RunPass() {
    const std::lock_guard lock(list_mutex_);
    Pass({}, true);
}

SteadyTime Supervisor::NextWake() const {
    SteadyTime next = next_check_;
    for (const auto& item : items_) {
        if (item.state == ProcState::ToStart) {
            next = std::min(next, item.start_not_before);
        }
    }
    return next;
}

void Supervisor::Wake(bool Events::*event) {
    {
        const std::lock_guard lock(wake_mutex_);
        events_.*event = true;
    }
    wake_.notify_all();
}

Supervisor::Events Supervisor::WaitForEvents(SteadyTime until) {
    // The clock may be a test's: wait for the same span of real time.
    const auto deadline = std::chrono::steady_clock::now() + (until - clock_());
    std::unique_lock lock(wake_mutex_);
    wake_.wait_until(lock, deadline,
                     [this] { return events_.ended || events_.reload || stop_flag_.load() < 0; });
    return std::exchange(events_, {});
}

bool Supervisor::uservice_on_run() {
    processes_.WatchProcessEnds([this] { Wake(&Events::ended); });
    StartPool pool(settings_.start_helpers);
    {
        const std::lock_guard lock(list_mutex_);
        start_pool_ = &pool;
    }
    Events events;
    while (stop_flag_.load() >= 0) {
        SteadyTime next_wake;
        {
            const std::lock_guard lock(list_mutex_);
            if (events.reload) {
                ReloadLocked();
            }
            const auto ended_ids =
                events.ended ? processes_.TakeEndedProcessIds() : std::vector<std::uint32_t>{};
            Pass(ended_ids, clock_() >= next_check_);
            next_wake = NextWake();
        }
        events = WaitForEvents(next_wake);
    }
    // This thread and the pool's started every program, and on Linux a program dies with the
    // thread that started it (its parent-death signal): leave, and end the pool, only once the
    // stop has ended them its way.
    {
        std::unique_lock lock(wake_mutex_);
        wake_.wait(lock, [this] { return stop_done_; });
    }
    const std::lock_guard lock(list_mutex_);
    start_pool_ = nullptr;
    return true;
}

void Supervisor::uservice_on_reload() {
    Wake(&Events::reload);
}

void Supervisor::Reload() {
    const std::lock_guard lock(list_mutex_);
    ReloadLocked();
}

void Supervisor::ReloadLocked() {
    if (stop_flag_.load() < 0) {
        return;
    }
    auto loaded = ReadIniFile(ini_path_, processes_, log_);
    if (!loaded) {
        log_("app: {error} cannot open ini file [" + ini_path_ + "], the list stays as it is");
        return;
    }
    // Each new line takes over the first unclaimed program of the same line.
    std::vector<bool> kept(items_.size(), false);
    std::size_t unchanged = 0;
    for (auto& item : *loaded) {
        for (std::size_t index = 0; index < items_.size(); ++index) {
            if (!kept[index] && SameLine(items_[index], item)) {
                kept[index] = true;
                item = std::move(items_[index]);
                if (item.state == ProcState::StartFailed) {
                    item.state = ProcState::ToStart; // a reload is the operator's retry
                }
                ++unchanged;
                break;
            }
        }
    }
    std::vector<TProcItem*> removed;
    for (std::size_t index = 0; index < items_.size(); ++index) {
        if (!kept[index]) {
            removed.push_back(&items_[index]);
        }
    }
    EndItems(removed);
    log_("app: reload [" + ini_path_ + "], " + std::to_string(unchanged) + " unchanged, " +
         std::to_string(loaded->size() - unchanged) + " new, " + std::to_string(removed.size()) +
         " removed");
    items_ = std::move(*loaded);
}

void Supervisor::EndItems(const std::vector<TProcItem*>& items) {
    const bool graceful = settings_.stop_grace.count() > 0;
    std::vector<TProcItem*> running;
    for (TProcItem* item : items) {
        if (item->state != ProcState::Running) {
            continue;
        }
        item->state = ProcState::Stopping;
        log_("app: stopping [" + item->executable + "]");
        processes_.RequestEnd(item->process_information,
                              graceful ? EndRequest::Ask : EndRequest::Kill);
        running.push_back(item);
    }
    if (graceful) {
        const auto deadline = std::chrono::steady_clock::now() + settings_.stop_grace;
        auto still_running = running;
        while (!still_running.empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kGracePoll);
            std::erase_if(still_running, [this](TProcItem* item) {
                std::uint32_t exit_code = 0;
                return !processes_.IsProcessActive(item->process_information, exit_code);
            });
        }
    }
    for (TProcItem* item : running) {
        processes_.KillProcess(item->process_information);
        item->state = ProcState::Stopped;
    }
}

void Supervisor::uservice_on_stop() {
    {
        const std::lock_guard lock(wake_mutex_);
        stop_flag_ = kStopRequested;
    }
    wake_.notify_all();
    {
        // Taking the lock waits until the loop has left the list.
        const std::lock_guard lock(list_mutex_);
        std::vector<TProcItem*> all;
        for (auto& item : items_) {
            all.push_back(&item);
        }
        EndItems(all);
        processes_.FinishStop();
        items_.clear();
    }
    log_("app: ------------------- session stop -------------------");
    {
        const std::lock_guard lock(wake_mutex_);
        stop_done_ = true;
    }
    wake_.notify_all();
}

std::vector<TProcItem> Supervisor::Items() const {
    const std::lock_guard lock(list_mutex_);
    return items_;
}

} // namespace torvane
