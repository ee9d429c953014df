#pragma once

#include <QCommandLineParser>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <type_traits>

#include "map/descriptors.h"
#include "map/readwarning.h"
#include "map/xmlmap.h"

// Small pieces the mvxctl commands share: argument parsing, output streams, JSON numbers.
namespace cli {

// A text stream that writes UTF-8 whatever the locale. Unlike QTextStream, which takes a
// const char * or a QByteArray as Latin-1, narrow strings are read as the UTF-8 that the
// sources and Qt's byte arrays hold, so "Número" is not printed as "NÃºmero".
class TextOut {
  public:
    explicit TextOut(FILE *file);
    TextOut &operator<<(const char *text);
    TextOut &operator<<(const QByteArray &bytes);
    // Everything that is not a narrow string goes to QTextStream as it is.
    template <typename T, typename = std::enable_if_t<!std::is_convertible<const T &, const char *>::value>>
    TextOut &operator<<(const T &value) {
        m_stream << value;
        return *this;
    }
    void flush() { m_stream.flush(); }

  private:
    QTextStream m_stream;
};

// Both are flushed when the process ends.
TextOut &out();
TextOut &err();

// Parses args (the words after the command name) into parser; on error prints it with the
// command's usage and returns false. With --help or -h it prints the usage, every option with
// its default and the command's exit codes, and ends the program with 0.
bool parse(QCommandLineParser &parser, const QStringList &args, const QString &usage);

// A float as JSON with the digits a person wrote in the file (0.1, not 0.100000001).
QJsonValue jsonFloat(float value);

// Prints the compact JSON text of a document.
void printJson(const QJsonValue &value);

// For the commands that take one file: "FILE [--json]", and "--map FILE" when mapPath is given.
// Returns 0 with the path and the flag, otherwise the exit code after printing why (2: usage,
// 1: no such file).
int fileArguments(const QStringList &args, const QString &usage, const QString &what, QString *path,
                  bool *json, QString *mapPath = nullptr);

// A register map and the two lists the drive commands poll.
struct LoadedMap {
    xmlmap map;
    QVector<input_reg_t *> inputs;
    QVector<holding_t *> holdings;
};
// False after printing "mvxctl <command>: cannot open register map ...".
bool loadMap(const QString &path, const QString &command, LoadedMap *loaded);

// A progress report that stays on one line on a terminal (each update returns to the start
// of the line with a carriage return) and becomes plain lines, one per changed text, when
// the stream goes to a pipe or a file.
class ProgressLine {
  public:
    ProgressLine(TextOut &stream, bool terminal);
    // For stderr, as the commands print progress.
    static ProgressLine forStderr();

    void show(const QString &text);
    // Ends the line on a terminal, so the next message starts on its own.
    void finish();

  private:
    TextOut *m_stream;
    bool m_terminal;
    bool m_open = false;
    QString m_last;
};

QJsonValue warningsJson(const ReadWarnings &warnings);
void printWarnings(const ReadWarnings &warnings);

}  // namespace cli
