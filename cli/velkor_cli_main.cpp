// velkor-cli: scripted and batch configuration of controllers.
#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/Utf8Console.h"
#include "net/UKVTSocket.h"

#include <iostream>

int main(int argc, char** argv) {
    cli::ShowUtf8OnConsole();
    const cli::ParseResult parsed = cli::ParseCommandLine(cli::Utf8Arguments(argc, argv));
    switch (parsed.Status) {
    case cli::ParseStatus::Help:
    case cli::ParseStatus::Version:
        std::cout << parsed.Text;
        return 0;
    case cli::ParseStatus::Error:
        std::cerr << "velkor-cli: " << parsed.Text << (parsed.Text.back() == '\n' ? "" : "\n");
        return 2;
    case cli::ParseStatus::Run:
        break;
    }
    KVT_StartSocketLibrary();
    return cli::RunCommand(parsed.Options, std::cout, std::cerr);
}
