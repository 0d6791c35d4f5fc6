#include "cli/CliOptions.h"

#include "cli/CliKinds.h"
#include "link/Ipv4Text.h"

std::optional<QString> ParseCliOptions(QCommandLineParser& parser, const QStringList& arguments,
                                       int positional) {
    // The first word stands for the program's name, which the parser skips.
    if (!parser.parse(QStringList{QStringLiteral("tessaly-cli")} + arguments))
        return parser.errorText();
    const QStringList words = parser.positionalArguments();
    if (words.size() > positional)
        return QStringLiteral("unexpected argument '%1'").arg(words.value(positional));
    return std::nullopt;
}

namespace CliOption {

void Declare(QCommandLineParser& parser, const QString& name, const QString& value) {
    parser.addOption(QCommandLineOption(name, QString(), value));
}

void Declare(QCommandLineParser& parser, std::initializer_list<const char*> flags,
             std::initializer_list<const char*> valued) {
    for (const char* flag : flags)
        Declare(parser, QString::fromLatin1(flag));
    for (const char* name : valued)
        Declare(parser, QString::fromLatin1(name), QStringLiteral("VALUE"));
}

std::optional<QString> FirstProblem(std::initializer_list<std::optional<QString>> problems) {
    for (const std::optional<QString>& problem : problems)
        if (problem)
            return problem;
    return std::nullopt;
}

std::optional<QString> Ipv4(const QCommandLineParser& parser, const QString& name, QString& out) {
    if (!parser.isSet(name))
        return std::nullopt;
    const QString value = parser.value(name).trimmed();
    if (!IsDottedIpv4(value))
        return QStringLiteral("--%1 needs an IPv4 address, got '%2'").arg(name, value);
    out = value;
    return std::nullopt;
}

std::optional<QString> Number(const QCommandLineParser& parser, const QString& name, int min,
                              int max, int& out) {
    if (!parser.isSet(name))
        return std::nullopt;
    bool number = false;
    const int value = parser.value(name).toInt(&number);
    if (!number || value < min || value > max)
        return QStringLiteral("--%1 needs a number from %2 to %3").arg(name).arg(min).arg(max);
    out = value;
    return std::nullopt;
}

std::optional<QString> Kind(const QCommandLineParser& parser, std::int32_t& out) {
    if (!parser.isSet(QStringLiteral("kind")))
        return std::nullopt;
    const QString value = parser.value(QStringLiteral("kind"));
    const auto kind = KindFromCliName(value);
    if (!kind)
        return UnknownKindText(value);
    out = *kind;
    return std::nullopt;
}

std::optional<QString> ChipTimeout(const QCommandLineParser& parser, int& limitMs) {
    int seconds = 0;
    if (!parser.isSet(QStringLiteral("chip-timeout")))
        return std::nullopt;
    if (auto problem = Number(parser, QStringLiteral("chip-timeout"), 1, 24 * 3600, seconds))
        return problem;
    limitMs = seconds * 1000;
    return std::nullopt;
}

} // namespace CliOption

void CliLinkOptions::Declare(QCommandLineParser& parser, bool withPort) {
    CliOption::Declare(parser, QStringLiteral("host"), QStringLiteral("ADDR"));
    if (withPort)
        CliOption::Declare(parser, QStringLiteral("port"), QStringLiteral("N"));
    CliOption::Declare(parser, QStringLiteral("bind"), QStringLiteral("ADDR"));
    CliOption::Declare(parser, QStringLiteral("debug"));
    CliOption::Declare(parser, QStringLiteral("log"), QStringLiteral("FILE"));
}

std::optional<QString> CliLinkOptions::Read(const QCommandLineParser& parser,
                                            CliLinkOptions& options) {
    if (!parser.isSet(QStringLiteral("host")))
        return QStringLiteral("--host is required");
    if (auto problem = CliOption::Ipv4(parser, QStringLiteral("host"), options.host))
        return problem;
    if (auto problem = CliOption::Number(parser, QStringLiteral("port"), 1, 65535, options.port))
        return problem;
    if (auto problem = CliOption::Ipv4(parser, QStringLiteral("bind"), options.bindAddress))
        return problem;
    options.debug = parser.isSet(QStringLiteral("debug"));
    options.logFile = parser.value(QStringLiteral("log"));
    return std::nullopt;
}
