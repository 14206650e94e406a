#include "ui/qt/CommandLine.h"

#include "net/UKVTSocket.h"

#include <QCommandLineParser>

CommandLineResult ParseCommandLine(const QStringList& arguments) {
    CommandLineResult result;
    QCommandLineParser parser;
    parser.setApplicationDescription("RFID Reader Configurator");
    const QCommandLineOption help(QStringList{"h", "help"}, "Show this help and exit.");
    const QCommandLineOption broadcast(
        "broadcast",
        "Send discovery and untargeted UDP commands to ADDRESS (default 255.255.255.255).",
        "ADDRESS", QString::fromStdString(result.options.BroadcastAddress));
    const QCommandLineOption logFile("log-file", "Append every traffic-log line to PATH (UTF-8).",
                                     "PATH");
    parser.addOption(help);
    parser.addOption(broadcast);
    parser.addOption(logFile);

    if (!parser.parse(arguments)) {
        result.action = CommandLineResult::Action::Fail;
        result.message = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLineResult::Action::ShowHelp;
        result.message = parser.helpText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.action = CommandLineResult::Action::Fail;
        result.message = "Unexpected argument: " + parser.positionalArguments().first();
        return result;
    }
    const std::string address = parser.value(broadcast).trimmed().toStdString();
    if (!KVT_ParseIPv4(address)) {
        result.action = CommandLineResult::Action::Fail;
        result.message = "Not an IPv4 address: " + parser.value(broadcast);
        return result;
    }
    result.options.BroadcastAddress = address;
    if (parser.isSet(logFile)) {
        const QString path = parser.value(logFile);
        if (path.isEmpty()) {
            result.action = CommandLineResult::Action::Fail;
            result.message = "The log file name is empty";
            return result;
        }
        result.options.LogFile = path.toStdString();
    }
    return result;
}
