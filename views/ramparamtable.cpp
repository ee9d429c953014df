#include "views/ramparamtable.h"

#include <QDebug>
#include <QLineEdit>
#include <QSignalBlocker>

#include "map/presentation.h"
#include "map/registertooltip.h"
#include "views/tablecells.h"

RamParamTable::RamParamTable(QWidget *parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("tableWidget_RAMparam"));
    setMinimumSize(200, 200);
    setMaximumSize(500, 200);
    connect(this, &QTableWidget::cellChanged, this, &RamParamTable::ramparamChanged);
}

void RamParamTable::setup(const QVector<holding_t *> &params) {
    const QSignalBlocker noEditSignals(this);
    setRowCount(0);
    m_params = params;
    m_passwordField = nullptr;
    m_passwordAddress = -1;
    if (m_params.isEmpty()) {
        return;
    }
    qDebug() << "setupTableRAMparam: fin while";
    m_baseAddress = m_params.first()->add;
    qDebug() << "despl_ramparam: " << m_baseAddress;
    qDebug() << "ramparam size: " << m_params.size();
    tablecells::resetTable(this, m_params.size(), 3);
    for (int row = 0; row < m_params.size(); ++row) {
        fillRow(row, *m_params[row]);
    }
    qDebug() << "fin for";
    tablecells::finishColumns(this, 110, 65);
    qDebug() << "tableWidget_RAMparam->show()";
}

void RamParamTable::fillRow(int row, const holding_t &param) {
    setVerticalHeaderItem(row, tablecells::headerItem(m_baseAddress + row));
    setItem(row, 0, tablecells::labelItem(param.text));
    if (param.vis_type == QLatin1String("pass")) {
        m_passwordField = new QLineEdit(this);
        m_passwordField->setEchoMode(QLineEdit::Password);
        m_passwordAddress = param.add;
        connect(m_passwordField, &QLineEdit::editingFinished, this, &RamParamTable::on_PassEditingFinished);
        setItem(row, 1, tablecells::labelItem(QString()));
        setCellWidget(row, 1, m_passwordField);
    } else {
        setItem(row, 1, tablecells::valueItem(QString::number(param.def), true, false));
    }
    setItem(row, 2, tablecells::labelItem(presentation::shownUnit(param.unit)));
    tablecells::setRowToolTip(this, row, registertooltip::forHolding(param, m_baseAddress + row));
}

void RamParamTable::setValueTextSilently(int row, const QString &text) {
    const QSignalBlocker noEditSignals(this);
    if (row >= 0 && row < rowCount()) {
        if (item(row, 1) == nullptr) {
            setItem(row, 1, tablecells::valueItem(text, true, false));
        } else {
            tablecells::showValue(item(row, 1), text);
        }
    }
}

void RamParamTable::takeBackEdit(int row) {
    const QSignalBlocker noEditSignals(this);
    tablecells::takeBackEdit(item(row, 1));
}

void RamParamTable::ramparamChanged(int row, int col) {
    if (col != 1 || row < 0 || row >= m_params.size() || item(row, col) == nullptr) {
        return;
    }
    if (const QString refusal = writeRefusal(); !refusal.isEmpty()) {
        takeBackEdit(row);
        emit editRejected(refusal);
        return;
    }
    const presentation::EditDecision edit = presentation::decideEdit(*m_params[row], item(row, col)->text());
    if (edit.result == presentation::EditResult::Ok) {
        // Nothing reads a RAM parameter back: what was written is what the cell goes on showing.
        setValueTextSilently(row, item(row, col)->text());
        emit writeRequested(m_baseAddress + row, edit.word, true);
    } else {
        emit editRejected(edit.rejection);
    }
}

void RamParamTable::on_PassEditingFinished() {
    if (m_passwordField == nullptr || m_passwordAddress < 0) {
        return;
    }
    if (const QString refusal = writeRefusal(); !refusal.isEmpty() && !m_passwordField->text().isEmpty()) {
        m_passwordField->clear();
        emit editRejected(refusal);
        return;
    }
    bool ok = false;
    const uint value = m_passwordField->text().toUInt(&ok, 10);
    // A register holds 16 bits; a longer number would arrive at the drive truncated.
    if (ok && value <= 0xFFFF) {
        emit writeRequested(m_passwordAddress, uint16_t(value), false);
    } else if (!m_passwordField->text().isEmpty()) {
        // The typed text is a password: it is not repeated in the message.
        emit editRejected(tr("Password not sent: it must be a number from 0 to 65535"));
    }
}
