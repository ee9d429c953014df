#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include "app/mainwindow.h"
#include "support/guiworkdir.h"
#include "views/auxholdingtable.h"
#include "views/flatholdingtable.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/logarea.h"
#include "views/ramparamtable.h"
#include "views/registertables.h"
#include "views/section.h"
#include "views/timegraphpanel.h"

namespace {

// Where a value is typed: a holding's row in its section, an aux holding in its own table or in
// its section, a RAM parameter, or the flat overview of the holdings.
enum class Table { Section, Aux, AuxInSection, Ram, Flat };

QVariantList write(int address, int word, bool echo = true) {
    return {address, QVariant::fromValue(uint16_t(word)), echo};
}

}  // namespace

// The register tables of the main window built from the example map, and what shows values and
// what asks for writes. No port is opened: writes are observed as requests. The decisions behind
// them (rounding, ranges, texts) are tabled in tst_presentation; here each path is taken once.
class GuiTablesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GuiWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QSignalSpy> m_writes;

    QList<QVariantList> writes() const { return *m_writes; }
    QTableWidgetItem *cell(Table table, int row, int column = 1) const {
        const RegisterTables *tables = m_window->tables();
        const RegisterSet &set = m_window->registers();
        switch (table) {
            case Table::Section:
            case Table::AuxInSection: {
                const holding_t *h = (table == Table::Section ? set.holdings : set.auxHoldings)[row];
                return tables->holdingSections()->tables().value(h->table)->item(h->row, column);
            }
            case Table::Aux:
                return tables->auxHoldings()->item(row, column);
            case Table::Ram:
                return m_window->timeGraph()->ramParams()->item(row, column);
            case Table::Flat:
                return tables->flatHoldings()->item(row, column);
        }
        return nullptr;
    }
    QComboBox *comboOf(int holdingIndex) const {
        return m_window->tables()
            ->holdingSections()
            ->combos()[m_window->registers().holdings[holdingIndex]->combo];
    }

  private slots:
    void init() {
        m_dir = std::make_unique<GuiWorkDir>();
        m_window = std::make_unique<MainWindow>();
        m_writes = std::make_unique<QSignalSpy>(m_window->tables(), &RegisterTables::writeRequested);
    }

    void cleanup() {
        m_writes.reset();
        m_window.reset();
        m_dir.reset();
    }

    void inputTableFollowsTheMap() {
        const InputRegisterTable *table = m_window->tables()->inputRegisters();
        QCOMPARE(table->rowCount(), 40);
        QCOMPARE(table->verticalHeaderItem(5)->text(), QStringLiteral("5"));
        QCOMPARE(table->item(5, 0)->text(), m_window->registers().inputRegisters[5]->text);
        QCOMPARE(table->item(5, 2)->text(), QStringLiteral("rpm"));
        QCOMPARE(table->item(0, 2)->text(), QString());  // "none" is dimensionless
        QCOMPARE(table->item(3, 1)->background().color(), QColor(255, 225, 225));
        QCOMPARE(table->item(4, 0)->background().color(), QColor(Qt::white));  // no colour in the map
        QVERIFY(!(table->item(5, 1)->flags() & Qt::ItemIsEditable));
        const int mapWidths[] = {200, 100, 50};  // floors: a longer text widens its column
        for (int row = 0; row < table->rowCount(); ++row) {
            QCOMPARE(table->isRowHidden(row), row == 31 || row == 33);
            for (int column = 0; column < 3; ++column) {
                const int text = table->fontMetrics().horizontalAdvance(table->item(row, column)->text());
                QVERIFY(table->columnWidth(column) >= std::max(mapWidths[column], text));
            }
        }
    }

    void sectionsFollowTheBlocks() {
        struct Case {
            int section;
            const char *title;
            int firstAddress, lastAddress, heightInRows;
        };
        // A hidden last row; a manual block (its Read button takes a row); an aux block keeps its
        // hidden rows.
        const Case cases[] = {{0, "Control", 0, 8, 9},
                              {5, "Comunicacion y calibracion", 70, 79, 11},
                              {6, "Identificacion", 1000, 1011, 11}};
        const HoldingSections *sections = m_window->tables()->holdingSections();
        QCOMPARE(sections->sections().size(), 7);
        for (const Case &c : cases) {
            QCOMPARE(sections->sections()[c.section]->toggleButton()->text(), QLatin1String(c.title));
            const QTableWidget *table = sections->tables()[c.section];
            QCOMPARE(table->rowCount(), c.lastAddress - c.firstAddress + 1);
            QCOMPARE(table->height(), c.heightInRows * 23 + 2);
            for (int row = 0; row < table->rowCount(); ++row) {
                QCOMPARE(table->verticalHeaderItem(row)->text(), QString::number(c.firstAddress + row));
                const int text = table->fontMetrics().horizontalAdvance(table->item(row, 0)->text());
                QVERIFY(table->columnWidth(0) >= std::max(200, text));
            }
        }
        const auto &buttons = sections->readButtons();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons[0]->text(), QStringLiteral("Read Comunicacion y calibracion"));
        QSignalSpy reads(m_window->tables(), &RegisterTables::readRangeRequested);
        buttons[0]->click();
        QCOMPARE(QList<QVariantList>(reads), (QList<QVariantList>{{70, 10}}));
    }

    void holdingReplyIsShownWithoutWriting() {
        QVector<uint16_t> words(m_window->registers().holdings.size(), 0);
        words[1] = 2;                                       // list: third choice
        words[3] = 1234;                                    // integer
        words[4] = 0xFFF6;                                  // float, multiplier 0.1
        words[9] = 77;                                      // hidden in its section
        m_window->onHoldingRegistersRecv(0, words.mid(1));  // a reply of the wrong length is ignored
        QCOMPARE(cell(Table::Section, 3)->text(), QStringLiteral("0"));
        m_window->onHoldingRegistersRecv(0, words);
        QCOMPARE(cell(Table::Section, 3)->text(), QStringLiteral("1234"));
        QCOMPARE(cell(Table::Section, 4)->text(), QStringLiteral("-1.0"));
        QCOMPARE(cell(Table::Flat, 4)->text(), QStringLiteral("-1.0"));
        QCOMPARE(cell(Table::Flat, 9)->text(), QStringLiteral("0.77"));
        QCOMPARE(comboOf(1)->currentIndex(), 2);
        QCOMPARE(writes(), QList<QVariantList>());
    }

    // Each table asks for the word its row stands for at its own address, or says why not in the
    // status bar and the log area and leaves the text as typed.
    void holdingEdits() {
        struct Case {
            Table table;
            int row;
            const char *typed;
            int address, word;  // address -1: nothing is written
            const char *said;
        };
        const Case cases[] = {
            {Table::Section, 4, "12.5", 4, 125, ""},  // multiplier 0.1
            {Table::Section, 3, "-3", 3, 0xFFFD, ""},
            {Table::Section, 4, "100.001", -1, 0, "100.001 is outside the accepted range"},
            {Table::Section, 3, "abc", -1, 0, "\"abc\" is not a number (accepted range"},
            {Table::Aux, 6, "52", 1006, 52, ""},
            {Table::Aux, 10, "100", -1, 0, "100 is outside the accepted range 0 to 99"},
            {Table::AuxInSection, 6, "10", -1, 0,
             "aux holdings are written from the Auxiliar holdings table"},
            {Table::Ram, 2, "-100", 3002, 0xFF9C, ""},
            {Table::Ram, 3, "2.5", 3003, 25, ""},
            {Table::Flat, 3, "10", -1, 0, ""},  // the overview is not edited
        };
        for (const Case &c : cases) {
            m_writes->clear();
            m_window->logArea()->clear();
            QTableWidgetItem *item = cell(c.table, c.row);
            item->setText(QLatin1String(c.typed));
            if (c.address >= 0) {
                QVERIFY2(writes() == QList<QVariantList>{write(c.address, c.word)}, c.typed);
                continue;
            }
            QVERIFY2(writes().isEmpty() && item->text() == QLatin1String(c.typed), c.typed);
            const QString said = QStringLiteral(" not written: ") + QLatin1String(c.said);
            QVERIFY2(!*c.said || m_window->statusBar()->currentMessage().contains(said), c.typed);
            QVERIFY2(!*c.said || m_window->logArea()->toPlainText().contains(said), c.typed);
        }
    }

    // A combo writes its choice, the wheel never changes one; the RAM password field writes
    // without echo what fits a register.
    void otherFieldsAskForWrites() {
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(comboOf(1), &wheel);
        QCOMPARE(comboOf(1)->currentIndex(), 0);
        comboOf(5)->setCurrentIndex(1);
        QLineEdit *field = m_window->timeGraph()->ramParams()->passwordField();
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        for (const char *typed : {"70000", "1234"}) {
            field->setText(QLatin1String(typed));
            emit field->editingFinished();
        }
        QCOMPARE(writes(), (QList<QVariantList>{write(5, 1), write(3000, 1234, false)}));
    }

    void accessLevelGreysOncePerChange() {
        QSignalSpy applied(m_window->tables()->holdingSections(), &HoldingSections::accessLevelApplied);
        QVector<uint16_t> words(40, 0);
        // The level acts from the following reply on: it is read before the new words are stored.
        for (uint16_t level : {2, 2, 2, 3, 3, 2, 2}) {
            words[28] = level;
            m_window->onInputRegistersRecv(1, 0, words);
        }
        QCOMPARE(QList<QVariantList>(applied), (QList<QVariantList>{{0}, {2}, {3}, {2}}));
        const QColor grey(230, 230, 230);
        QCOMPARE(cell(Table::Section, 8)->background().color(), grey);  // level 3
        QCOMPARE(cell(Table::Section, 8, 0)->background().color(), grey);
        QCOMPARE(cell(Table::Section, 6)->background().color(), QColor(Qt::white));  // level 2
        QVERIFY(comboOf(1)->isEnabled());                                            // level 2
        QCOMPARE(writes(), QList<QVariantList>());
    }
};

QTEST_MAIN(GuiTablesTest)
#include "tst_gui_tables.moc"
