// velkor-cli: scripted and batch configuration of controllers.
#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/Utf8Console.h"
#include "net/UKVTSocket.h"

#include <iostream>

int main(int argc, char** argv) {
    velkor::cli::ShowUtf8OnConsole();
    const velkor::cli::ParseResult parsed =
        velkor::cli::ParseCommandLine(velkor::cli::Utf8Arguments(argc, argv));
    switch (parsed.Status) {
    case velkor::cli::ParseStatus::Help:
    case velkor::cli::ParseStatus::Version:
        std::cout << parsed.Text;
        return 0;
    case velkor::cli::ParseStatus::Error:
        std::cerr << "velkor-cli: " << parsed.Text << (parsed.Text.back() == '\n' ? "" : "\n");
        return 2;
    case velkor::cli::ParseStatus::Run:
        break;
    }
    velkor::KVT_StartSocketLibrary();
    return velkor::cli::RunCommand(parsed.Options, std::cout, std::cerr);
}
