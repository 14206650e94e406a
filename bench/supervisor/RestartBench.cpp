// Torvane against supervisord on the same workload: N programs that each live 1 s plus a random
// 0-250 ms, exit and are started again. Each supervisor runs with its own defaults and only what
// a user sets to get this behaviour (supervisord: startsecs=0, autorestart=true; Torvane:
// nothing); both log every start and end (supervisord's default level, info, does). The
// start-up is left out: the measurement begins once every program has started and a few
// seconds have passed, and lasts 20 s. For each supervisor and size it reports the restart
// latency (from a program's end stamp to its next start stamp: median and 99th percentile),
// restarts per second, the supervisor's own CPU time over those 20 s (Torvane's with its
// guardian process's; the programs' not counted) also per restart, and its peak resident
// memory; then a summary of the two side by side.
//
// Runs 100 and 1,000 programs under each (about 3 minutes); --benchmark_filter narrows it.
#include "tests/FileText.h"
#include "tests/RestartStamps.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using testfiles::ReadAll;
using testfiles::RestartGapsMs;

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kLifetimeMs = 1000;
constexpr int kJitterMs = 250;
constexpr auto kSettle = 3s;
constexpr auto kSteadyState = 20s;
constexpr auto kStartTimeout = 120s;
constexpr auto kStopTimeout = 120s;

enum class Kind { Torvane, Supervisord };

const char* Name(Kind kind) {
    return kind == Kind::Torvane ? "Torvane" : "supervisord";
}

struct Result {
    std::vector<double> gaps_ms;
    double restarts_per_second = 0;
    double cpu_seconds = 0; // Torvane's with its guardian's
    double peak_rss_mib = 0;
    double guardian_cpu_seconds = 0; // Torvane's guardian process
    double guardian_rss_mib = 0;
};

// Every measured run, for the summary: by program count, then supervisor.
std::map<int, std::map<Kind, Result>> results;

