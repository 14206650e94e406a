#include "supervisor/Guardian_linux.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace torvane::guardian {
namespace {

constexpr int kMaxGroups = 65536;
constexpr std::int32_t kStandDown = 0;
constexpr std::size_t kBatch = 1024;    // records per read
constexpr long kReadPause = 20'000'000; // ns between reads

int writer = -1;
pid_t guardian = 0;
// The guardian's list, in its own copy of memory after the fork.
pid_t groups[kMaxGroups];

[[noreturn]] void RunGuardian(int reader) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, nullptr); // a terminal's Ctrl+C is for the supervisor
    sigaction(SIGHUP, &ignore, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    prctl(PR_SET_NAME, "torvane-guard");
    const int null = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; ++fd) {
        dup2(null, fd);
    }
    // Nothing of the supervisor's is held open, so that its files and pipes close with it.
    close_range(3, static_cast<unsigned>(reader) - 1, 0);
    close_range(static_cast<unsigned>(reader) + 1, ~0u, 0);

    // Records are read in batches with a pause between reads, so that the supervisor's
    // writes seldom have to wake the guardian (a wake-up per start and per end cost both
    // processes more than the records themselves). The pipe holds thousands of records, and
    // each is written whole (a pipe write of at most PIPE_BUF bytes is never split), so a read
    // of a whole number of records returns whole records.
    const timespec pause{0, kReadPause};
    int count = 0;
    std::int32_t records[kBatch];
    for (;;) {
        const ssize_t length = read(reader, records, sizeof records);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            break; // the supervisor has gone without standing the guardian down
        }
        const auto received = static_cast<std::size_t>(length) / sizeof(std::int32_t);
        for (std::size_t at = 0; at < received; ++at) {
            const std::int32_t record = records[at];
            if (record == kStandDown) {
                _exit(0);
            }
            if (record > 0 && count < kMaxGroups) {
                groups[count++] = record;
            }
            for (int index = 0; record < 0 && index < count; ++index) {
                if (groups[index] == -record) {
                    groups[index] = groups[--count];
                    break;
                }
            }
        }
        nanosleep(&pause, nullptr);
    }
    for (int index = 0; index < count; ++index) {
        kill(-groups[index], SIGKILL);
    }
    _exit(0);
}

void Send(std::int32_t record) {
    if (writer >= 0) {
        // Never waits: a guardian that falls behind misses a record rather than stall anything.
        [[maybe_unused]] const ssize_t sent = write(writer, &record, sizeof record);
    }
}

} // namespace

void Start() {
    int ends[2];
    if (guardian != 0 || pipe2(ends, O_CLOEXEC) != 0) {
        return;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(ends[1]);
        RunGuardian(ends[0]);
    }
    close(ends[0]);
    if (pid < 0) {
        close(ends[1]);
        return;
    }
    writer = ends[1];
    fcntl(writer, F_SETFL, O_NONBLOCK);
    guardian = pid;
}

void Guard(pid_t group) {
    Send(group);
}

void Release(pid_t group) {
    Send(-group);
}

void StandDown() {
    if (guardian == 0) {
        return;
    }
    Send(kStandDown);
    close(writer);
    writer = -1;
    waitpid(guardian, nullptr, 0); // or already reaped with the other children
    guardian = 0;
}

pid_t Pid() {
    return guardian;
}

} // namespace torvane::guardian
