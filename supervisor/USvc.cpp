#include "supervisor/USvc.h"
#include "supervisor/Uservice.h"

#include <fstream>
#include <utility>

namespace torvane {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr int kStopRequested = -1;

} // namespace

std::optional<TProcItem> ParseIniLine(std::string_view line) {
    TProcItem item;
    std::string_view command = TrimBlanks(line);
    if (const auto arrow = command.find('>'); arrow != std::string_view::npos) {
        const std::string_view target = TrimBlanks(command.substr(arrow + 1));
        if (!target.empty()) {
            item.stderr_target = target;
        }
        command = TrimBlanks(command.substr(0, arrow));
    }
    if (const auto blank = command.find_first_of(kBlanks); blank != std::string_view::npos) {
        item.command_line = command;
        item.executable = command.substr(0, blank);
    } else {
        item.executable = command;
    }
    if (item.executable.empty()) {
        return std::nullopt;
    }
    return item;
}

Supervisor::Supervisor(IProcessLayer& processes, LogFn log, std::string ini_path,
                       std::chrono::milliseconds check_period)
    : processes_(processes), log_(std::move(log)), ini_path_(std::move(ini_path)),
      check_period_(check_period) {
}

void Supervisor::LoadIni() {
    std::ifstream ini(ini_path_, std::ios::binary);
    if (!ini.is_open()) {
        log_("app: {error} cannot open ini file [" + ini_path_ + "], no programs to supervise");
        return;
    }
    std::string line;
    while (std::getline(ini, line)) {
        auto item = ParseIniLine(line);
        if (item && processes_.FileExists(item->executable)) {
            items_.push_back(std::move(*item));
        }
    }
    if (ini.bad() || !ini.eof()) {
        log_("app: {error} cannot read ini file [" + ini_path_ + "], " +
             std::to_string(items_.size()) + " programs read");
    }
}

bool Supervisor::uservice_on_start() {
    const std::lock_guard lock(list_mutex_);
    // The stop flag starts at 0; a stop that came before the start keeps it negative, and
    // then nothing is loaded, so that nothing is started after the stop.
    if (stop_flag_.load() >= 0) {
        LoadIni();
    }
    return true;
}

void Supervisor::StartItem(TProcItem& item) {
    const bool started =
        processes_.StartProcess(item.executable, item.command_line, item.stdout_target,
                                item.stderr_target, item.process_information);
    const std::string name = "[" + item.executable + ":" + item.command_line + "]";
    if (started) {
        log_("app: starting " + name + " Ok");
        item.state = ProcState::Running;
    } else {
        log_("app: starting " + name + " Fail");
        item.state = ProcState::StartFailed;
    }
}

void Supervisor::RunPass() {
    const std::lock_guard lock(list_mutex_);
    for (auto& item : items_) {
        if (stop_flag_.load() < 0) {
            return; // no program is started once the stop has begun
        }
        if (item.state == ProcState::ToStart) {
            StartItem(item);
        } else if (item.state == ProcState::Running) {
            std::uint32_t exit_code = 0;
            if (!processes_.IsProcessActive(item.process_information, exit_code)) {
                log_("app: check fail [" + item.executable + "], ret_code [" +
                     std::to_string(exit_code) + "]");
                item.state = ProcState::ToStart;
            }
        }
    }
}

bool Supervisor::uservice_on_run() {
    while (stop_flag_.load() >= 0) {
        RunPass();
        std::unique_lock lock(list_mutex_);
        stop_signal_.wait_for(lock, check_period_, [this] { return stop_flag_.load() < 0; });
    }
    return true;
}

void Supervisor::uservice_on_stop() {
    stop_flag_ = kStopRequested;
    {
        // Taking the lock waits until the loop has left the list.
        const std::lock_guard lock(list_mutex_);
        stop_signal_.notify_all();
        for (auto& item : items_) {
            if (item.state != ProcState::Running) {
                continue;
            }
            item.state = ProcState::Stopping;
            log_("app: stopping [" + item.executable + "]");
            processes_.KillProcess(item.process_information);
            item.state = ProcState::Stopped;
        }
        items_.clear();
    }
    log_("app: ------------------- session stop -------------------");
}

std::vector<TProcItem> Supervisor::Items() const {
    const std::lock_guard lock(list_mutex_);
    return items_;
}

} // namespace torvane
