#include "views/inputregistertable.h"

#include <QColor>

#include "map/presentation.h"
#include "map/registertooltip.h"
#include "views/tablecells.h"

namespace {

QColor rowColour(const input_reg_t &reg) {
    if (reg.bg_r > 255 || reg.bg_g > 255 || reg.bg_b > 255) {
        return QColor();
    }
    return QColor(reg.bg_r, reg.bg_g, reg.bg_b);
}

}  // namespace

InputRegisterTable::InputRegisterTable(QWidget *parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("tableWidget_InputRegisters"));
}

void InputRegisterTable::setup(const QVector<input_reg_t *> &registers, int col1Width, int col2Width,
                               int col3Width) {
    m_registers = registers;
    tablecells::resetTable(this, m_registers.size(), 3);
    for (int row = 0; row < m_registers.size(); ++row) {
        fillRow(row, *m_registers[row]);
        setRowHidden(row, presentation::isHiddenInputRow(*m_registers[row]));
    }
    tablecells::fitColumns(this, col1Width, col2Width, col3Width);
}

void InputRegisterTable::fillRow(int row, const input_reg_t &reg) {
    setVerticalHeaderItem(row, tablecells::headerItem(row));
    setItem(row, 0, tablecells::labelItem(reg.text));
    setItem(row, 1, tablecells::valueItem(QString::number(reg.def), false, true));
    setItem(row, 2, tablecells::labelItem(presentation::shownUnit(reg.unit)));
    tablecells::setRowToolTip(this, row, registertooltip::forInput(reg, row));
    const QColor colour = rowColour(reg);
    if (colour.isValid()) {
        for (int column = 0; column < 3; ++column) {
            item(row, column)->setBackground(colour);
        }
    }
}

QSize InputRegisterTable::sizeHint() const {
    return QSize(tablecells::fullWidth(this), QTableWidget::sizeHint().height());
}

QString InputRegisterTable::showWords(const QVector<uint16_t> &words) {
    QString dataLogLine;
    const QVector<presentation::CellUpdate> updates =
        presentation::applyInputWords(m_registers, words, &dataLogLine);
    for (int row = 0; row < updates.size() && row < rowCount(); ++row) {
        if (updates[row].set) {
            item(row, 1)->setText(updates[row].text);
        }
    }
    return dataLogLine;
}
