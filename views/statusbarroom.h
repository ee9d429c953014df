#pragma once

#include <QString>
#include <QVector>

class QStatusBar;
class QWidget;

namespace statusbarroom {

// A status bar shows its message left of the first permanent widget and cuts it off there.
// While a message is shown, the `yielding` permanent widgets (left to right, each worth less
// than the message) narrow as far as the message needs, the leftmost first; they get their
// width back when the message goes. The right edge of the last one stays where it is.
void yieldToMessages(QStatusBar *bar, const QVector<QWidget *> &yielding);

// The text a status bar shows for a message that may be rich text: the log area's colour
// tags would be read as they are.
QString plainMessage(const QString &message);

}  // namespace statusbarroom
