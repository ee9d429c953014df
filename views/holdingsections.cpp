#include "views/holdingsections.h"

#include <QComboBox>
#include <QDebug>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "comm/driveregisters.h"
#include "map/registertooltip.h"
#include "views/section.h"
#include "views/tablecells.h"

namespace {

const int kAuxBase = driveregisters::kAuxStart;
const int kSectionRowPitch = 23;
const QColor kGreyedBackground(230, 230, 230);
// The list choice the program last showed in a combo box: a refused choice goes back to it.
const char *const kShownIndex = "shownIndex";

bool isAuxBlock(const block_t &block) {
    return block.start >= kAuxBase;
}
bool isManualBlock(const block_t &block) {
    return block.query == QLatin1String("manual");
}
bool isList(const holding_t &record) {
    return record.vis_type == QLatin1String("list");
}

}  // namespace

HoldingSections::HoldingSections(QWidget *parent) : QWidget(parent), m_layout(new QVBoxLayout(this)) {
    m_layout->setAlignment(Qt::AlignTop);
}

void HoldingSections::clear() {
    qDeleteAll(m_sections);
    qDeleteAll(m_readButtons);
    m_sections.clear();
    m_readButtons.clear();
    m_tables.clear();
    m_combos.clear();
    m_shownLevel = -1;
}

void HoldingSections::setup(const QVector<block_t *> &blocks, const QVector<holding_t *> &holdings,
                            const QVector<holding_t *> &aux, const ColumnWidths &widths,
                            QObject *comboEventFilter) {
    clear();
    m_holdings = holdings;
    m_aux = aux;
    m_widths = widths;
    m_comboFilter = comboEventFilter;
    for (const block_t *block : blocks) {
        addBlock(*block);
    }
}

// The last list position a block may use; a block reaching past its list is cut short.
int HoldingSections::lastIndexInBlock(const block_t &block) const {
    if (isAuxBlock(block)) {
        return qMin<int>(block.end - kAuxBase, m_aux.size() - 1);
    }
    return qMin<int>(block.end, m_holdings.size() - 1);
}

int HoldingSections::rowCountFor(const block_t &block) const {
    if (isAuxBlock(block)) {
        return qMax(0, lastIndexInBlock(block) - (block.start - kAuxBase) + 1);
    }
    int rows = 0;
    for (int i = block.start; i <= lastIndexInBlock(block); ++i) {
        rows += m_holdings[i]->hidden ? 0 : 1;
    }
    return rows;
}

void HoldingSections::addBlock(const block_t &block) {
    const int rows = rowCountFor(block);
    if (rows <= 0) {
        return;
    }
    auto *section = new ui::Section(block.name, 300, this);
    m_layout->addWidget(section);
    m_sections.append(section);
    QTableWidget *table = createTable(block, rows);
    if (isAuxBlock(block)) {
        fillAuxRows(table, block);
    } else {
        fillNormalRows(table, block);
    }
    tablecells::fitColumns(table, m_widths.label, m_widths.value, m_widths.unit);
    connect(table, &QTableWidget::cellChanged, this, &HoldingSections::holdingChanged);
    auto *sectionLayout = new QVBoxLayout();
    sectionLayout->setContentsMargins(0, 0, 0, 0);
    sectionLayout->addWidget(table);
    section->setContentLayout(sectionLayout);
    if (isManualBlock(block)) {
        addReadButton(block);
    }
}

QTableWidget *HoldingSections::createTable(const block_t &block, int rows) {
    auto *table = new QTableWidget(this);
    tablecells::resetTable(table, rows, 3);
    table->setMouseTracking(true);
    const int shownRows = isManualBlock(block) ? rows + 1 : rows;
    table->setFixedHeight(shownRows * kSectionRowPitch + 2);
    m_tables.append(table);
    return table;
}

