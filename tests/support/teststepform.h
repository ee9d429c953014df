#pragma once

#include <QString>
#include <QStringList>

namespace testform {

// Test-file elements from a short form: parts split by ';', each raw XML (starting with '<' or a
// line break), "tag=text" or "tag field=value ...".
inline QByteArray stepsXml(const QString &form) {
    QString out;
    for (const QString &part : form.split(';', Qt::SkipEmptyParts)) {
        if (part.startsWith('<') || part.startsWith('\n')) {
            out += part;
            continue;
        }
        QStringList words = part.split(' ', Qt::SkipEmptyParts);
        const QStringList tag = words.takeFirst().split('=');
        QString inner = tag.value(1);
        for (const QString &field : words) {
            inner += QStringLiteral("<%1>%2</%1>").arg(field.section('=', 0, 0), field.section('=', 1));
        }
        out += QStringLiteral("<%1>%2</%1>").arg(tag[0], inner);
    }
    return out.toUtf8();
}

}  // namespace testform