std::optional<std::string> FindProgram(const std::string& name) {
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/sbin"}) {
        const fs::path candidate = fs::path(dir) / name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return std::nullopt;
}

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// User plus system time of the process itself, in seconds.
double CpuSeconds(pid_t pid) {
    const std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long long ticks = 0;
    for (int index = 3; fields >> field && index <= 15; ++index) {
        if (index >= 14) {
            ticks += std::stoll(field); // utime, stime
        }
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double PeakRssMiB(pid_t pid) {
    std::istringstream status(ReadAll("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0; // kB
        }
    }
    return 0;
}

// Torvane's guardian: its child named torvane-guard.
std::optional<pid_t> GuardianOf(pid_t pid) {
    std::istringstream children(
        ReadAll("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children"));
    for (pid_t child = 0; children >> child;) {
        if (ReadAll("/proc/" + std::to_string(child) + "/comm") == "torvane-guard\n") {
            return child;
        }
    }
    return std::nullopt;
}

pid_t Spawn(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

bool StopAndWait(pid_t pid) {
    kill(pid, SIGTERM);
    const auto deadline = Clock::now() + kStopTimeout;
    while (Clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return false;
}

fs::path Stamps(const fs::path& dir, int index) {
    return dir / ("stamps" + std::to_string(index));
}

std::string ChildCommand(const fs::path& dir, int index) {
    return std::string(BENCH_CHILD) + " " + Stamps(dir, index).string() + " " +
           std::to_string(kLifetimeMs) + " " + std::to_string(kJitterMs);
}

// Writes the supervisor's configuration into dir and returns its command.
std::vector<std::string> Prepare(Kind kind, const fs::path& dir, int programs,
                                 const std::string& supervisord) {
    if (kind == Kind::Torvane) {
        fs::copy_file(TORVANE_BINARY, dir / "Torvane");
        std::ofstream ini(dir / "Torvane.ini");
        for (int index = 0; index < programs; ++index) {
            ini << ChildCommand(dir, index) << "\n";
        }
        return {(dir / "Torvane").string(), "torvane_bench"};
    }
    // Where its files go, and the two settings a user sets for this behaviour; nothing else.
    std::ofstream conf(dir / "supervisord.conf");
    conf << "[supervisord]\nnodaemon=true\n"
         << "logfile=" << (dir / "supervisord.log").string() << "\n"
         << "pidfile=" << (dir / "supervisord.pid").string() << "\n"
         << "childlogdir=" << dir.string() << "\n";
    for (int index = 0; index < programs; ++index) {
        conf << "\n[program:c" << index << "]\ncommand=" << ChildCommand(dir, index)
             << "\nstartsecs=0\nautorestart=true\n";
    }
    return {supervisord, "-c", (dir / "supervisord.conf").string()};
}

bool AllStarted(const fs::path& dir, int programs) {
    for (int index = 0; index < programs; ++index) {
        std::error_code error;
        if (fs::file_size(Stamps(dir, index), error) == 0 || error) {
            return false;
        }
    }
    return true;
}

std::string RunWorkload(Kind kind, int programs, const std::string& supervisord, Result& result) {
    const fs::path dir =
        fs::temp_directory_path() / ("torvane_bench_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    std::string error;
    const pid_t pid = Spawn(Prepare(kind, dir, programs, supervisord));
    if (pid < 0) {
        error = "could not start the supervisor";
    } else {
        const auto give_up = Clock::now() + kStartTimeout;
        while (!AllStarted(dir, programs) && Clock::now() < give_up) {
            std::this_thread::sleep_for(100ms);
        }
        if (!AllStarted(dir, programs)) {
            error = "not every program started within 2 minutes";
        }
        std::this_thread::sleep_for(kSettle);
        const auto guardian = GuardianOf(pid);
        const long long from_ns = NowNs();
        const double cpu_before = CpuSeconds(pid);
        const double guardian_cpu_before = guardian ? CpuSeconds(*guardian) : 0;
        std::this_thread::sleep_for(kSteadyState);
        const long long to_ns = NowNs();
        if (guardian) {
            result.guardian_cpu_seconds = CpuSeconds(*guardian) - guardian_cpu_before;
            result.guardian_rss_mib = PeakRssMiB(*guardian);
        }
        result.cpu_seconds = CpuSeconds(pid) - cpu_before + result.guardian_cpu_seconds;
        result.peak_rss_mib = PeakRssMiB(pid);
        if (!StopAndWait(pid) && error.empty()) {
            error = "the supervisor did not stop in time";
        }
        for (int index = 0; index < programs; ++index) {
            const auto gaps = RestartGapsMs(Stamps(dir, index), from_ns, to_ns);
            result.gaps_ms.insert(result.gaps_ms.end(), gaps.begin(), gaps.end());
        }
        result.restarts_per_second = static_cast<double>(result.gaps_ms.size()) /
                                     std::chrono::duration<double>(kSteadyState).count();
    }
    fs::remove_all(dir);
    return error;
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

void BM_Restart(benchmark::State& state, Kind kind) {
    const int programs = static_cast<int>(state.range(0));
    std::string supervisord;
    if (kind == Kind::Supervisord) {
        const auto found = FindProgram("supervisord");
        if (!found) {
            state.SkipWithError(
                "skipped: supervisord is not installed (Debian package supervisor)");
            for (auto _ : state) {
            }
            return;
        }
        supervisord = *found;
    }
    Result result;
    std::string error;
    for (auto _ : state) {
        error = RunWorkload(kind, programs, supervisord, result);
        state.SetIterationTime(std::chrono::duration<double>(kSteadyState).count());
    }
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    state.counters["programs"] = programs;
    state.counters["p50_ms"] = Percentile(result.gaps_ms, 0.50);
    state.counters["p99_ms"] = Percentile(result.gaps_ms, 0.99);
    state.counters["restarts_per_s"] = result.restarts_per_second;
    state.counters["cpu_s"] = result.cpu_seconds;
    state.counters["peak_rss_MiB"] = result.peak_rss_mib;
    results[programs][kind] = std::move(result);
}

BENCHMARK_CAPTURE(BM_Restart, torvane, Kind::Torvane)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Restart, supervisord, Kind::Supervisord)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void PrintSummary() {
    std::printf("\nSteady state %lld s (start-up excluded), each program lives %d ms + 0-%d ms\n",
                static_cast<long long>(kSteadyState.count()), kLifetimeMs, kJitterMs);
    std::printf("%-9s %-12s %8s %8s %11s %7s %15s %13s\n", "programs", "supervisor", "p50 ms",
                "p99 ms", "restarts/s", "CPU s", "CPU ms/restart", "peak RSS MiB");
    for (const auto& [programs, by_kind] : results) {
        for (const auto& [kind, result] : by_kind) {
            const double restarts =
                result.restarts_per_second * std::chrono::duration<double>(kSteadyState).count();
            std::printf("%-9d %-12s %8.1f %8.1f %11.1f %7.2f %15.3f %13.2f\n", programs, Name(kind),
                        Percentile(result.gaps_ms, 0.50), Percentile(result.gaps_ms, 0.99),
                        result.restarts_per_second, result.cpu_seconds,
                        restarts > 0 ? 1000 * result.cpu_seconds / restarts : 0,
                        result.peak_rss_mib);
        }
        const auto torvane = by_kind.find(Kind::Torvane);
        const auto supervisord = by_kind.find(Kind::Supervisord);
        if (torvane != by_kind.end() && torvane->second.guardian_rss_mib > 0) {
            std::printf("%-9s Torvane's guardian process: CPU %.2f s (counted above), peak RSS "
                        "%.2f MiB\n",
                        "", torvane->second.guardian_cpu_seconds, torvane->second.guardian_rss_mib);
        }
        if (torvane != by_kind.end() && supervisord != by_kind.end() &&
            supervisord->second.cpu_seconds > 0) {
            std::printf("%-9s Torvane's CPU time (its guardian's included) is %.1f %% of "
                        "supervisord's\n",
                        "", 100 * torvane->second.cpu_seconds / supervisord->second.cpu_seconds);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
