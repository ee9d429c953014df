#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// QDomDocument parses recursively, one chain of stack frames per nesting level, so a file
// nested some tens of thousands of elements deep (garbage, or a broken generator) overflows
// the stack and ends the program. Every file the program reads with the DOM is a handful of
// levels deep; anything nested deeper than kMaxDepth is refused before the DOM sees it.
// Markup inside entity declarations is not counted, but Qt caps every entity's expansion at
// 4096 characters, so entities add a few hundred levels at most.
namespace domguard {

constexpr int kMaxDepth = 256;

// The DOM takes some thirty times a file's size in memory, and every file the program reads
// with it (register maps, test files, parameter files) is some tens of kilobytes; a larger
// file than this is refused unread, before it can take gigabytes.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

// The bytes of a file for the DOM: false, with the reason, when it cannot be opened or is
// larger than kMaxFileBytes.
bool readFile(const QString &path, QByteArray *bytes, QString *error);

// QDomDocument::setContent without namespace processing, but a document nested deeper than
// kMaxDepth is refused: false, with a message and the line and column of the element that
// went too deep.
bool setContent(QDomDocument &document, const QByteArray &xml, QString *message, int *line, int *column);

// Depth of the deepest element of the document's markup (comments, CDATA sections,
// processing instructions and declarations skipped), counted up to kMaxDepth + 1; *offset
// is set to the character where that depth was first reached. Malformed markup is counted
// as far as it goes.
int nestingDepth(const QString &text, int *offset = nullptr);

}  // namespace domguard
