#include "cli/CliLinkOptions.h"

#include <QHostAddress>

#include <cstdio>

namespace {

void PrintError(const QString& text) {
    std::fprintf(stderr, "tessaly-cli: %s\n", text.toUtf8().constData());
}

bool IsIpv4Address(const QString& text) {
    QHostAddress address;
    return address.setAddress(text) && address.protocol() == QAbstractSocket::IPv4Protocol;
}

QString BindAddressProblem(const QString& value) {
    return QStringLiteral("--bind needs an IPv4 address, got '%1'").arg(value);
}

} // namespace

void CliLinkOptions::Declare(QCommandLineParser& parser, bool withPort) {
    parser.addOption({QStringLiteral("host"), QStringLiteral("IPv4 address of the R/W."),
                      QStringLiteral("ADDR")});
    if (withPort)
        parser.addOption({QStringLiteral("port"), QStringLiteral("TCP port (default 9004)."),
                          QStringLiteral("N"), QStringLiteral("9004")});
    parser.addOption({QStringLiteral("bind"),
                      QStringLiteral("Local IPv4 address for UDP port 30718 (default: all)."),
                      QStringLiteral("ADDR")});
    parser.addOption({QStringLiteral("debug"), QStringLiteral("Show debug log lines.")});
    parser.addOption({QStringLiteral("log"), QStringLiteral("Also append the log to FILE."),
                      QStringLiteral("FILE")});
}

std::optional<CliLinkOptions> CliLinkOptions::Read(const QCommandLineParser& parser) {
    CliLinkOptions options;
    options.host = parser.value(QStringLiteral("host")).trimmed();
    if (!IsIpv4Address(options.host)) {
        PrintError(QStringLiteral("--host needs an IPv4 address, got '%1'").arg(options.host));
        return std::nullopt;
    }
    if (parser.optionNames().contains(QStringLiteral("port"))) {
        bool ok = false;
        options.port = parser.value(QStringLiteral("port")).toInt(&ok);
        if (!ok || options.port < 1 || options.port > 65535) {
            PrintError(QStringLiteral("--port needs a number from 1 to 65535"));
            return std::nullopt;
        }
    }
    options.bindAddress = parser.value(QStringLiteral("bind")).trimmed();
    if (!options.bindAddress.isEmpty() && !IsIpv4Address(options.bindAddress)) {
        PrintError(BindAddressProblem(options.bindAddress));
        return std::nullopt;
    }
    options.debug = parser.isSet(QStringLiteral("debug"));
    options.logFile = parser.value(QStringLiteral("log"));
    return options;
}

std::optional<QString> ReadBindOption(const QStringList& arguments, qsizetype& i,
                                      QString& bindAddress) {
    if (i + 1 >= arguments.size())
        return QStringLiteral("--bind needs an address");
    bindAddress = arguments[++i].trimmed();
    if (!IsIpv4Address(bindAddress))
        return BindAddressProblem(bindAddress);
    return std::nullopt;
}

bool ParseCliArguments(QCommandLineParser& parser, const QString& command,
                       const QStringList& arguments) {
    if (parser.parse(QStringList{command} + arguments) && parser.positionalArguments().isEmpty())
        return true;
    PrintError(
        parser.errorText().isEmpty()
            ? QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().value(0))
            : parser.errorText());
    return false;
}
