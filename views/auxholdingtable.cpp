#include "views/auxholdingtable.h"

#include <QSignalBlocker>

#include "comm/driveregisters.h"
#include "map/registertooltip.h"
#include "views/tablecells.h"

namespace {
const int kAuxBase = driveregisters::kAuxStart;
}

AuxHoldingTable::AuxHoldingTable(QWidget *parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("tableWidget_AuxHoldings"));
    connect(this, &QTableWidget::cellChanged, this, &AuxHoldingTable::auxHoldingChanged);
}

void AuxHoldingTable::setup(const QVector<holding_t *> &aux) {
    const QSignalBlocker noEditSignals(this);
    setRowCount(0);
    m_aux = aux;
    if (m_aux.isEmpty()) {
        return;
    }
    tablecells::resetTable(this, m_aux.size(), 3);
    for (int row = 0; row < m_aux.size(); ++row) {
        const holding_t &record = *m_aux[row];
        setVerticalHeaderItem(row, tablecells::headerItem(kAuxBase + row));
        setItem(row, 0, tablecells::labelItem(record.text));
        setItem(row, 1, tablecells::valueItem(QString::number(record.def), true, false));
        setItem(row, 2, tablecells::labelItem(record.unit));
        tablecells::setRowToolTip(this, row, registertooltip::forHolding(record, kAuxBase + row));
    }
    tablecells::finishColumns(this, 115, 50, 40);
}

void AuxHoldingTable::showUpdates(int startIndex, const QVector<presentation::CellUpdate> &updates) {
    const QSignalBlocker noEditSignals(this);
    for (int k = 0; k < updates.size() && startIndex + k < rowCount(); ++k) {
        if (updates[k].set) {
            tablecells::showValue(item(startIndex + k, 1), updates[k].text);
        }
    }
}

void AuxHoldingTable::takeBackEdit(int row) {
    const QSignalBlocker noEditSignals(this);
    tablecells::takeBackEdit(item(row, 1));
}

void AuxHoldingTable::auxHoldingChanged(int row, int col) {
    if (col != 1 || row < 0 || row >= m_aux.size() || item(row, col) == nullptr) {
        return;
    }
    if (const QString refusal = m_writeRefusal ? m_writeRefusal() : QString(); !refusal.isEmpty()) {
        takeBackEdit(row);
        emit editRejected(refusal);
        return;
    }
    const presentation::EditDecision edit = presentation::decideEdit(*m_aux[row], item(row, col)->text());
    if (edit.result == presentation::EditResult::Ok) {
        emit writeRequested(m_aux.first()->add + row, edit.word, true);
    } else {
        emit editRejected(edit.rejection);
    }
}
