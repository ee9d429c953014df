#include "views/busoverviewpanel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "comm/polllist.h"
#include "map/overviewregisters.h"
#include "map/presentation.h"

namespace {

constexpr int kAgeRefreshMs = 500;
const QColor kAlarmColour(255, 120, 120);

QTableWidgetItem *cell(const QString &text) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QColor registerColour(const input_reg_t &reg) {
    if (reg.bg_r > 255 || reg.bg_g > 255 || reg.bg_b > 255) {
        return QColor();
    }
    return QColor(reg.bg_r, reg.bg_g, reg.bg_b);
}

}  // namespace

BusOverviewPanel::BusOverviewPanel(QWidget *parent)
    : QWidget(parent),
      m_edit(new QLineEdit(this)),
      m_error(new QLabel(this)),
      m_table(new QTableWidget(this)),
      m_ageTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("busOverview"));
    m_edit->setObjectName(QStringLiteral("pollList"));
    m_edit->setPlaceholderText(tr("e.g. 1,2,5 (empty: the selected drive only)"));
    m_edit->setToolTip(
        tr("Drives to watch on this line, besides the selected one. Tick drives in the address "
           "table, or type their addresses."));
    m_error->setStyleSheet(QStringLiteral("color: #c00000"));
    m_error->setVisible(false);
    m_table->setObjectName(QStringLiteral("busOverviewTable"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    // A handful of narrow columns whose texts change with every reading.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setToolTip(tr("Double-click a drive to select it"));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Poll list:"), this));
    row->addWidget(m_edit, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_error);
    layout->addWidget(m_table, 1);

    connect(m_edit, &QLineEdit::editingFinished, this, &BusOverviewPanel::onListEdited);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int tableRow, int) {
        if (tableRow >= 0 && tableRow < m_list.size()) {
            emit driveChosen(m_list.at(tableRow));
        }
    });
    m_ageTimer->setInterval(kAgeRefreshMs);
    connect(m_ageTimer, &QTimer::timeout, this, &BusOverviewPanel::refreshAges);
    m_ageTimer->start();
    rebuildRows();
}

QSize BusOverviewPanel::minimumSizeHint() const {
    const QMargins margins = layout()->contentsMargins();
    const int rows = m_table->horizontalHeader()->sizeHint().height() +
                     kRowsInSight * m_table->verticalHeader()->defaultSectionSize() +
                     2 * m_table->frameWidth();
    const int height =
        margins.top() + m_edit->sizeHint().height() + layout()->spacing() + rows + margins.bottom();
    return QSize(QWidget::minimumSizeHint().width(), height);
}

void BusOverviewPanel::setRegisters(const QVector<input_reg_t *> &inputs, const QVector<int> &positions) {
    m_inputs = inputs;
    m_positions.clear();
    for (const int position : positions) {
        if (position >= 0 && position < inputs.size() && inputs.at(position)) {
            m_positions << position;
        }
    }
    rebuildRows();
}

void BusOverviewPanel::setPollList(const QVector<int> &addresses) {
    m_list = addresses;
    m_edit->setText(polllist::text(addresses));
    m_error->setVisible(false);
    rebuildRows();
}

void BusOverviewPanel::onListEdited() {
    QVector<int> addresses;
    QString error;
    if (!polllist::parse(m_edit->text(), &addresses, &error)) {
        m_error->setText(error);
        m_error->setVisible(true);
        return;
    }
    if (addresses == m_list) {
        m_error->setVisible(false);
        return;
    }
    setPollList(addresses);
    emit pollListChanged(addresses);
}

void BusOverviewPanel::rebuildRows() {
    QStringList headers{tr("Address"), tr("Model"), tr("Firmware")};
    for (const int position : qAsConst(m_positions)) {
        headers << m_inputs.at(position)->text;
    }
    headers << tr("Age") << tr("Failures");
    m_table->clear();
    m_table->setColumnCount(headers.size());
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setRowCount(m_list.size());
    for (int row = 0; row < m_list.size(); ++row) {
        m_table->setItem(row, 0, cell(QString::number(m_list.at(row))));
        for (int column = 1; column < headers.size(); ++column) {
            m_table->setItem(row, column, cell(QString()));
        }
        m_table->item(row, headers.size() - 1)->setText(QStringLiteral("0"));
    }
    m_lastAnswer.clear();
    setSelected(m_selected);
}

void BusOverviewPanel::setSelected(int address) {
    m_selected = address;
    for (int row = 0; row < m_list.size(); ++row) {
        for (int column = 0; column < m_table->columnCount(); ++column) {
            QFont font = m_table->item(row, column)->font();
            font.setBold(m_list.at(row) == address);
            m_table->item(row, column)->setFont(font);
        }
    }
}

void BusOverviewPanel::showReading(const OverviewReading &reading) {
    const int row = rowOf(reading.address);
    if (row < 0) {
        return;
    }
    m_table->item(row, ageColumn() + 1)->setText(QString::number(reading.failures));
    if (reading.identification.size() >= 4) {
        m_table->item(row, 1)->setText(QString::number(reading.identification.at(3)));
        m_table->item(row, 2)->setText(
            QStringLiteral("%1 / %2").arg(reading.identification.at(1)).arg(reading.identification.at(2)));
    }
    if (!reading.answered) {
        return;
    }
    m_lastAnswer[reading.address].start();
    for (int i = 0; i < m_positions.size(); ++i) {
        const int at = reading.positions.indexOf(m_positions.at(i));
        if (at < 0 || at >= reading.words.size()) {
            continue;
        }
        const input_reg_t &reg = *m_inputs.at(m_positions.at(i));
        const uint16_t word = reading.words.at(at);
        QTableWidgetItem *item = m_table->item(row, kFirstValueColumn + i);
        item->setText(overviewregisters::valueText(reg, word));
        const QColor colour =
            overviewregisters::isActiveAlarm(reg, word) ? kAlarmColour : registerColour(reg);
        item->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
    }
    refreshAges();
}

void BusOverviewPanel::refreshAges() {
    for (int row = 0; row < m_list.size(); ++row) {
        const auto found = m_lastAnswer.constFind(m_list.at(row));
        const QString age = found == m_lastAnswer.constEnd()
                                ? QStringLiteral("-")
                                : tr("%1 s").arg(found->elapsed() / 1000.0, 0, 'f', 1);
        m_table->item(row, ageColumn())->setText(age);
    }
}
