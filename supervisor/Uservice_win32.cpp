// The service wrapper under the Windows service control manager.
#include "supervisor/Uservice.h"
#include "supervisor/UserviceCore.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace torvane {

namespace {

constexpr DWORD kServiceExitWaitMs = 30000;

class ScmManager final : public IServiceManager {
public:
    ScmManager() {
        status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        status_.dwCurrentState = SERVICE_START_PENDING;
        status_.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PARAMCHANGE;
    }

    bool RegisterControlHandler(const std::string& service_name) override {
        handle_ = RegisterServiceCtrlHandlerA(service_name.c_str(), &ScmManager::Handler);
        last_error_ = handle_ != nullptr ? 0 : GetLastError();
        return handle_ != nullptr;
    }

    bool ReportStatus(ServiceState state, bool failed) override {
        // Both service threads report: one status record, one report at a time.
        const std::lock_guard lock(status_mutex_);
        status_.dwCurrentState = static_cast<DWORD>(state);
        if (failed) {
            status_.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
            status_.dwServiceSpecificExitCode = 1;
        }
        const bool ok = SetServiceStatus(handle_, &status_) != FALSE;
        last_error_ = ok ? 0 : GetLastError();
        return ok;
    }

    unsigned long LastError() override { return last_error_; }
    std::string_view RegisterCallName() const override { return "RegisterServiceCtrlHandler"; }
    std::string_view ReportCallName() const override { return "SetServiceStatus"; }

    static void WINAPI ServiceMain(DWORD, LPSTR*) {
        entered = true;
        wrapper->ServiceMain();
        SetEvent(service_done);
    }
    static void WINAPI Handler(DWORD code) { wrapper->ServiceCtrlHandler(code); }

    // One service per process: the manager's entry points reach the wrapper through here.
    static inline ServiceWrapper* wrapper = nullptr;
    // Set when the service entry has returned, so that the wrapper outlives the entry.
    static inline HANDLE service_done = nullptr;
    static inline std::atomic<bool> entered{false};

private:
    std::mutex status_mutex_;
    SERVICE_STATUS status_{};
    // Like GetLastError, the code of the calling thread's last failure.
    static inline thread_local DWORD last_error_ = 0;
    SERVICE_STATUS_HANDLE handle_ = nullptr;
};

} // namespace

bool RunService(std::string_view service_name, ServiceCallbacks callbacks) {
    ScmManager manager;
    ServiceWrapper wrapper(manager, std::move(callbacks), service_name,
                           [](std::string_view message) { WriteLog(message); });
    ScmManager::wrapper = &wrapper;
    ScmManager::service_done = CreateEventA(nullptr, TRUE, FALSE, nullptr);

    std::string name = wrapper.ServiceName();
    SERVICE_TABLE_ENTRYA table[] = {{name.data(), &ScmManager::ServiceMain}, {nullptr, nullptr}};
    const BOOL ok = StartServiceCtrlDispatcherA(table);
    const DWORD error = GetLastError();
    if (!ok) {
        WriteLog("userv: {error} StartServiceCtrlDispatcher (" + std::to_string(error) + ")");
    }
    // The stop is reported before the service thread has left its loop: wait for the entry
    // to return so that nothing it uses is destroyed under it.
    if (ScmManager::entered) {
        WaitForSingleObject(ScmManager::service_done, kServiceExitWaitMs);
    }
    CloseHandle(ScmManager::service_done);
    return ok != FALSE && !wrapper.Failed();
}

} // namespace torvane
