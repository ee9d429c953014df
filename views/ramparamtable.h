#pragma once

#include <QTableWidget>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"
#include "views/writerefusal.h"

class QLineEdit;

// tableWidget_RAMparam: the drive's RAM parameters. Row i is register base + i, base being
// the first parameter's address. A "pass" parameter is typed into a password field.
class RamParamTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit RamParamTable(QWidget *parent = nullptr);

    void setup(const QVector<holding_t *> &params);
    // Consulted at each edit and password; a refused value goes back to the one shown before, a
    // refused password is cleared.
    void setWriteRefusal(WriteRefusal refusal) { m_writeRefusal = std::move(refusal); }
    // Shows text in a value cell without writing it.
    void setValueTextSilently(int row, const QString &text);

    int baseAddress() const { return m_baseAddress; }
    QLineEdit *passwordField() const { return m_passwordField; }

    void ramparamChanged(int row, int col);
    void on_PassEditingFinished();

  signals:
    void writeRequested(int address, uint16_t value, bool echo);
    // A typed value that was not written, and why.
    void editRejected(const QString &message);

  private:
    void fillRow(int row, const holding_t &param);
    void takeBackEdit(int row);
    QString writeRefusal() const { return m_writeRefusal ? m_writeRefusal() : QString(); }

    QVector<holding_t *> m_params;
    int m_baseAddress = 0;
    int m_passwordAddress = -1;
    int m_passwordRow = -1;
    QLineEdit *m_passwordField = nullptr;
    WriteRefusal m_writeRefusal;
};
