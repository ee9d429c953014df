#include "map/domguard.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextCodec>

namespace domguard {

namespace {

// Index just past `terminator`, or the end of the text when it never comes.
int skipPast(const QString &text, int from, const QString &terminator) {
    const int at = text.indexOf(terminator, from);
    return at < 0 ? text.size() : at + terminator.size();
}

// Index of the '>' that closes the markup starting at `from`, outside quoted values and,
// for a declaration, outside its internal subset in brackets; -1 when it never comes.
int markupEnd(const QString &text, int from, bool declaration) {
    QChar quote;
    int brackets = 0;
    for (int i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            }
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (declaration && c == QLatin1Char('[')) {
            ++brackets;
        } else if (declaration && c == QLatin1Char(']')) {
            brackets = qMax(0, brackets - 1);
        } else if (c == QLatin1Char('>') && brackets == 0) {
            return i;
        }
    }
    return -1;
}

bool startsAt(const QString &text, int at, const char *what) {
    return text.midRef(at).startsWith(QLatin1String(what));
}

// The document as text. Without a byte-order mark it is read as UTF-8: the markup
// characters are ASCII, which any other 8-bit encoding shares; the NUL bytes of UTF-16
// without a mark are dropped so that its ASCII markup shows through.
QString decoded(const QByteArray &xml) {
    QTextCodec *codec = QTextCodec::codecForUtfText(xml, QTextCodec::codecForMib(106));
    QString text = codec->toUnicode(xml);
    text.remove(QChar(0));
    return text;
}

void lineAndColumn(const QString &text, int offset, int *line, int *column) {
    const QStringRef before = text.leftRef(offset);
    if (line) {
        *line = before.count(QLatin1Char('\n')) + 1;
    }
    if (column) {
        *column = offset - (before.lastIndexOf(QLatin1Char('\n')) + 1) + 1;
    }
}

}  // namespace

int nestingDepth(const QString &text, int *offset) {
    int depth = 0;
    int deepest = 0;
    int i = 0;
    while (deepest <= kMaxDepth && (i = text.indexOf(QLatin1Char('<'), i)) >= 0) {
        if (startsAt(text, i, "<!--")) {
            i = skipPast(text, i + 4, QStringLiteral("-->"));
            continue;
        }
        if (startsAt(text, i, "<![CDATA[")) {
            i = skipPast(text, i + 9, QStringLiteral("]]>"));
            continue;
        }
        if (startsAt(text, i, "<?")) {
            i = skipPast(text, i + 2, QStringLiteral("?>"));
            continue;
        }
        const bool declaration = startsAt(text, i, "<!");
        const int end = markupEnd(text, i + 1, declaration);
        if (startsAt(text, i, "</")) {
            depth = qMax(0, depth - 1);
        } else if (!declaration) {
            const int level = depth + 1;
            if (level > deepest) {
                deepest = level;
                if (offset) {
                    *offset = i;
                }
            }
            if (end < 0 || text.at(end - 1) != QLatin1Char('/')) {
                depth = level;
            }
        }
        if (end < 0) {
            break;
        }
        i = end + 1;
    }
    return deepest;
}

bool readFile(const QString &path, QByteArray *bytes, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("domguard", "cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    // A device or a pipe has no size: read one byte past the limit to tell.
    *bytes = file.read(kMaxFileBytes + 1);
    if (bytes->size() > kMaxFileBytes) {
        bytes->clear();
        *error = QCoreApplication::translate("domguard",
                                             "%1 is larger than %2 MB: it cannot be a file of this program")
                     .arg(path)
                     .arg(kMaxFileBytes / (1024 * 1024));
        return false;
    }
    return true;
}

bool setContent(QDomDocument &document, const QByteArray &xml, QString *message, int *line, int *column) {
    const QString text = decoded(xml);
    int offset = 0;
    if (nestingDepth(text, &offset) > kMaxDepth) {
        document.clear();
        if (message) {
            *message = QStringLiteral("elements nested more than %1 deep").arg(kMaxDepth);
        }
        lineAndColumn(text, offset, line, column);
        return false;
    }
    return document.setContent(xml, false, message, line, column);
}

}  // namespace domguard
