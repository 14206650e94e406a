#include "supervisor/UserviceCore.h"

#include <utility>

namespace torvane {

std::string_view ControlName(std::uint32_t code) {
    switch (code) {
    case service_control::Stop:
        return "SERVICE_CONTROL_STOP";
    case service_control::Pause:
        return "SERVICE_CONTROL_PAUSE";
    case service_control::Continue:
        return "SERVICE_CONTROL_CONTINUE";
    case service_control::Interrogate:
        return "SERVICE_CONTROL_INTERROGATE";
    case service_control::Shutdown:
        return "SERVICE_CONTROL_SHUTDOWN";
    case service_control::ParamChange:
        return "SERVICE_CONTROL_PARAMCHANGE";
    default:
        return "???";
    }
}

ServiceWrapper::ServiceWrapper(IServiceManager& manager, ServiceCallbacks callbacks,
                               std::string_view service_name, LogFn log)
    : manager_(manager), callbacks_(std::move(callbacks)),
      service_name_(service_name.empty() ? kDefaultServiceName : service_name),
      log_(std::move(log)) {
}

void ServiceWrapper::Report() {
    if (!manager_.ReportStatus(state_.load(), failed_.load())) {
        LogFailedCall(manager_.ReportCallName());
    }
}

void ServiceWrapper::LogFailedCall(std::string_view call) {
    log_("userv: {error} " + std::string(call) + " (" + std::to_string(manager_.LastError()) + ")");
}

void ServiceWrapper::ServiceMain() {
    state_ = ServiceState::StartPending;
    if (!manager_.RegisterControlHandler(service_name_)) {
        LogFailedCall(manager_.RegisterCallName());
        return;
    }
    Report();
    log_("userv: starting");

    if (callbacks_.uservice_on_start && !callbacks_.uservice_on_start()) {
        Fail("userv: {error} uservice_on_start failed");
        return;
    }

    // A stop that came while the application was starting has the last word.
    auto expected = ServiceState::StartPending;
    if (!state_.compare_exchange_strong(expected, ServiceState::Running)) {
        return;
    }
    if (!manager_.ReportStatus(ServiceState::Running, false)) {
        LogFailedCall(manager_.ReportCallName());
        return;
    }
    log_("userv: started");

    if (callbacks_.uservice_on_run && callbacks_.uservice_on_run()) {
        return; // the control handler has reported the stop
    }
    Fail("userv: {error} uservice_on_run failed or not assigned");
}

void ServiceWrapper::Fail(std::string_view message) {
    log_(message);
    failed_ = true;
    state_ = ServiceState::Stopped;
    Report();
}

void ServiceWrapper::ServiceCtrlHandler(std::uint32_t code) {
    log_(std::string("userv: control ") + std::string(ControlName(code)));
    if (code == service_control::Stop) {
        state_ = ServiceState::Stopped;
        log_("userv: stopping");
        if (callbacks_.uservice_on_stop) {
            callbacks_.uservice_on_stop();
        }
    } else if (code == service_control::ParamChange && callbacks_.uservice_on_reload &&
               state_.load() == ServiceState::Running) {
        callbacks_.uservice_on_reload();
    }
    Report();
}

} // namespace torvane
