#include "commandconsole.h"

#include <unistd.h>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>

#include "commandinterpreter.h"

CommandConsole::CommandConsole(CommandInterpreter *interpreter, bool quitOnEof, QObject *parent)
    : QObject(parent),
      m_interpreter(interpreter),
      m_quitOnEof(quitOnEof),
      m_notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &CommandConsole::readInput);
}

void CommandConsole::readInput() {
    char buffer[1024];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (got <= 0) {
        m_notifier->setEnabled(false);  // end of input: nothing more will come
        if (m_quitOnEof) {
            emit quitRequested();
        }
        return;
    }
    m_pending.append(buffer, int(got));
    int end = 0;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (!line.isEmpty()) {
            handleLine(line);
        }
    }
}

void CommandConsole::handleLine(const QString &line) {
    const CommandInterpreter::Result result = m_interpreter->execute(line);
    const QString answer =
        result.ok ? QStringLiteral("OK %1").arg(line) : QStringLiteral("ERR %1: %2").arg(line, result.error);
    std::fputs(qPrintable(answer + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
    if (result.quit) {
        emit quitRequested();
    }
}
