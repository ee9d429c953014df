#pragma once

#include <QString>
#include <QVector>

// Something a file reader dropped, abandoned or fell back on. Readers keep behaving as the
// file format says; these only make the silent cases visible to the user.
struct ReadWarning {
    int line = 0;     // 1-based line in the file, 0 when unknown
    QString element;  // tag name of the element concerned
    QString reason;

    // "line 4: <min>: ..."; the reason alone when it concerns the whole file.
    QString toString() const {
        if (line == 0 && element.isEmpty()) {
            return reason;
        }
        return QStringLiteral("line %1: <%2>: %3").arg(line).arg(element, reason);
    }
};

using ReadWarnings = QVector<ReadWarning>;
