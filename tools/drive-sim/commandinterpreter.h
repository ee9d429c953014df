#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class DriveServer;

// Fault-injection and test commands, one per line:
//   silent on|off                          no answers at all
//   exception <fc-hex> <register|*> <code> answer that exception for that function and start register
//   exception clear
//   delay <ms>                             hold every answer back
//   drop <N> / corrupt <N>                 lose / damage every Nth answer (0 = off)
//   set-input <pos> <value>                force an input register (the motion leaves it alone)
//   set-holding <addr> <value>             force a holding register
//   quit
// A leading "@<address> " applies the command to that drive only; without it, to every drive.
// Numbers are decimal or 0x-prefixed hexadecimal; the function code is always hexadecimal.
class CommandInterpreter {
  public:
    struct Result {
        bool ok = true;
        bool quit = false;
        QString error;
    };

    explicit CommandInterpreter(const QList<DriveServer *> &drives) : m_drives(drives) {}

    Result execute(const QString &line);

    static std::optional<int> parseNumber(const QString &text);

  private:
    Result run(const QStringList &words, const QList<DriveServer *> &targets);
    Result runException(const QStringList &words, const QList<DriveServer *> &targets);
    Result runForce(const QStringList &words, const QList<DriveServer *> &targets, bool input);
    Result runCount(const QStringList &words, const QList<DriveServer *> &targets);

    QList<DriveServer *> m_drives;
};