void HoldingSections::fillNormalRows(QTableWidget *table, const block_t &block) {
    int row = 0;
    for (int index = block.start; index <= lastIndexInBlock(block); ++index) {
        holding_t *record = m_holdings[index];
        if (record->hidden) {
            continue;
        }
        fillRow(table, row, index, record, isList(*record));
        if (isList(*record)) {
            table->setCellWidget(row, 1, createCombo(record, index));
        }
        ++row;
    }
}

void HoldingSections::fillAuxRows(QTableWidget *table, const block_t &block) {
    const int first = block.start - kAuxBase;
    for (int index = first; index <= lastIndexInBlock(block); ++index) {
        const int row = index - first;
        holding_t *record = m_aux[index];
        fillRow(table, row, block.start + row, record, false);
        if (record->hidden) {
            table->setRowHidden(row, true);
            table->setFixedHeight(table->height() - kSectionRowPitch);
        }
    }
}

void HoldingSections::fillRow(QTableWidget *table, int row, int header, holding_t *record, bool asCombo) {
    table->setVerticalHeaderItem(row, tablecells::headerItem(header));
    table->setItem(row, 0, tablecells::labelItem(record->text, record->help));
    const QString valueText = asCombo ? QString() : QString::number(record->def);
    table->setItem(row, 1, tablecells::valueItem(valueText, !asCombo, true, record->help));
    table->setItem(row, 2, tablecells::labelItem(record->unit, record->help));
    tablecells::setRowToolTip(table, row, registertooltip::forHolding(*record, header));
    record->table = m_tables.size() - 1;
    record->row = row;
}

QComboBox *HoldingSections::createCombo(holding_t *record, int holdingIndex) {
    auto *combo = new QComboBox();
    for (const item_t *choice : qAsConst(record->items)) {
        combo->addItem(choice->text, int(choice->val));
    }
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->setStatusTip(record->help);
    combo->setToolTip(registertooltip::forHolding(*record, holdingIndex));
    if (m_comboFilter != nullptr) {
        combo->installEventFilter(m_comboFilter);
    }
    combo->setProperty("holdingIndex", holdingIndex);
    combo->setProperty(kShownIndex, combo->currentIndex());
    record->combo = m_combos.size();
    m_combos.append(combo);
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &HoldingSections::comboHoldChanged);
    return combo;
}

void HoldingSections::addReadButton(const block_t &block) {
    auto *button = new QPushButton(tr("Read %1").arg(block.name), this);
    button->setProperty("readStart", int(block.start));
    button->setProperty("readEnd", int(block.end));
    connect(button, &QPushButton::clicked, this, &HoldingSections::on_btnReadHoldingRangeClicked);
    m_layout->addWidget(button);
    m_readButtons.append(button);
}

QSize HoldingSections::sizeHint() const {
    QSize hint = QWidget::sizeHint();
    for (const QTableWidget *table : m_tables) {
        hint.setWidth(qMax(hint.width(), tablecells::fullWidth(table) + layout()->contentsMargins().left() +
                                             layout()->contentsMargins().right()));
    }
    return hint;
}

void HoldingSections::showHoldingUpdates(const QVector<presentation::CellUpdate> &updates) {
    for (int i = 0; i < updates.size() && i < m_holdings.size(); ++i) {
        const holding_t *record = m_holdings[i];
        if (isList(*record)) {
            if (record->combo >= 0 && record->combo < m_combos.size()) {
                QComboBox *combo = m_combos[record->combo];
                const int choice = presentation::listIndexForWord(record->items, record->value);
                if (choice >= 0) {
                    const QSignalBlocker noWrite(combo);
                    combo->setCurrentIndex(choice);
                    combo->setProperty(kShownIndex, choice);
                }
            }
            continue;
        }
        if (updates[i].set && record->table >= 0 && record->table < m_tables.size() && !record->hidden) {
            QTableWidget *table = m_tables[record->table];
            const QSignalBlocker noWrite(table);
            tablecells::showValue(table->item(record->row, 1), updates[i].text);
        }
    }
}

