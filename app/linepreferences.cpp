#include "app/linepreferences.h"

#include <QSettings>

#include "comm/polllist.h"

namespace {
const QString kReconnectKey = QStringLiteral("connection/ReconnectAutomatically");
const QString kPollListKey = QStringLiteral("connection/PollList");
}  // namespace

bool linepreferences::loadReconnect(const QString &iniPath) {
    return QSettings(iniPath, QSettings::IniFormat).value(kReconnectKey, true).toBool();
}

void linepreferences::saveReconnect(bool on, const QString &iniPath) {
    QSettings(iniPath, QSettings::IniFormat).setValue(kReconnectKey, on);
}

QVector<int> linepreferences::loadPollList(const QString &iniPath) {
    // Written by hand without quotes, "1,2,5" reads as a list of three texts.
    const QString text =
        QSettings(iniPath, QSettings::IniFormat).value(kPollListKey).toStringList().join(QLatin1Char(','));
    QVector<int> addresses;
    QString error;
    if (!polllist::parse(text, &addresses, &error)) {
        return {};
    }
    return addresses;
}

void linepreferences::savePollList(const QVector<int> &addresses, const QString &iniPath) {
    QSettings(iniPath, QSettings::IniFormat).setValue(kPollListKey, polllist::text(addresses));
}
