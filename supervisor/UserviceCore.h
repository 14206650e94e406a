// The service wrapper's logic, free of any platform: the service entry and the control
// handler over a narrow interface to the service manager.
#pragma once

#include "supervisor/Uservice.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace torvane {

// Service states as the service manager numbers them.
enum class ServiceState : std::uint32_t { Stopped = 1, StartPending = 2, Running = 4 };

// Control codes the handler names.
namespace service_control {
inline constexpr std::uint32_t Stop = 1;
inline constexpr std::uint32_t Pause = 2;
inline constexpr std::uint32_t Continue = 3;
inline constexpr std::uint32_t Interrogate = 4;
inline constexpr std::uint32_t Shutdown = 5;
inline constexpr std::uint32_t ParamChange = 6;
} // namespace service_control

// What the wrapper needs from the service manager.
class IServiceManager {
public:
    virtual ~IServiceManager() = default;
    // Registers the control handler under the service name.
    virtual bool RegisterControlHandler(const std::string& service_name) = 0;
    // Reports the status record with the given current state; a failed service reports
    // stopped with the service-specific exit code 1.
    virtual bool ReportStatus(ServiceState state, bool failed) = 0;
    // The system's error code of the last failed call.
    virtual unsigned long LastError() = 0;
    // The system calls behind the two, as failure lines name them.
    virtual std::string_view RegisterCallName() const = 0;
    virtual std::string_view ReportCallName() const = 0;
};

// The name the control handler logs for a control code ("???" for unknown codes).
std::string_view ControlName(std::uint32_t code);

class ServiceWrapper {
public:
    using LogFn = std::function<void(std::string_view)>;

    ServiceWrapper(IServiceManager& manager, ServiceCallbacks callbacks,
                   std::string_view service_name, LogFn log);

    const std::string& ServiceName() const { return service_name_; }
    ServiceState State() const { return state_.load(); }
    // Whether the start or the run callback failed.
    bool Failed() const { return failed_.load(); }

    // The service entry: runs in the service thread, returns when the service is done.
    void ServiceMain();
    // The control handler: runs in the dispatcher thread.
    void ServiceCtrlHandler(std::uint32_t code);

private:
    void Report();
    void LogFailedCall(std::string_view call);
    void Fail(std::string_view message);

    IServiceManager& manager_;
    ServiceCallbacks callbacks_;
    std::string service_name_;
    LogFn log_;
    // Written by both threads; only the current state ever changes.
    std::atomic<ServiceState> state_{ServiceState::StartPending};
    std::atomic<bool> failed_{false};
};

} // namespace torvane
