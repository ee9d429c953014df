#include "comm/polllist.h"

#include <QRegularExpression>
#include <QStringList>

namespace polllist {

namespace {

constexpr int kLastAddress = 247;

bool parseAddress(const QString &text, int *address) {
    bool ok = false;
    *address = text.toInt(&ok, 10);
    return ok && *address >= 1 && *address <= kLastAddress;
}

}  // namespace

bool parse(const QString &text, QVector<int> *addresses, QString *error) {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    QVector<int> out;
    for (const QString &part : text.split(separators, Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(QLatin1Char('-'));
        int first = 0;
        int last = 0;
        const bool valid = ends.size() <= 2 && parseAddress(ends.first(), &first) &&
                           parseAddress(ends.last(), &last) && first <= last;
        if (!valid) {
            *error =
                QStringLiteral("'%1' is not an address 1-%2 or a range of them").arg(part).arg(kLastAddress);
            return false;
        }
        for (int address = first; address <= last; ++address) {
            if (!out.contains(address)) {
                out << address;
            }
        }
    }
    *addresses = out;
    return true;
}

QString text(const QVector<int> &addresses) {
    QStringList parts;
    for (const int address : addresses) {
        parts << QString::number(address);
    }
    return parts.join(QLatin1Char(','));
}

}  // namespace polllist
