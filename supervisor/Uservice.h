// Service control wrapper: connects the program to the service manager (the Windows
// service control manager, or systemd on Linux), reports the service status, calls the
// application's start, run and stop callbacks and writes the timestamped log file.
#pragma once

#include "base/TextNumbers.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// The application callbacks. Each may be left empty.
struct ServiceCallbacks {
    std::function<bool()> uservice_on_start; // loads the application; false stops the service
    std::function<bool()> uservice_on_run;   // the main loop; returns when the service is to end
    std::function<void()> uservice_on_stop;  // stop request; returns once everything has stopped
    // The service's parameters changed (SIGHUP, SERVICE_CONTROL_PARAMCHANGE): reload them.
    // Called in the control thread; returns at once.
    std::function<void()> uservice_on_reload;
};

// The name used when the given one is empty.
inline constexpr std::string_view kDefaultServiceName = "ovra_global";

// Runs the service under the manager and returns once it has stopped. False when the
// service failed: the dispatcher could not be started (e.g. outside the service manager; a
// log line says why), or the start or the run callback failed.
bool RunService(std::string_view service_name, ServiceCallbacks callbacks);

// Registers the service with the service manager, to run this executable with the
// arguments and to start with the system; the message tells the operator what happened.
// Windows only: elsewhere it fails with a message naming what to use instead.
bool InstallService(std::string_view service_name, const std::vector<std::string>& arguments,
                    std::string& message);
// Stops the service (waiting up to 30 s) and removes it from the service manager.
bool UninstallService(std::string_view service_name, std::string& message);

// Appends one line "[dd.mm.yyyy hh:nn:ss] message\r\n" to the log file. An empty or blank
// path means the service's log file (see SetLogPath). Safe to call from any thread; lines are
// never interleaved, and the call never waits for the file: the line is stamped now and
// written by the log's own thread (see LogWriter).
void WriteLog(std::string_view message, std::string_view log_path = {});

// Sets the service's log file, which is the default log file path until set. An empty or
// blank path restores the default. Called before the service starts.
void SetLogPath(std::string_view path);

// Rotates the log files once they would pass max_size bytes, keeping that many old files
// (see LogWriter::SetRotation). Off (0) until set.
void SetLogRotation(std::uint64_t max_size, unsigned keep);

// Waits until every line logged so far is in its file, or the timeout passes (false).
bool FlushLog(std::chrono::milliseconds timeout);

// The log line for a message at the given local time, with its CR LF.
std::string FormatLogLine(const std::tm& local_time, std::string_view message);

// The running executable's path with its extension replaced ("C:\svc\x.exe" -> "C:\svc\x.log").
std::string PathBesideExecutable(std::string_view extension);
std::string DefaultLogPath();

// Replaces the extension of the file name at the end of a path, or appends one.
std::string ChangeFileExt(std::string_view path, std::string_view extension);

// Removes the characters up to and including blank (spaces, tabs, CR, LF) at both ends.
using base::TrimBlanks;

} // namespace torvane
