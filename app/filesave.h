#pragma once

#include <QByteArray>
#include <QString>

// The one way the program replaces a file it keeps (settings.xml, parameter files).
//
// The new content goes through QSaveFile, so a failed write leaves the previous file as it
// was. QSaveFile needs to create its temporary file beside the target, which a read-only
// folder refuses even when the file itself is writable; then, and only when the file exists
// and is writable, the file is overwritten in place: it is cut to the new size only after the
// new content is completely written, and a failed write puts the previous content back.
//
// Returns false when nothing was saved, with *error (when given) naming the file and the reason.
bool saveFileContents(const QString &path, const QByteArray &contents, QString *error = nullptr);
