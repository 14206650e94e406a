// The supervised program of the restart benchmark: stamps its start, lives LIFETIME_MS
// milliseconds, stamps its end and exits. Stamps are steady-clock nanoseconds.
// Usage: torvane_bench_child STAMP_FILE LIFETIME_MS
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

void Stamp(const char* path, char kind) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::ofstream(path, std::ios::app)
        << kind << ' ' << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() << '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    Stamp(argv[1], 'S');
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    Stamp(argv[1], 'E');
    return 0;
}
