#pragma once

#include <QHash>
#include <QString>
#include <QVector>

#include "comm/overviewreading.h"
#include "map/descriptors.h"

// The overview registers of the watched drives other than the selected one, as channels of
// their own for the Time Graph ("Velocidad @2") and columns of the data log ("speed @2"). Each
// channel keeps the last value its drive reported. List registers and 32-bit halves have no
// channel, as in the data log.
namespace plotdata {

class OtherDrives {
  public:
    struct Channel {
        int address = 0;
        int position = 0;  // input register
        QString name;      // data-log column: "speed @2"
        QString text;      // curve: "Velocidad @2"
        QString unit;
    };

    // The registers must outlive the use of this object.
    void configure(const QVector<input_reg_t *> &inputs, const QVector<int> &positions,
                   const QVector<int> &pollList, int selected);
    const QVector<Channel> &channels() const { return m_channels; }

    // Keeps the scaled values of a reading of one of the drives.
    void note(const OverviewReading &reading);
    // One value per channel, NaN where its drive has not answered yet.
    QVector<double> values() const;

    // Data-log entries, each ";" + text, to follow the selected drive's columns.
    QString nameEntries() const;
    QString unitEntries() const;
    QString valueEntries() const;

  private:
    static qint64 key(int address, int position) { return (qint64(address) << 32) | quint32(position); }

    QVector<input_reg_t *> m_inputs;
    QVector<Channel> m_channels;
    QHash<qint64, double> m_last;
    // As the tables show them, so the data log holds the register's own decimals.
    QHash<qint64, QString> m_lastText;
};

}  // namespace plotdata
