// The supervised program of the restart benchmark: stamps its start, lives LIFETIME_MS
// milliseconds plus a random 0..JITTER_MS, stamps its end and exits. Stamps are steady-clock
// nanoseconds ("S <ns>", "E <ns>"), appended with one write each. Kept to system calls so that
// starting it costs as little as possible: the supervisors are measured, not the program.
// Usage: torvane_bench_child STAMP_FILE LIFETIME_MS JITTER_MS
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

long long Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now); // the clock behind std::chrono::steady_clock
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

void Stamp(int fd, char kind) {
    char line[48];
    const int length = std::snprintf(line, sizeof line, "%c %lld\n", kind, Now());
    [[maybe_unused]] const ssize_t written = write(fd, line, static_cast<std::size_t>(length));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return 2;
    }
    const int fd = open(argv[1], O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return 3;
    }
    Stamp(fd, 'S');
    std::srand(static_cast<unsigned>(Now() ^ getpid()));
    const long jitter = std::atol(argv[3]);
    const long lifetime = std::atol(argv[2]) + (jitter > 0 ? std::rand() % (jitter + 1) : 0);
    const timespec pause{lifetime / 1000, (lifetime % 1000) * 1'000'000};
    nanosleep(&pause, nullptr);
    Stamp(fd, 'E');
    close(fd);
    return 0;
}
