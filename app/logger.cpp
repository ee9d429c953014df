#include "app/logger.h"

#include <QDir>
#include <QLocale>
#include <QTextStream>

namespace {

// Bounds the search for a free name; a thousand logs of one kind in one second is no log.
const int kMaxSameSecondLogs = 1000;

QString formatted(const QDateTime &when, const QString &format) {
    return QLocale::c().toString(when, format);
}

// An empty directory means the working directory, not the file-system root.
QString directoryPrefix(const QString &dir) {
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}

}  // namespace

logger::logger(QObject *parent) : QObject(parent) {
    m_monotonicTimer.start();
    setClocks(WallClock(), MonotonicClock());
}

void logger::setClocks(WallClock now, MonotonicClock monotonicMs) {
    m_now = now ? std::move(now) : [] { return QDateTime::currentDateTime(); };
    m_monotonicMs = monotonicMs ? std::move(monotonicMs) : [this] { return m_monotonicTimer.elapsed(); };
}

bool logger::startLog(const QString &dir, const QString &name) {
    m_file.reset();  // each start replaces the previous file
    restartClocks();
    QString base = QStringLiteral("%1/%2").arg(directoryPrefix(dir),
                                               formatted(m_start, QStringLiteral("yyyyMMdd-hhmmss")));
    if (!name.isEmpty() && name != QLatin1String("log")) {
        base += QLatin1Char('-') + name;
    }
    if (!openNewLog(base)) {
        return false;
    }
    write(stampLine(QStringLiteral("Log started at "), m_start));
    return true;
}

bool logger::startSummary(const QString &dir, const QString &name) {
    Q_UNUSED(name)
    m_file.reset();
    restartClocks();
    const QString path = QStringLiteral("%1/%2-summary.txt")
                             .arg(directoryPrefix(dir), formatted(m_start, QStringLiteral("yyyyMMdd")));
    return openFile(path, QIODevice::WriteOnly | QIODevice::Append);
}

void logger::writeLine(const QString &text) {
    if (isOpen()) {
        write(elapsedText(m_monotonicMs() - m_startMs) + text);
    }
}

void logger::writeRaw(const QString &text) {
    write(text);
}

void logger::finishLog() {
    if (!isOpen()) {
        return;
    }
    write(stampLine(QStringLiteral("Log finished at "), m_now()));
    m_file->close();
}

bool logger::isOpen() const {
    return m_file && m_file->isOpen();
}

QString logger::fileName() const {
    return m_file ? m_file->fileName() : QString();
}

QString logger::elapsedText(qint64 milliseconds) {
    const qint64 ms = qMax<qint64>(0, milliseconds);
    const QChar zero(QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000, 2, 10, zero)
        .arg(ms / 60000 % 60, 2, 10, zero)
        .arg(ms / 1000 % 60, 2, 10, zero)
        .arg(ms % 1000, 3, 10, zero);
}

void logger::restartClocks() {
    m_start = m_now();
    m_startMs = m_monotonicMs();
}

// Never reuses a file: another logger may have started in the same second.
bool logger::openNewLog(const QString &basePath) {
    for (int attempt = 1; attempt <= kMaxSameSecondLogs; ++attempt) {
        const QString suffix = attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt);
        const QString path = basePath + suffix + QStringLiteral("-log.txt");
        if (openFile(path, QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return true;
        }
        if (!QFile::exists(path)) {
            return false;  // not a name clash: the directory is missing or not writable
        }
    }
    return false;
}

bool logger::openFile(const QString &path, QIODevice::OpenMode mode) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(mode)) {
        return false;
    }
    m_file = std::move(file);
    m_writeFailureSaid = false;
    return true;
}

void logger::write(const QString &text) {
    if (!isOpen()) {
        return;
    }
    QTextStream stream(m_file.get());
    stream.setCodec("UTF-8");
    stream << text << '\n';
    stream.flush();
    const bool written = stream.status() == QTextStream::Ok && m_file->flush();
    if (!written && !m_writeFailureSaid) {
        m_writeFailureSaid = true;
        emit writeFailed(tr("Log %1 could not be written: %2")
                             .arg(QDir::toNativeSeparators(m_file->fileName()), m_file->errorString()));
    }
}

QString logger::stampLine(const QString &what, const QDateTime &when) const {
    return what + formatted(when, QStringLiteral("hh:mm:ss,zzz")) + QStringLiteral(" of ") +
           formatted(when, QStringLiteral("dd/MM/yyyy"));
}
