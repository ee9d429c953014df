#pragma once

#include <QDate>
#include <QString>

// The date in the compiler's __DATE__ form ("Mmm dd yyyy", English month abbreviation);
// 1900-01-01 when the month is not one of the twelve.
QDate dateFromCompilerText(const QString &text);

// "MVX/MVZ configurator - Velmor - [build: yyyy/MM/dd - hh:mm:ss]".
QString windowTitleFor(const QString &compilerDate, const QString &compilerTime);
