#include "app/builddate.h"

#include <QCoreApplication>
#include <QStringList>

QDate dateFromCompilerText(const QString &text) {
    static const char *const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 3) {
        return QDate(1900, 1, 1);
    }
    for (int month = 0; month < 12; ++month) {
        if (parts[0] == QLatin1String(kMonths[month])) {
            const QDate date(parts[2].toInt(), month + 1, parts[1].toInt());
            return date.isValid() ? date : QDate(1900, 1, 1);
        }
    }
    return QDate(1900, 1, 1);
}

QString windowTitleFor(const QString &compilerDate, const QString &compilerTime) {
    return QCoreApplication::translate("MainWindow", "MVX/MVZ configurator - Velmor - [build: %1 - %2]")
        .arg(dateFromCompilerText(compilerDate).toString(QStringLiteral("yyyy/MM/dd")), compilerTime);
}
