#include "views/thicklinegraph.h"

#include <cmath>

ThickLineGraph::ThickLineGraph(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis) {}

void ThickLineGraph::drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const {
    const QPen pen = painter->pen();
    const int width = int(std::lround(pen.widthF()));
    if (width <= 1 || pen.style() != Qt::SolidLine || pen.color().alpha() == 0 ||
        painter->modes().testFlag(QCPPainter::pmVectorized) ||
        painter->modes().testFlag(QCPPainter::pmNoCaching)) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    QPen thin(pen);
    thin.setWidth(0);
    painter->setPen(thin);
    // A width × width pixel brush dragged along the line.
    for (int dx = 0; dx < width; ++dx) {
        for (int dy = 0; dy < width; ++dy) {
            painter->save();
            painter->translate(dx, dy);
            drawPolyline(painter, lines);
            painter->restore();
        }
    }
    painter->setPen(pen);
}
