#pragma once

#include <QVector>
#include <QWidget>
#include <cstdint>

#include "map/descriptors.h"
#include "map/presentation.h"
#include "views/writerefusal.h"

class QComboBox;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace ui {
class Section;
}

// The "Holding Registers" dock: one collapsible section per map block, each with its own
// table. List-type holdings get a combo box, manual blocks a "Read %1" button. Edits turn
// into write requests; received values are shown without writing anything back.
class HoldingSections : public QWidget {
    Q_OBJECT
  public:
    struct ColumnWidths {
        int label = 200;
        int value = 100;
        int unit = 50;
    };

    explicit HoldingSections(QWidget *parent = nullptr);

    // comboEventFilter is installed on every combo box (it keeps the mouse wheel away from them).
    void setup(const QVector<block_t *> &blocks, const QVector<holding_t *> &holdings,
               const QVector<holding_t *> &aux, const ColumnWidths &widths, QObject *comboEventFilter);

    // A full normal-holding reply, already stored in the records.
    void showHoldingUpdates(const QVector<presentation::CellUpdate> &updates);
    // An aux reply whose first update is for aux position startIndex.
    void showAuxUpdates(int startIndex, const QVector<presentation::CellUpdate> &updates);
    // Consulted at each edit and list choice; a refused one goes back to the value shown before.
    void setWriteRefusal(WriteRefusal refusal) { m_writeRefusal = std::move(refusal); }
    // Greys the rows the drive's access level does not cover. Repaints only when the level
    // differs from the one shown; returns whether it repainted.
    bool applyAccessLevel(int level);
    // After a disconnection: the next level applied repaints and is reported, even the same one.
    void forgetAccessLevel() { m_shownLevel = -1; }

    // Wide enough for the widest section table.
    QSize sizeHint() const override;

    const QVector<QTableWidget *> &tables() const { return m_tables; }
    const QVector<QComboBox *> &combos() const { return m_combos; }
    const QVector<QPushButton *> &readButtons() const { return m_readButtons; }
    const QVector<ui::Section *> &sections() const { return m_sections; }

    // Edit handlers, connected to every section table and combo box.
    void holdingChanged(int row, int col);
    void comboHoldChanged(int index);
    void on_btnReadHoldingRangeClicked();

  signals:
    void writeRequested(int address, uint16_t value, bool echo);
    void readRangeRequested(int start, int count);
    // A typed value that was not written, and why.
    void editRejected(const QString &message);
    void accessLevelApplied(int level);

  private:
    void clear();
    void addBlock(const block_t &block);
    int rowCountFor(const block_t &block) const;
    QTableWidget *createTable(const block_t &block, int rows);
    void fillNormalRows(QTableWidget *table, const block_t &block);
    void fillAuxRows(QTableWidget *table, const block_t &block);
    void fillRow(QTableWidget *table, int row, int header, holding_t *record, bool asCombo);
    QComboBox *createCombo(holding_t *record, int holdingIndex);
    void addReadButton(const block_t &block);
    void paintAccess(const holding_t &record, bool allowed);
    int lastIndexInBlock(const block_t &block) const;
    QString writeRefusal() const { return m_writeRefusal ? m_writeRefusal() : QString(); }

    QVBoxLayout *m_layout;
    QObject *m_comboFilter = nullptr;
    ColumnWidths m_widths;
    QVector<holding_t *> m_holdings;
    QVector<holding_t *> m_aux;
    QVector<QTableWidget *> m_tables;
    QVector<QComboBox *> m_combos;
    QVector<QPushButton *> m_readButtons;
    QVector<ui::Section *> m_sections;
    int m_shownLevel = -1;
    WriteRefusal m_writeRefusal;
};
