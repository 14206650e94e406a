// Velkor: the RFID reader configurator.
#include "ui/main/CommandLine.h"
#include "ui/qt/Configurator.h"
#include "ui/qt/QtSettingsStore.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Parsed before the window system is reached, so --help and --version work anywhere.
    const velkor::CommandLineResult command = velkor::ParseCommandLine({argv, argv + argc});
    switch (command.action) {
    case velkor::CommandLineResult::Action::ShowHelp:
    case velkor::CommandLineResult::Action::ShowVersion:
        std::fputs(command.message.c_str(), stdout);
        return 0;
    case velkor::CommandLineResult::Action::Fail:
        std::fprintf(stderr, "%s: %s (see --help)\n", velkor::ProgramFileName(argv[0]).c_str(),
                     command.message.c_str());
        return 2;
    case velkor::CommandLineResult::Action::Run:
        break;
    }
    if (const auto wrong = velkor::CheckInterfaceOption(command.options)) {
        std::fprintf(stderr, "%s: %s\n", velkor::ProgramFileName(argv[0]).c_str(), wrong->c_str());
        return 2;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("RFID Reader Configurator");
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) {
        icon.addFile(QString(":/icons/velkor-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);
    velkor::Configurator configurator(command.options, std::make_unique<velkor::QtSettingsStore>());
    QString error;
    if (!configurator.Start(&error)) {
        std::fprintf(stderr, "Velkor: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return QApplication::exec();
}
