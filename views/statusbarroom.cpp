#include "views/statusbarroom.h"

#include <QStatusBar>

namespace statusbarroom {

namespace {
// QStatusBar paints its message from 6 pixels in to 2 pixels before the first permanent widget;
// a gap more keeps the message and the widget from reading as one line.
constexpr int kMessageMargins = 6 + 2 + 12;
}  // namespace

void yieldToMessages(QStatusBar *bar, QWidget *yielding) {
    QObject::connect(bar, &QStatusBar::messageChanged, yielding, [bar, yielding](const QString &message) {
        // The right edge stays where it is: the widgets right of it do not move.
        const int natural = yielding->sizeHint().width();
        const int room = yielding->geometry().right() + 1 - natural - kMessageMargins;
        const int shortfall = bar->fontMetrics().horizontalAdvance(message) - room;
        const bool fits = message.isEmpty() || shortfall <= 0;
        yielding->setMaximumWidth(fits ? QWIDGETSIZE_MAX : qMax(1, natural - shortfall));
    });
}

}  // namespace statusbarroom
