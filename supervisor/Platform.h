// The few system services Torvane's portable code needs, one implementation per system
// (Platform_posix.cpp, Platform_win32.cpp).
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace torvane::platform {

// Full path of the running executable.
std::string ExecutablePath();

// The current local date and time.
std::tm LocalTimeNow();

// The system's text for one of its error codes (errno, GetLastError), as one line.
std::string SystemErrorText(unsigned long code);

// "<text> (<code>)": how Torvane names a system error.
inline std::string DescribeError(unsigned long code) {
    return SystemErrorText(code) + " (" + std::to_string(code) + ")";
}

// Sets the process up as a supervisor. Call first in main, before any thread exists.
// Linux: every signal back to its default disposition (a SIGCHLD ignored by whoever started
// Torvane would hide every exit code), the signals the service reads through its own
// descriptors (SIGTERM, SIGINT, SIGHUP, SIGCHLD) and SIGPIPE blocked in every thread, and the
// process made the reaper of its programs' orphaned descendants, and the guardian started
// (Guardian_linux.h). Windows: nothing to do (each program's Job ends with the process).
void PrepareProcess();

// A lock on a file, held for the life of the object, that a second holder (in this or any
// other process) cannot take; the system releases it when the holder dies.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool IsHeld() const;
    // Whether the lock failed because another holder has it (rather than a system error).
    bool HeldElsewhere() const { return held_elsewhere_; }
    unsigned long Error() const { return error_; }

private:
    std::intptr_t handle_;
    bool held_elsewhere_ = false;
    unsigned long error_ = 0;
};

// A file opened for appending whole lines, created when missing, never truncated by opening.
// Closed when destroyed.
class AppendFile {
public:
    explicit AppendFile(const std::string& path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    bool IsOpen() const;
    // The system's code of the failed open or append.
    unsigned long Error() const { return error_; }
    std::uint64_t Size() const;
    // Appends the bytes whole or not at all: a write cut short (a full disk) is taken back
    // out of the file. False (and Error) when nothing was added.
    bool AppendWhole(std::string_view bytes);

private:
    std::intptr_t handle_;
    unsigned long error_ = 0;
};

} // namespace torvane::platform
