// Supervises N children that live a fixed time, exit and are restarted, first under Torvane
// and then under supervisord, and reports for each: the restart latency (from a child's last
// stamp to the next start of the same program: median and 99th percentile), the restarts done
// before the stop, the supervisor's own CPU time (children excluded) over the run and its peak
// resident memory.
//
// The default run takes the 100-children workload only; the 1,000-children one runs with
// --benchmark_filter=/1000/ (or --benchmark_filter=. for all).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kChildLifetime = 500ms;
constexpr auto kStopTimeout = 120s;

enum class SupervisorKind { Torvane, Supervisord };

struct RunResult {
    std::vector<double> gaps_ms;
    double cpu_seconds = 0;
    double peak_rss_mib = 0;
    std::string error;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::optional<std::string> FindProgram(const std::string& name) {
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/sbin"}) {
        const fs::path candidate = fs::path(dir) / name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return std::nullopt;
}

// User plus system time of the process itself, in seconds.
double CpuSeconds(pid_t pid) {
    const std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long long utime = 0;
    long long stime = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14) {
            utime = std::stoll(field);
        } else if (index == 15) {
            stime = std::stoll(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
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

pid_t Spawn(const std::vector<std::string>& arguments) {
    std::vector<std::string> copy = arguments;
    std::vector<char*> argv;
    for (auto& argument : copy) {
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

// Gaps between each end of a program and its next start, for starts before the stop.
std::vector<double> RestartGapsMs(const fs::path& stamps, long long stop_ns) {
    std::istringstream text(ReadAll(stamps));
    std::vector<double> gaps;
    std::optional<long long> last_end;
    char kind = 0;
    long long ns = 0;
    while (text >> kind >> ns) {
        if (kind == 'E') {
            last_end = ns;
        } else if (ns > stop_ns) {
            break;
        } else if (last_end) {
            gaps.push_back(static_cast<double>(ns - *last_end) / 1e6);
            last_end.reset();
        }
    }
    return gaps;
}

std::string ChildCommand(const fs::path& dir, int index) {
    return std::string(BENCH_CHILD) + " " + (dir / ("stamps" + std::to_string(index))).string() +
           " " + std::to_string(kChildLifetime.count());
}

// Writes the supervisor's configuration into dir and returns its command.
std::vector<std::string> Prepare(SupervisorKind kind, const fs::path& dir, int children,
                                 const std::string& supervisord) {
    if (kind == SupervisorKind::Torvane) {
        fs::copy_file(TORVANE_BINARY, dir / "Torvane");
        std::ofstream ini(dir / "Torvane.ini");
        for (int i = 0; i < children; ++i) {
            ini << ChildCommand(dir, i) << "\n";
        }
        return {(dir / "Torvane").string(), "torvane_bench"};
    }
    std::ofstream conf(dir / "supervisord.conf");
    conf << "[supervisord]\nnodaemon=true\nloglevel=warn\nminfds=8192\nminprocs=2048\n"
         << "logfile=" << (dir / "supervisord.log").string() << "\n"
         << "pidfile=" << (dir / "supervisord.pid").string() << "\n"
         << "childlogdir=" << dir.string() << "\n";
    for (int i = 0; i < children; ++i) {
        conf << "\n[program:c" << i << "]\ncommand=" << ChildCommand(dir, i)
             << "\nautostart=true\nautorestart=true\nstartsecs=0\nstartretries=1000000\n"
             << "stdout_logfile=NONE\nstderr_logfile=NONE\n";
    }
    return {supervisord, "-n", "-c", (dir / "supervisord.conf").string()};
}

RunResult RunWorkload(SupervisorKind kind, int children, std::chrono::seconds duration,
                      const std::string& supervisord) {
    RunResult result;
    const fs::path dir =
        fs::temp_directory_path() / ("torvane_bench_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const pid_t pid = Spawn(Prepare(kind, dir, children, supervisord));
    if (pid < 0) {
        result.error = "could not start the supervisor";
    } else {
        std::this_thread::sleep_for(duration);
        result.cpu_seconds = CpuSeconds(pid);
        result.peak_rss_mib = PeakRssMiB(pid);
        const long long stop_ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
                .count();
        if (!StopAndWait(pid)) {
            result.error = "the supervisor did not stop in time";
        }
        for (int i = 0; i < children; ++i) {
            const auto gaps = RestartGapsMs(dir / ("stamps" + std::to_string(i)), stop_ns);
            result.gaps_ms.insert(result.gaps_ms.end(), gaps.begin(), gaps.end());
        }
    }
    fs::remove_all(dir);
    return result;
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

void BM_Restart(benchmark::State& state, SupervisorKind kind) {
    const int children = static_cast<int>(state.range(0));
    const auto duration = children >= 1000 ? 15s : 5s;
    std::string supervisord;
    if (kind == SupervisorKind::Supervisord) {
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
    RunResult result;
    for (auto _ : state) {
        result = RunWorkload(kind, children, duration, supervisord);
        state.SetIterationTime(static_cast<double>(duration.count()));
    }
    if (!result.error.empty()) {
        state.SkipWithError(result.error.c_str());
        return;
    }
    const auto restarts = static_cast<double>(result.gaps_ms.size());
    state.counters["children"] = children;
    state.counters["restarts"] = restarts;
    state.counters["p50_ms"] = Percentile(result.gaps_ms, 0.50);
    state.counters["p99_ms"] = Percentile(result.gaps_ms, 0.99);
    state.counters["cpu_s"] = result.cpu_seconds;
    state.counters["cpu_ms_per_restart"] = restarts > 0 ? result.cpu_seconds * 1000 / restarts : 0;
    state.counters["peak_rss_MiB"] = result.peak_rss_mib;
}

BENCHMARK_CAPTURE(BM_Restart, torvane, SupervisorKind::Torvane)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Restart, supervisord, SupervisorKind::Supervisord)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    // Without a filter only the 100-children workload runs, to keep the default run short.
    std::vector<char*> arguments(argv, argv + argc);
    std::string default_filter = "--benchmark_filter=/100/";
    const bool filtered = std::any_of(arguments.begin(), arguments.end(), [](const char* arg) {
        return std::string_view(arg).rfind("--benchmark_filter", 0) == 0;
    });
    if (!filtered) {
        arguments.push_back(default_filter.data());
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
