#include "supervisor/UserviceCore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace torvane;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// A service manager that records what it is told and fails where a test asks it to.
class FakeServiceManager : public IServiceManager {
public:
    bool RegisterControlHandler(const std::string& name) override {
        registered_name = name;
        last_error = register_error;
        return register_error == 0;
    }
    bool ReportStatus(ServiceState state, bool failed) override {
        const bool fail = state == fail_report_of;
        last_error = fail ? 5 : 0;
        if (!fail) {
            reports.push_back(static_cast<int>(state));
            reported_failure = failed;
        }
        return !fail;
    }
    unsigned long LastError() override { return last_error; }
    std::string_view RegisterCallName() const override { return "RegisterServiceCtrlHandler"; }
    std::string_view ReportCallName() const override { return "SetServiceStatus"; }

    std::string registered_name;
    std::vector<int> reports;
    bool reported_failure = false;
    unsigned long register_error = 0;
    std::optional<ServiceState> fail_report_of;
    unsigned long last_error = 0;
};

struct WrapperFixture : ::testing::Test {
    ServiceWrapper MakeWrapper(ServiceCallbacks callbacks, std::string_view name = "svc") {
        return ServiceWrapper(manager, std::move(callbacks), name,
                              [this](std::string_view line) { log.emplace_back(line); });
    }
    ServiceCallbacks Recording(bool start_result = true, bool run_result = true) {
        return {[this, start_result] {
                    calls.push_back("start");
                    return start_result;
                },
                [this, run_result] {
                    calls.push_back("run");
                    return run_result;
                },
                [this] { calls.push_back("stop"); }, [this] { calls.push_back("reload"); }};
    }

    FakeServiceManager manager;
    std::vector<std::string> log;
    std::vector<std::string> calls;
};

constexpr int kStopped = 1;
constexpr int kStartPending = 2;
constexpr int kRunning = 4;

} // namespace

TEST_F(WrapperFixture, RunsStartThenRunAndReportsTheStopFromTheHandler) {
    auto wrapper = MakeWrapper(Recording());
    wrapper.ServiceMain();
    EXPECT_EQ(manager.registered_name, "svc");
    EXPECT_THAT(manager.reports, ElementsAre(kStartPending, kRunning));
    EXPECT_EQ(wrapper.State(), ServiceState::Running);

    wrapper.ServiceCtrlHandler(service_control::Stop);
    EXPECT_THAT(calls, ElementsAre("start", "run", "stop"));
    EXPECT_THAT(manager.reports, ElementsAre(kStartPending, kRunning, kStopped));
    EXPECT_THAT(log, ElementsAre("userv: starting", "userv: started",
                                 "userv: control SERVICE_CONTROL_STOP", "userv: stopping"));
}

TEST_F(WrapperFixture, EmptyNameGivesTheDefaultServiceName) {
    auto wrapper = MakeWrapper({}, "");
    EXPECT_EQ(wrapper.ServiceName(), "ovra_global");
    wrapper.ServiceMain();
    EXPECT_EQ(manager.registered_name, "ovra_global");
}

TEST_F(WrapperFixture, FailedStartIsLoggedAndReportedStopped) {
    auto wrapper = MakeWrapper(Recording(false));
    wrapper.ServiceMain();
    EXPECT_THAT(calls, ElementsAre("start"));
    EXPECT_THAT(manager.reports, ElementsAre(kStartPending, kStopped));
    EXPECT_THAT(log, ElementsAre("userv: starting", "userv: {error} uservice_on_start failed"));
    EXPECT_TRUE(wrapper.Failed());
    EXPECT_TRUE(manager.reported_failure);
}

