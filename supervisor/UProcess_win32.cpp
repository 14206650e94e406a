// Processes on Windows: CreateProcessA with the targets opened for appending and inherited
// as the child's standard output and standard error.
#include "supervisor/UProcess.h"

#include <windows.h>

namespace torvane {

namespace {

// Detached process, normal priority class, Unicode environment, default error mode.
constexpr DWORD kCreationFlags = 0x4000428;
constexpr WORD kShowDefault = 10;
constexpr DWORD kKillWaitMs = 5000;

HANDLE AsHandle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
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

void CloseHandles(ProcessInformation& information) {
    if (information.thread_handle != 0) {
        CloseHandle(AsHandle(information.thread_handle));
    }
    if (information.process_handle != 0) {
        CloseHandle(AsHandle(information.process_handle));
    }
    information = {};
}

} // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool StartProcess(const std::string& executable, const std::string& command_line,
                  const std::string& stdout_target, const std::string& stderr_target,
                  ProcessInformation& information) {
    information = {};
    const InheritedFile output(stdout_target);
    const InheritedFile error(stderr_target);
    if (!output.IsOpen() || !error.IsOpen()) {
        return false;
    }

    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    startup.cb = sizeof startup;
    startup.dwFlags |= STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = kShowDefault;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output.handle;
    startup.hStdError = error.handle;
    // The runtime's inherited descriptor table would override the standard handles.
    startup.cbReserved2 = 0;
    startup.lpReserved2 = nullptr;

    std::string mutable_command_line = command_line;
    const std::string directory = DirectoryOf(executable);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(executable.c_str(),
                        mutable_command_line.empty() ? nullptr : mutable_command_line.data(),
                        nullptr, nullptr, TRUE, kCreationFlags, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
        return false;
    }
    information.process_handle = reinterpret_cast<std::intptr_t>(process.hProcess);
    information.thread_handle = reinterpret_cast<std::intptr_t>(process.hThread);
    information.process_id = process.dwProcessId;
    information.thread_id = process.dwThreadId;
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
    CloseHandles(information);
    return false;
}

void KillProcess(ProcessInformation& information) {
    if (information.process_handle == 0) {
        return;
    }
    TerminateProcess(AsHandle(information.process_handle), 0);
    WaitForSingleObject(AsHandle(information.process_handle), kKillWaitMs);
    CloseHandles(information);
}

} // namespace torvane
