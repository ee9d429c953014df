#pragma once

#include <QObject>

class CommandInterpreter;
class QSocketNotifier;

// Reads commands from standard input, one per line, runs them and acknowledges each on
// standard output with "OK <command>" or "ERR <command>: <reason>".
class CommandConsole : public QObject {
    Q_OBJECT

  public:
    CommandConsole(CommandInterpreter *interpreter, bool quitOnEof, QObject *parent = nullptr);

  signals:
    void quitRequested();

  private:
    void readInput();
    void handleLine(const QString &line);

    CommandInterpreter *m_interpreter;
    bool m_quitOnEof;
    QSocketNotifier *m_notifier;
    QByteArray m_pending;
};