TEST_F(WrapperFixture, FailedOrAbsentRunIsLoggedAndReportedStopped) {
    auto failing = MakeWrapper(Recording(true, false));
    failing.ServiceMain();
    EXPECT_THAT(manager.reports, ElementsAre(kStartPending, kRunning, kStopped));
    EXPECT_EQ(log.back(), "userv: {error} uservice_on_run failed or not assigned");
    EXPECT_TRUE(failing.Failed());
    EXPECT_TRUE(manager.reported_failure);

    // Without any callback the start counts as done and the missing run stops the service.
    log.clear();
    manager.reports.clear();
    auto empty = MakeWrapper({});
    empty.ServiceMain();
    EXPECT_THAT(manager.reports, ElementsAre(kStartPending, kRunning, kStopped));
    EXPECT_THAT(log, ElementsAre("userv: starting", "userv: started",
                                 "userv: {error} uservice_on_run failed or not assigned"));
    EXPECT_EQ(empty.State(), ServiceState::Stopped);
}

TEST_F(WrapperFixture, ManagerFailuresAreLoggedWithTheirCodes) {
    manager.register_error = 6;
    auto unregistered = MakeWrapper(Recording());
    unregistered.ServiceMain();
    EXPECT_THAT(log, ElementsAre("userv: {error} RegisterServiceCtrlHandler (6)"));
    EXPECT_THAT(manager.reports, IsEmpty());
    EXPECT_THAT(calls, IsEmpty());

    log.clear();
    manager.register_error = 0;
    manager.fail_report_of = ServiceState::Running;
    auto unreported = MakeWrapper(Recording());
    unreported.ServiceMain();
    EXPECT_THAT(log, ElementsAre("userv: starting", "userv: {error} SetServiceStatus (5)"));
    EXPECT_THAT(calls, ElementsAre("start")); // the loop never runs

    log.clear();
    manager.fail_report_of = ServiceState::Stopped;
    unreported.ServiceCtrlHandler(service_control::Stop);
    EXPECT_THAT(log, ElementsAre("userv: control SERVICE_CONTROL_STOP", "userv: stopping",
                                 "userv: {error} SetServiceStatus (5)"));
}

TEST_F(WrapperFixture, OtherControlsAreNamedAndReReportTheUnchangedState) {
    auto wrapper = MakeWrapper(Recording());
    wrapper.ServiceMain();
    manager.reports.clear();
    log.clear();
    for (const std::uint32_t code : {0u, 2u, 3u, 4u, 5u, 6u, 7u, 200u}) {
        wrapper.ServiceCtrlHandler(code);
    }
    EXPECT_THAT(log, ElementsAre("userv: control ???", "userv: control SERVICE_CONTROL_PAUSE",
                                 "userv: control SERVICE_CONTROL_CONTINUE",
                                 "userv: control SERVICE_CONTROL_INTERROGATE",
                                 "userv: control SERVICE_CONTROL_SHUTDOWN",
                                 "userv: control SERVICE_CONTROL_PARAMCHANGE", "userv: control ???",
                                 "userv: control ???"));
    EXPECT_EQ(manager.reports, std::vector<int>(8, kRunning));
    // Only the stop control stops; the parameter change asks for a reload.
    EXPECT_THAT(calls, ElementsAre("start", "run", "reload"));
    EXPECT_FALSE(wrapper.Failed());
    EXPECT_FALSE(manager.reported_failure);
}

TEST_F(WrapperFixture, StopDuringTheStartKeepsTheServiceStopped) {
    ServiceWrapper* self = nullptr;
    ServiceCallbacks callbacks = Recording();
    callbacks.uservice_on_start = [&] {
        calls.push_back("start");
        self->ServiceCtrlHandler(service_control::Stop); // the stop control arrives now
        return true;
    };
    auto wrapper = MakeWrapper(callbacks);
    self = &wrapper;
    wrapper.ServiceMain();
    EXPECT_THAT(calls, ElementsAre("start", "stop"));
    EXPECT_THAT(manager.reports, ElementsAre(kStartPending, kStopped));
    EXPECT_EQ(wrapper.State(), ServiceState::Stopped);
    EXPECT_THAT(log, ElementsAre("userv: starting", "userv: control SERVICE_CONTROL_STOP",
                                 "userv: stopping"));
}
