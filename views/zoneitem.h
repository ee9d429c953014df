#pragma once

#include <qcustomplot.h>
#include <QString>

// A shaded vertical band over the whole height of the plot, from one time to another on
// the key axis: one communication outage.
class ZoneItem : public QCPItemRect {
    Q_OBJECT
  public:
    ZoneItem(QCustomPlot *plot, const QString &title);

    // Keys in the key axis's unit (seconds since the epoch on the realtime plot).
    void setInterval(double begin, double end);
    double begin() const { return topLeft->key(); }
    double end() const { return bottomRight->key(); }
    QString title() const { return m_title; }

  private:
    QString m_title;
};
