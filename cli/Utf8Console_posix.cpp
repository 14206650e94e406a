#include "cli/Utf8Console.h"

namespace velkor::cli {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void ShowUtf8OnConsole() {
}

} // namespace velkor::cli