void HoldingSections::showAuxUpdates(int startIndex, const QVector<presentation::CellUpdate> &updates) {
    for (int k = 0; k < updates.size() && startIndex + k < m_aux.size(); ++k) {
        const holding_t *record = m_aux[startIndex + k];
        if (!updates[k].set || record->hidden || record->table < 0 || record->table >= m_tables.size()) {
            continue;
        }
        QTableWidget *table = m_tables[record->table];
        const QSignalBlocker noWrite(table);
        tablecells::showValue(table->item(record->row, 1), updates[k].text);
    }
}

bool HoldingSections::applyAccessLevel(int level) {
    if (level == m_shownLevel) {
        return false;
    }
    m_shownLevel = level;
    for (const holding_t *record : qAsConst(m_holdings)) {
        if (record->table >= 0 && record->table < m_tables.size()) {
            paintAccess(*record, record->level <= level);
        }
    }
    emit accessLevelApplied(level);
    return true;
}

void HoldingSections::paintAccess(const holding_t &record, bool allowed) {
    QTableWidget *table = m_tables[record.table];
    const QSignalBlocker noWrite(table);
    const QBrush background(allowed ? QColor(Qt::white) : kGreyedBackground);
    table->item(record.row, 0)->setBackground(background);
    table->item(record.row, 2)->setBackground(background);
    if (isList(record)) {
        if (record.combo >= 0 && record.combo < m_combos.size()) {
            m_combos[record.combo]->setEnabled(allowed);
        }
    } else {
        table->item(record.row, 1)->setBackground(background);
    }
}

void HoldingSections::holdingChanged(int row, int col) {
    auto *table = qobject_cast<QTableWidget *>(sender());
    if (col != 1 || table == nullptr || !m_tables.contains(table)) {
        return;
    }
    const QTableWidgetItem *header = table->verticalHeaderItem(row);
    const QTableWidgetItem *cell = table->item(row, col);
    bool ok = false;
    const int address = header != nullptr ? header->text().toInt(&ok) : -1;
    // Section rows of aux holdings carry 1000 + position; they are written from their own table.
    if (ok && cell != nullptr && address >= kAuxBase && address - kAuxBase < m_aux.size()) {
        emit editRejected(tr("%1 not written: aux holdings are written from the Auxiliar holdings table")
                              .arg(m_aux[address - kAuxBase]->text));
        return;
    }
    if (!ok || cell == nullptr || address < 0 || address >= kAuxBase || address >= m_holdings.size()) {
        return;
    }
    if (const QString refusal = writeRefusal(); !refusal.isEmpty()) {
        const QSignalBlocker noWrite(table);
        tablecells::takeBackEdit(table->item(row, col));
        emit editRejected(refusal);
        return;
    }
    const presentation::EditDecision edit = presentation::decideEdit(*m_holdings[address], cell->text());
    if (edit.result == presentation::EditResult::Ok) {
        emit writeRequested(address, edit.word, true);
    } else {
        emit editRejected(edit.rejection);
    }
}

void HoldingSections::comboHoldChanged(int) {
    auto *combo = qobject_cast<QComboBox *>(sender());
    if (combo == nullptr) {
        return;
    }
    if (const QString refusal = writeRefusal(); !refusal.isEmpty()) {
        const QSignalBlocker noWrite(combo);
        combo->setCurrentIndex(combo->property(kShownIndex).toInt());
        emit editRejected(refusal);
        return;
    }
    bool addressOk = false;
    bool valueOk = false;
    const int address = combo->property("holdingIndex").toInt(&addressOk);
    const int value = combo->currentData().toInt(&valueOk);
    if (addressOk && valueOk) {
        emit writeRequested(address, uint16_t(value), true);
    }
}

void HoldingSections::on_btnReadHoldingRangeClicked() {
    const QObject *button = sender();
    if (button == nullptr) {
        return;
    }
    bool startOk = false;
    bool endOk = false;
    const int start = button->property("readStart").toInt(&startOk);
    const int end = button->property("readEnd").toInt(&endOk);
    if (!startOk || !endOk) {
        return;
    }
    qDebug() << "readStart: " << start;
    qDebug() << "readEnd: " << end;
    emit readRangeRequested(start, end - start + 1);
}
