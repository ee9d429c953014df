#pragma once

#include <qcustomplot.h>

// A graph whose lines wider than one pixel are drawn on screen as several one-pixel
// (cosmetic) passes, shifted by one pixel each, instead of being stroked: the raster engine
// strokes a 2-pixel polyline about twenty times slower, which would make a replot of ten
// curves cost tens of milliseconds. Vector output (PDF, SVG) is stroked as usual.
class ThickLineGraph : public QCPGraph {
    Q_OBJECT
  public:
    ThickLineGraph(QCPAxis *keyAxis, QCPAxis *valueAxis);

  protected:
    void drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const override;
};
