// Processes on Windows: CreateProcessA with the targets opened for appending and inherited as
// the child's standard output and standard error. Each program runs in a Job object of its
// own that kills everything in it when its last handle closes: when the program is found
// ended or is stopped, and when the supervisor itself dies. Ends are reported by the thread
// pool's waits on the process handles.
#include "supervisor/UProcess.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <utility>

namespace torvane {
namespace {

// Detached process, normal priority class, Unicode environment, default error mode.
constexpr DWORD kCreationFlags = 0x4000428;
// For graceful ends: a hidden console of its own and a process group of its own instead.
constexpr DWORD kGracefulCreationFlags =
    (kCreationFlags & ~DWORD{DETACHED_PROCESS}) | CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP;
std::atomic<DWORD> creation_flags{kCreationFlags};
constexpr WORD kShowDefault = 10;
constexpr DWORD kKillWaitMs = 5000;

HANDLE AsHandle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

std::intptr_t AsValue(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

// A file handle that the child inherits, closed when the start is over (the child holds its
// own copy).
struct InheritedFile {
    HANDLE handle = INVALID_HANDLE_VALUE;

    explicit InheritedFile(const std::string& target) {
        SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        handle = CreateFileA(target.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &security, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~InheritedFile() {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
};

std::string DirectoryOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    if (separator == std::string::npos) {
        return {};
    }
    // Keep the separator of a drive's root ("C:\").
    return path.substr(0, separator == 2 && path[1] == ':' ? separator + 1 : separator);
}

// The programs seen ending, as the thread pool's waits report them.
class EndedPrograms {
public:
    static EndedPrograms& Instance() {
        static EndedPrograms& ended = *new EndedPrograms; // lives as long as the process
        return ended;
    }

    void SetObserver(std::function<void()> on_end) {
        const std::lock_guard lock(mutex_);
        on_end_ = std::move(on_end);
    }

    void Report(std::uint32_t process_id) {
        std::function<void()> on_end;
        {
            const std::lock_guard lock(mutex_);
            ids_.push_back(process_id);
            on_end = on_end_;
        }
        if (on_end) {
            on_end();
        }
    }

    std::vector<std::uint32_t> Take() {
        const std::lock_guard lock(mutex_);
        return std::exchange(ids_, {});
    }

private:
    std::mutex mutex_;
    std::vector<std::uint32_t> ids_;
    std::function<void()> on_end_;
};

VOID CALLBACK OnProcessEnded(PVOID context, BOOLEAN) {
    EndedPrograms::Instance().Report(
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(context)));
}

// A Job whose processes all end when its last handle is closed; nullptr where the system
// cannot make one (the program then runs without it).
HANDLE CreateKillOnCloseJob() {
    const HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job == nullptr) {
        return nullptr;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// The supervisor's own kill-on-close Job, which it joins before it starts anything. A program
// is born in its creator's Job, so it dies with the supervisor even when the supervisor dies
// between creating it and putting it in a Job of its own (nested Jobs: Windows 8 and later).
// Where the supervisor cannot join one, each program's own Job stands alone.
void JoinSupervisorJob() {
    [[maybe_unused]] static const HANDLE job = [] {
        const HANDLE created = CreateKillOnCloseJob();
        if (created != nullptr && !AssignProcessToJobObject(created, GetCurrentProcess())) {
            CloseHandle(created);
            return HANDLE{nullptr};
        }
        return created; // held until the supervisor ends
    }();
}

// Closes everything the supervisor held of an ended program; closing the Job ends whatever
// the program left running in it.
void Release(ProcessInformation& information) {
    if (information.wait_handle != 0) {
        UnregisterWaitEx(AsHandle(information.wait_handle), INVALID_HANDLE_VALUE);
    }
    for (const std::intptr_t handle :
         {information.job_handle, information.thread_handle, information.process_handle}) {
        if (handle != 0) {
            CloseHandle(AsHandle(handle));
        }
    }
    information = {};
}

struct WindowsOf {
    DWORD process_id;
};

// CTRL_BREAK to the program's process group on its console. A process has at most one
// console: the supervisor borrows each program's in turn.
void SendConsoleBreak(DWORD process_id) {
    static std::mutex console_mutex;
    const std::lock_guard lock(console_mutex);
    if (AttachConsole(process_id)) {
        GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process_id);
        FreeConsole();
    }
}

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM context) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == reinterpret_cast<const WindowsOf*>(context)->process_id) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// A program inherits every inheritable handle open in the supervisor at its creation. Starts run
// side by side, so one start's redirection files may be open (and inheritable) only while no
// other start creates its program: from their opening to their closing under this lock.
std::mutex inheritance_mutex;

// Creates the program suspended (until it is in its Job, so that nothing it starts escapes the
// Job), its standard output and standard error appended to the targets.
bool CreateSuspended(const std::string& executable, const std::string& command_line,
                     const std::string& stdout_target, const std::string& stderr_target,
                     PROCESS_INFORMATION& process, unsigned long& error) {
    const std::lock_guard lock(inheritance_mutex);
    const InheritedFile output(stdout_target);
    const InheritedFile errors(stderr_target);
    if (!output.IsOpen() || !errors.IsOpen()) {
        error = GetLastError();
        return false;
    }

    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    startup.cb = sizeof startup;
    startup.dwFlags |= STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = kShowDefault;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output.handle;
    startup.hStdError = errors.handle;
    // The runtime's inherited descriptor table would override the standard handles.
    startup.cbReserved2 = 0;
    startup.lpReserved2 = nullptr;

    std::string mutable_command_line = command_line;
    const std::string directory = DirectoryOf(executable);
    if (!CreateProcessA(executable.c_str(),
                        mutable_command_line.empty() ? nullptr : mutable_command_line.data(),
                        nullptr, nullptr, TRUE, creation_flags.load() | CREATE_SUSPENDED, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
        error = GetLastError();
        return false;
    }
    return true;
}

} // namespace

FileKind ProbeFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FileKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? FileKind::File : FileKind::NotAFile;
}

bool StartProcess(const std::string& executable, const std::string& command_line,
                  const std::string& stdout_target, const std::string& stderr_target,
                  ProcessInformation& information, unsigned long& error) {
    information = {};
    JoinSupervisorJob();
    PROCESS_INFORMATION process{};
    if (!CreateSuspended(executable, command_line, stdout_target, stderr_target, process, error)) {
        return false;
    }
    information.process_handle = AsValue(process.hProcess);
    information.thread_handle = AsValue(process.hThread);
    information.process_id = process.dwProcessId;
    information.thread_id = process.dwThreadId;

    HANDLE job = CreateKillOnCloseJob();
    if (job != nullptr && !AssignProcessToJobObject(job, process.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    information.job_handle = AsValue(job);
    ResumeThread(process.hThread);

    HANDLE wait = nullptr;
    if (RegisterWaitForSingleObject(
            &wait, process.hProcess, &OnProcessEnded,
            reinterpret_cast<PVOID>(static_cast<std::uintptr_t>(process.dwProcessId)), INFINITE,
            WT_EXECUTEONLYONCE)) {
        information.wait_handle = AsValue(wait);
    }
    return true;
}

bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) {
    // The exit code alone cannot tell: a program may end with the code 259 (STILL_ACTIVE).
    // The process handle is signalled exactly when the process has ended.
    if (WaitForSingleObject(AsHandle(information.process_handle), 0) == WAIT_TIMEOUT) {
        return true;
    }
    DWORD code = 0;
    exit_code = GetExitCodeProcess(AsHandle(information.process_handle), &code) ? code : UINT32_MAX;
    Release(information);
    return false;
}

void RequestEnd(const ProcessInformation& information, EndRequest request) {
    if (information.process_handle == 0) {
        return;
    }
    if (request == EndRequest::Ask) {
        WindowsOf target{information.process_id};
        EnumWindows(&CloseWindowOf, reinterpret_cast<LPARAM>(&target));
        if (creation_flags.load() == kGracefulCreationFlags) {
            SendConsoleBreak(information.process_id);
        }
        return;
    }
    if (information.job_handle == 0 || !TerminateJobObject(AsHandle(information.job_handle), 0)) {
        TerminateProcess(AsHandle(information.process_handle), 0);
    }
}

void StartForGracefulEnds() {
    creation_flags = kGracefulCreationFlags;
}

void KillProcess(ProcessInformation& information) {
    if (information.process_handle == 0) {
        return;
    }
    RequestEnd(information, EndRequest::Kill);
    WaitForSingleObject(AsHandle(information.process_handle), kKillWaitMs);
    Release(information);
}

void WatchProcessEnds(std::function<void()> on_end) {
    EndedPrograms::Instance().SetObserver(std::move(on_end));
}

std::vector<std::uint32_t> TakeEndedProcessIds() {
    return EndedPrograms::Instance().Take();
}

void FinishStop() {
    // Nothing outlives its Job.
}

} // namespace torvane
