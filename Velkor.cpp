// Velkor: the RFID reader configurator.
#include "ui/qt/CommandLine.h"
#include "ui/qt/Configurator.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Parsed before the window system is reached, so --help works anywhere.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const CommandLineResult command = ParseCommandLine(arguments);
    if (command.action == CommandLineResult::Action::ShowHelp) {
        std::fputs(command.message.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (command.action == CommandLineResult::Action::Fail) {
        std::fprintf(stderr, "Velkor: %s\n", command.message.toLocal8Bit().constData());
        return 2;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("RFID Reader Configurator");
    Configurator configurator(command.options);
    QString error;
    if (!configurator.Start(&error)) {
        std::fprintf(stderr, "Velkor: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return QApplication::exec();
}
