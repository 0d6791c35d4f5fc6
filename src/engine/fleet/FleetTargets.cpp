#include "fleet/FleetTargets.h"

#include "link/Ipv4Text.h"

#include <QFile>
#include <QHostAddress>
#include <QSet>

std::optional<QString> ParseFleetHost(const QString& text, FleetTarget& target) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    target.host = (colon < 0 ? text : text.left(colon)).trimmed();
    QHostAddress address;
    if (!IsDottedIpv4(target.host) || !address.setAddress(target.host))
        return QStringLiteral("'%1' is not an IPv4 address").arg(target.host);
    target.host = address.toString(); // one spelling, for the duplicate check and file names
    target.port = 9004;
    if (colon >= 0) {
        bool number = false;
        target.port = text.mid(colon + 1).toInt(&number);
        if (!number || target.port < 1 || target.port > 65535)
            return QStringLiteral("'%1' has no port number from 1 to 65535").arg(text);
    }
    return std::nullopt;
}

std::vector<HostsLine> ParseHostsText(const QString& text) {
    std::vector<HostsLine> parsed;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].left(lines[n].indexOf(QLatin1Char('#'))).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        HostsLine entry;
        entry.number = int(n) + 1;
        std::optional<QString> problem = ParseFleetHost(words[0], entry.target);
        if (!problem && words.size() > 2)
            problem = QStringLiteral("too many words");
        if (!problem && words.size() == 2) {
            if (words[1].compare(QLatin1String("boot"), Qt::CaseInsensitive) == 0)
                entry.target.rewrite = true;
            else
                problem = QStringLiteral("'%1' is not \"boot\"").arg(words[1]);
        }
        entry.problem = problem;
        parsed.push_back(entry);
    }
    return parsed;
}

std::optional<QString> ReadHostsFile(const QString& fileName, std::vector<FleetTarget>& targets) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("%1: %2").arg(fileName, file.errorString());
    for (const HostsLine& line : ParseHostsText(QString::fromUtf8(file.readAll()))) {
        if (line.problem)
            return QStringLiteral("%1:%2: %3").arg(fileName).arg(line.number).arg(*line.problem);
        targets.push_back(line.target);
    }
    return std::nullopt;
}

std::optional<QString> CheckFleetTargets(const std::vector<FleetTarget>& targets) {
    if (targets.empty())
        return QStringLiteral("no R/W given (--host, --hosts or --retry)");
    if (targets.size() > std::size_t(kMaxFleetDevices))
        return QStringLiteral("%1 R/Ws given; a fleet takes at most %2")
            .arg(targets.size())
            .arg(kMaxFleetDevices);
    QSet<QString> seen;
    for (const FleetTarget& t : targets) {
        if (seen.contains(t.host))
            return QStringLiteral("%1 is given twice").arg(t.host);
        seen.insert(t.host);
    }
    return std::nullopt;
}
