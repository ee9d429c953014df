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
    const QString text = QSettings(iniPath, QSettings::IniFormat).value(kPollListKey).toString();
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
