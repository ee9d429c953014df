#pragma once

#include <QString>
#include <QVector>

// The window's line preferences kept in "Settings.ini" (group connection) beside the window
// state, since settings.xml keeps only its own keys:
// - "Reconnect automatically": whether a lost line is opened again by itself; on unless the
//   user turned it off.
// - The poll list: the other drives the Bus overview watched, so a machine's axes are watched
//   again after a restart.
namespace linepreferences {

bool loadReconnect(const QString &iniPath = QStringLiteral("Settings.ini"));
void saveReconnect(bool on, const QString &iniPath = QStringLiteral("Settings.ini"));

// A list that no longer reads as one (edited by hand) is empty: the window then polls the
// selected drive alone, as it does by default.
QVector<int> loadPollList(const QString &iniPath = QStringLiteral("Settings.ini"));
void savePollList(const QVector<int> &addresses, const QString &iniPath = QStringLiteral("Settings.ini"));

}  // namespace linepreferences
