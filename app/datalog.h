#pragma once

#include <QString>
#include <QVector>

#include "map/descriptors.h"

class logger;
namespace plotdata {
class OtherDrives;
}

// The data log: while Logging is on, one line of values per input-register reply under two
// header lines (names, units). Columns line up with the values the reply line carries: list
// registers and the low halves of 32-bit pairs have no column.
class DataLog {
  public:
    explicit DataLog(logger *file) : m_file(file) {}

    // The other watched drives' overview registers get columns after the selected drive's
    // ("speed @2"), with their last values on every line. Null: none. Taken at start().
    void setOtherDrives(const plotdata::OtherDrives *others) { m_others = others; }

    // Starts a new "log" file in dir and writes the header lines; false when it cannot be created.
    bool start(const QString &dir, const QVector<input_reg_t *> &inputs, const QVector<coil_t *> &bits);
    // One reply: the input values (";" + text each) followed by the recorded bits' states.
    void writeValues(const QString &inputValues, const QVector<coil_t *> &bits);
    // The line was lost: a line with the time and every value empty, which readers take as a
    // gap; the file goes on when the line is back.
    void writeGap();
    void finish();
    bool isOpen() const;

    static QString nameHeader(const QVector<input_reg_t *> &inputs, const QVector<coil_t *> &bits);
    static QString unitHeader(const QVector<input_reg_t *> &inputs, const QVector<coil_t *> &bits);
    static QString bitStates(const QVector<coil_t *> &bits);

  private:
    logger *m_file;
    const plotdata::OtherDrives *m_others = nullptr;
    // The other drives' columns as the header named them; a later change of the poll list
    // leaves them empty rather than shifting them.
    QString m_otherNames;
    int m_otherColumns = 0;
    int m_columns = 0;
};
