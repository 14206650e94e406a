// A small program for Torvane to supervise in tests.
//   exit CODE MS [STAMPS]  reports its surroundings on standard error, lives MS milliseconds,
//                          exits with CODE; with STAMPS, appends "S <ns>" at its start and
//                          "E <ns>" just before its end (steady clock)
//   sleep                  lives until it is terminated (at most ten minutes)
//   tick FILE              appends a line to FILE every 10 ms until it is terminated
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

void Stamp(const char* path, char kind) {
    if (path == nullptr) {
        return;
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::ofstream(path, std::ios::app)
        << kind << ' ' << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() << '\n';
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "sleep") {
        std::this_thread::sleep_for(std::chrono::minutes(10));
        return 0;
    }
    if (mode == "tick" && argc > 2) {
        for (int tick = 0; tick < 60'000; ++tick) {
            std::ofstream(argv[2], std::ios::app) << "tick\n";
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 0;
    }
    if (mode != "exit" || argc < 4) {
        std::cerr << "usage: torvane_test_child exit CODE MS [STAMPS] | sleep | tick FILE\n";
        return 2;
    }
    const char* stamps = argc > 4 ? argv[4] : nullptr;
    Stamp(stamps, 'S');
    const bool stdin_empty = std::cin.get() == std::char_traits<char>::eof();
    std::cerr << "child: args=" << argc << " cwd=" << std::filesystem::current_path().string()
              << " stdin=" << (stdin_empty ? "empty" : "data")
              << " notify=" << (std::getenv("NOTIFY_SOCKET") != nullptr ? "set" : "unset")
              << std::endl;
    std::cout << "child: standard output" << std::endl;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[3])));
    Stamp(stamps, 'E');
    return std::atoi(argv[2]);
}
