#include "link/Ipv4Text.h"

#include <QStringList>

bool IsDottedIpv4(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        bool number = false;
        const int value = part.toInt(&number);
        if (!number || part.size() > 3 || value < 0 || value > 255 || part.startsWith('+') ||
            part.startsWith('-'))
            return false;
        for (const QChar c : part)
            if (!c.isDigit())
                return false;
    }
    return true;
}
