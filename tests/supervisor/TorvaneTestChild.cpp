// A small program for Torvane to supervise in tests.
//   exit CODE MS [STAMPS]  reports its surroundings on standard error, lives MS milliseconds,
//                          exits with CODE; with STAMPS, appends "S <ns>" at its start and
//                          "E <ns>" just before its end (steady clock)
//   sleep                  lives until it is terminated (at most ten minutes)
//   tick FILE              appends a line to FILE every 10 ms until it is terminated
//   family FILE MS         starts a child of its own ("tick FILE"), then lives MS
//                          milliseconds (0: until terminated) and exits with 0
//   report                 writes its open descriptors and blocked and ignored signals
//                          (Linux) to standard error and exits with 0
//   polite FILE            when asked to end (SIGTERM; Windows: CTRL_BREAK), writes "asked"
//                          to FILE and exits with 0; lives at most ten minutes
//   stubborn               ignores being asked to end; lives at most ten minutes
//   control SERVICE CODE   (Windows) sends the control code to the service; exits with 0
//                          when the service manager took it
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

void Stamp(const char* path, char kind) {
    if (path == nullptr) {
        return;
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::ofstream(path, std::ios::app)
        << kind << ' ' << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() << '\n';
}

// Starts "<this program> tick FILE" without waiting for it.
bool StartTicker(const std::string& self, const std::string& file) {
#ifdef _WIN32
    std::string command = "\"" + self + "\" tick \"" + file + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(self.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
#else
    std::string program = self;
    std::string mode = "tick";
    std::string target = file;
    char* argv[] = {program.data(), mode.data(), target.data(), nullptr};
    pid_t pid = 0;
    return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0;
#endif
}

// Where a polite child notes that it was asked to end.
std::string polite_file;

#ifdef _WIN32
BOOL WINAPI AnswerEnd(DWORD) {
    std::ofstream(polite_file, std::ios::app) << "asked\n";
    ExitProcess(0);
}

BOOL WINAPI IgnoreEnd(DWORD) {
    return TRUE;
}
#endif

// Answers the request to end (true) or ignores it (false), then waits to be terminated.
[[noreturn]] void WaitAsked(bool answer) {
#ifdef _WIN32
    SetConsoleCtrlHandler(answer ? &AnswerEnd : &IgnoreEnd, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = answer ? [](int) {
        const int fd = open(polite_file.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
        [[maybe_unused]] const ssize_t written = write(fd, "asked\n", 6);
        _exit(0);
    } : SIG_IGN;
    sigaction(SIGTERM, &action, nullptr);
#endif
    std::this_thread::sleep_for(std::chrono::minutes(10));
    std::exit(0);
}

// Sends a control code the service manager's own tool cannot send under Wine.
int SendControl(const char* service_name, unsigned long code) {
#ifdef _WIN32
    const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    const SC_HANDLE service =
        manager != nullptr ? OpenServiceA(manager, service_name, SERVICE_ALL_ACCESS) : nullptr;
    SERVICE_STATUS status{};
    const bool sent = service != nullptr && ControlService(service, code, &status);
    if (service != nullptr) {
        CloseServiceHandle(service);
    }
    if (manager != nullptr) {
        CloseServiceHandle(manager);
    }
    return sent ? 0 : 1;
#else
    (void)service_name;
    (void)code;
    return 2;
#endif
}

// "fds=0,1,2 blocked=0000000000000000 ignored=0000000000000000" from /proc where it exists.
std::string Surroundings() {
    std::string fds;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        fds += (fds.empty() ? "" : ",") + entry.path().filename().string();
    }
    std::string blocked = "?";
    std::string ignored = "?";
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        if (name == "SigBlk:") {
            fields >> blocked;
        } else if (name == "SigIgn:") {
            fields >> ignored;
        }
    }
    return "fds=" + fds + " blocked=" + blocked + " ignored=" + ignored;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "sleep") {
        std::this_thread::sleep_for(std::chrono::minutes(10));
        return 0;
    }
    if (mode == "tick" && argc > 2) {
        for (int tick = 0; tick < 60'000; ++tick) {
            std::ofstream(argv[2], std::ios::app) << "tick\n";
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 0;
    }
    if (mode == "family" && argc > 3) {
        if (!StartTicker(std::filesystem::absolute(argv[0]).string(), argv[2])) {
            return 3;
        }
        const int lifetime = std::atoi(argv[3]);
        std::this_thread::sleep_for(lifetime > 0 ? std::chrono::milliseconds(lifetime)
                                                 : std::chrono::minutes(10));
        return 0;
    }
    if (mode == "polite" && argc > 2) {
        polite_file = argv[2];
        WaitAsked(true);
    }
    if (mode == "stubborn") {
        WaitAsked(false);
    }
    if (mode == "control" && argc > 3) {
        return SendControl(argv[2], std::strtoul(argv[3], nullptr, 10));
    }
    if (mode == "report") {
        std::cerr << "child: " << Surroundings() << std::endl;
        return 0;
    }
    if (mode != "exit" || argc < 4) {
        std::cerr << "usage: torvane_test_child exit CODE MS [STAMPS] | sleep | tick FILE | "
                     "family FILE MS | report | polite FILE | stubborn | control SERVICE CODE\n";
        return 2;
    }
    const char* stamps = argc > 4 ? argv[4] : nullptr;
    Stamp(stamps, 'S');
    const bool stdin_empty = std::cin.get() == std::char_traits<char>::eof();
    std::cerr << "child: args=" << argc << " cwd=" << std::filesystem::current_path().string()
              << " stdin=" << (stdin_empty ? "empty" : "data")
              << " notify=" << (std::getenv("NOTIFY_SOCKET") != nullptr ? "set" : "unset")
              << std::endl;
    std::cout << "child: standard output" << std::endl;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[3])));
    Stamp(stamps, 'E');
    return std::atoi(argv[2]);
}
