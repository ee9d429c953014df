#include "views/zoneitem.h"

ZoneItem::ZoneItem(QCustomPlot *plot, const QString &title) : QCPItemRect(plot), m_title(title) {
    for (QCPItemPosition *corner : {topLeft, bottomRight}) {
        corner->setTypeX(QCPItemPosition::ptPlotCoords);
        corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    topLeft->setCoords(0, 0);
    bottomRight->setCoords(0, 1);

    QColor line(Qt::darkBlue);
    line.setAlpha(100);
    QPen pen(line);
    pen.setWidth(0);
    setPen(pen);
    QColor fill(Qt::darkBlue);
    fill.setAlpha(20);
    setBrush(QBrush(fill, Qt::SolidPattern));
    setSelectable(false);
}

void ZoneItem::setInterval(double begin, double end) {
    topLeft->setCoords(begin, 0);
    bottomRight->setCoords(end, 1);
}
