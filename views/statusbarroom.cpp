#include "views/statusbarroom.h"

#include <QStatusBar>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace statusbarroom {

namespace {
// QStatusBar paints its message from 6 pixels in to 2 pixels before the first permanent widget;
// a gap more keeps the message and the widget from reading as one line.
constexpr int kMessageMargins = 6 + 2 + 12;

void giveRoom(QStatusBar *bar, const QVector<QWidget *> &yielding, const QString &message) {
    const int right = yielding.last()->geometry().right() + 1;
    int gaps = right - yielding.first()->x();
    int naturalWidths = 0;
    for (const QWidget *widget : yielding) {
        gaps -= widget->width();
        naturalWidths += widget->sizeHint().width();
    }
    const int room = right - gaps - naturalWidths - kMessageMargins;
    int shortfall = message.isEmpty() ? 0 : bar->fontMetrics().horizontalAdvance(message) - room;
    for (QWidget *widget : yielding) {
        const int natural = widget->sizeHint().width();
        const int given = qBound(0, shortfall, natural - 1);
        widget->setMaximumWidth(given > 0 ? natural - given : QWIDGETSIZE_MAX);
        shortfall -= given;
    }
}
}  // namespace

void yieldToMessages(QStatusBar *bar, const QVector<QWidget *> &yielding) {
    if (yielding.isEmpty()) {
        return;
    }
    QObject::connect(bar, &QStatusBar::messageChanged, yielding.first(),
                     [bar, yielding](const QString &message) { giveRoom(bar, yielding, message); });
}

QString plainMessage(const QString &message) {
    return Qt::mightBeRichText(message) ? QTextDocumentFragment::fromHtml(message).toPlainText() : message;
}

}  // namespace statusbarroom
