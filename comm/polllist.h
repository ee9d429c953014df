#pragma once

#include <QString>
#include <QVector>

// The poll list as typed: addresses separated by commas or spaces, ranges as "3-5"
// ("1,2,5", "1-4 9"). Addresses are 1..247; duplicates are dropped, the order is kept.
namespace polllist {

// False with a reason when the text is not such a list; an empty text is the empty list.
bool parse(const QString &text, QVector<int> *addresses, QString *error);
// "1,2,5"
QString text(const QVector<int> &addresses);

}  // namespace polllist
