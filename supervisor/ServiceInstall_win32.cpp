// `Torvane install` and `Torvane uninstall`: the service registered with the service control
// manager, so that nobody needs `sc create`.
#include "supervisor/Options.h"
#include "supervisor/Platform.h"
#include "supervisor/Uservice.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace torvane {
namespace {

constexpr auto kStopWait = std::chrono::seconds(30);

// A service manager handle closed when it goes out of scope.
struct ScHandle {
    SC_HANDLE handle;
    explicit ScHandle(SC_HANDLE value) : handle(value) {}
    ScHandle(const ScHandle&) = delete;
    ScHandle& operator=(const ScHandle&) = delete;
    ~ScHandle() {
        if (handle != nullptr) {
            CloseServiceHandle(handle);
        }
    }
};

bool Failed(std::string_view what, std::string& message) {
    message = std::string(what) + ": " + platform::DescribeError(GetLastError());
    return false;
}

std::string NameOrDefault(std::string_view service_name) {
    return std::string(service_name.empty() ? kDefaultServiceName : service_name);
}

} // namespace

bool InstallService(std::string_view service_name, const std::vector<std::string>& arguments,
                    std::string& message) {
    const std::string name = NameOrDefault(service_name);
    std::vector<std::string> command{platform::ExecutablePath()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const std::string command_line = JoinCommandLine(command);

    const ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (manager.handle == nullptr) {
        return Failed("cannot open the service manager", message);
    }
    const std::string display_name = "Torvane " + name;
    const ScHandle service(
        CreateServiceA(manager.handle, name.c_str(), display_name.c_str(), SERVICE_CHANGE_CONFIG,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                       command_line.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (service.handle == nullptr) {
        return Failed("cannot create the service " + name, message);
    }
    std::string description = "Starts the programs of its list and keeps them running.";
    SERVICE_DESCRIPTIONA text{description.data()};
    ChangeServiceConfig2A(service.handle, SERVICE_CONFIG_DESCRIPTION, &text);
    message = "service " + name + " installed: " + command_line;
    return true;
}

bool UninstallService(std::string_view service_name, std::string& message) {
    const std::string name = NameOrDefault(service_name);
    const ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (manager.handle == nullptr) {
        return Failed("cannot open the service manager", message);
    }
    const ScHandle service(
        OpenServiceA(manager.handle, name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (service.handle == nullptr) {
        return Failed("cannot open the service " + name, message);
    }
    SERVICE_STATUS status{};
    if (ControlService(service.handle, SERVICE_CONTROL_STOP, &status)) {
        const auto deadline = std::chrono::steady_clock::now() + kStopWait;
        while (QueryServiceStatus(service.handle, &status) &&
               status.dwCurrentState != SERVICE_STOPPED &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    if (!DeleteService(service.handle)) {
        return Failed("cannot remove the service " + name, message);
    }
    message = "service " + name + " removed";
    return true;
}

} // namespace torvane
