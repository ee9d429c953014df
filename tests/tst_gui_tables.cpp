#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include "app/mainwindow.h"
#include "support/guiworkdir.h"
#include "support/testpaths.h"
#include "views/auxholdingtable.h"
#include "views/flatholdingtable.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/logarea.h"
#include "views/maintoolbars.h"
#include "views/ramparamtable.h"
#include "views/registertables.h"
#include "views/section.h"
#include "views/timegraphpanel.h"

// The register tables of the main window built from the example map, and what shows
// values and what asks for writes. No port is opened: writes are observed as requests.
class GuiTablesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GuiWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QSignalSpy> m_writes;

    QTableWidget *sectionTableOf(int holdingIndex) const {
        const holding_t *record = m_window->registers().holdings[holdingIndex];
        return m_window->tables()->holdingSections()->tables().value(record->table);
    }

    void typeInSection(int holdingIndex, const QString &text) {
        const holding_t *record = m_window->registers().holdings[holdingIndex];
        sectionTableOf(holdingIndex)->item(record->row, 1)->setText(text);
    }

    QVector<uint16_t> holdingWords() const {
        QVector<uint16_t> words(m_window->registers().holdings.size(), 0);
        words[1] = 2;       // list: third choice
        words[3] = 1234;    // integer
        words[4] = 0xFFF6;  // float, multiplier 0.1
        words[9] = 77;      // hidden in its section
        return words;
    }

  private slots:
    void init() {
        m_dir = std::make_unique<GuiWorkDir>(
            GuiWorkDir::Settings{testpaths::example(QStringLiteral("drive-map.xml"))});
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
        for (int row = 0; row < table->rowCount(); ++row) {
            QCOMPARE(table->isRowHidden(row), row == 31 || row == 33);
        }
        QCOMPARE(table->item(3, 1)->background().color(), QColor(255, 225, 225));
        QCOMPARE(table->item(3, 2)->background().color(), QColor(255, 225, 225));
        QCOMPARE(table->item(4, 0)->background().color(), QColor(Qt::white));  // no colour in the map
        QVERIFY(!(table->item(5, 1)->flags() & Qt::ItemIsEditable));
        // The map's widths are floors; a longer text widens its column.
        const int mapWidths[] = {200, 100, 50};
        for (int column = 0; column < 3; ++column) {
            QVERIFY(table->columnWidth(column) >= mapWidths[column]);
            for (int row = 0; row < table->rowCount(); ++row) {
                QVERIFY(table->columnWidth(column) >=
                        table->fontMetrics().horizontalAdvance(table->item(row, column)->text()));
            }
        }
    }

    void sectionsFollowTheBlocks_data() {
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<int>("height");
        QTest::newRow("hidden last row")
            << 0 << "Control" << QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8"} << 9 * 23 + 2;
        QTest::newRow("manual block")
            << 5 << "Comunicacion y calibracion"
            << QStringList{"70", "71", "72", "73", "74", "75", "76", "77", "78", "79"} << 11 * 23 + 2;
        QStringList aux;
        for (int i = 1000; i <= 1011; ++i) {
            aux << QString::number(i);
        }
        QTest::newRow("aux block keeps hidden rows") << 6 << "Identificacion" << aux << 11 * 23 + 2;
    }

    void sectionsFollowTheBlocks() {
        QFETCH(int, section);
        QFETCH(QString, title);
        QFETCH(QStringList, headers);
        QFETCH(int, height);
        const HoldingSections *sections = m_window->tables()->holdingSections();
        QCOMPARE(sections->sections().size(), 7);
        QCOMPARE(sections->sections()[section]->toggleButton()->text(), title);
        const QTableWidget *table = sections->tables()[section];
        QStringList shown;
        for (int row = 0; row < table->rowCount(); ++row) {
            shown << table->verticalHeaderItem(row)->text();
        }
        QCOMPARE(shown, headers);
        QCOMPARE(table->height(), height);
        QVERIFY(table->columnWidth(0) >= 200);  // the map's width, or wider for a longer label
        for (int row = 0; row < table->rowCount(); ++row) {
            QVERIFY(table->columnWidth(0) >= table->fontMetrics().horizontalAdvance(table->item(row, 0)->text()));
        }
    }

    void manualBlockHasReadButton() {
        const auto &buttons = m_window->tables()->holdingSections()->readButtons();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons[0]->text(), QStringLiteral("Read Comunicacion y calibracion"));
        QSignalSpy reads(m_window->tables(), &RegisterTables::readRangeRequested);
        buttons[0]->click();
        QCOMPARE(reads.size(), 1);
        QCOMPARE(reads[0], (QVariantList{70, 10}));
    }

    // A reply of the wrong length is ignored.
    void holdingReplyIsShownWithoutWriting() {
        QVector<uint16_t> words = holdingWords();
        m_window->onHoldingRegistersRecv(0, words.mid(1));
        QCOMPARE(sectionTableOf(3)->item(3, 1)->text(), QStringLiteral("0"));  // still the default
        m_window->onHoldingRegistersRecv(0, words);
        QCOMPARE(sectionTableOf(3)->item(3, 1)->text(), QStringLiteral("1234"));
        QCOMPARE(sectionTableOf(4)->item(4, 1)->text(), QStringLiteral("-1.0"));
        const FlatHoldingTable *flat = m_window->tables()->flatHoldings();
        QCOMPARE(flat->item(4, 1)->text(), QStringLiteral("-1.0"));
        QCOMPARE(flat->item(9, 1)->text(), QStringLiteral("0.77"));
        const holding_t *list = m_window->registers().holdings[1];
        QCOMPARE(m_window->tables()->holdingSections()->combos()[list->combo]->currentIndex(), 2);
        QCOMPARE(m_writes->size(), 0);
    }

    void holdingEdits_data() {
        QTest::addColumn<int>("holding");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("written");  // -1: nothing
        QTest::newRow("rounded by multiplier") << 4 << "12.5" << 125;
        QTest::newRow("decimal comma") << 4 << "12,5" << 125;
        QTest::newRow("half rounds away from zero") << 4 << "-0.05" << 0xFFFF;
        QTest::newRow("max is accepted") << 4 << "100" << 1000;
        QTest::newRow("just above max") << 4 << "100.001" << -1;
        QTest::newRow("below min") << 3 << "-3001" << -1;
        QTest::newRow("negative integer") << 3 << "-3" << 0xFFFD;
        QTest::newRow("not a number") << 3 << "abc" << -1;
    }

    void holdingEdits() {
        QFETCH(int, holding);
        QFETCH(QString, typed);
        QFETCH(int, written);
        typeInSection(holding, typed);
        if (written < 0) {
            QCOMPARE(m_writes->size(), 0);
            QCOMPARE(sectionTableOf(holding)->item(holding, 1)->text(), typed);  // left as typed
            // ...and the user is told which parameter, what was typed and what is accepted.
            const QString name = m_window->registers().holdings[holding]->text;
            QVERIFY(
                m_window->statusBar()->currentMessage().contains(name + QStringLiteral(" not written: ")));
            QVERIFY(m_window->statusBar()->currentMessage().contains(typed));
            QVERIFY(m_window->logArea()->toPlainText().contains(QStringLiteral("accepted range")));
            return;
        }
        QCOMPARE(m_writes->size(), 1);
        QCOMPARE(m_writes->at(0), (QVariantList{holding, QVariant::fromValue(uint16_t(written)), true}));
    }

    void editsOutsideSectionsAreNotWritten() {
        m_window->tables()->flatHoldings()->item(3, 1)->setText(QStringLiteral("10"));
        const holding_t *aux = m_window->registers().auxHoldings[6];
        m_window->tables()
            ->holdingSections()
            ->tables()[aux->table]
            ->item(aux->row, 1)
            ->setText(QStringLiteral("10"));
        QCOMPARE(m_writes->size(), 0);
        QVERIFY(m_window->logArea()->toPlainText().contains(
            aux->text +
            QStringLiteral(" not written: aux holdings are written from the Auxiliar holdings table")));
    }

    void comboChangeWritesItsValue() {
        const holding_t *record = m_window->registers().holdings[5];
        QComboBox *combo = m_window->tables()->holdingSections()->combos()[record->combo];
        QCOMPARE(combo->property("holdingIndex").toInt(), 5);
        combo->setCurrentIndex(1);
        QCOMPARE(m_writes->size(), 1);
        QCOMPARE(m_writes->at(0), (QVariantList{5, QVariant::fromValue(uint16_t(1)), true}));
    }

    void wheelDoesNotChangeACombo() {
        const holding_t *record = m_window->registers().holdings[1];
        QComboBox *combo = m_window->tables()->holdingSections()->combos()[record->combo];
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(m_writes->size(), 0);
    }

    void auxAndRamEditsGoToTheirAddresses_data() {
        QTest::addColumn<bool>("ram");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("written");
        QTest::newRow("aux") << false << 6 << "52" << 1006 << 52;
        QTest::newRow("aux above max") << false << 10 << "100" << -1 << -1;
        QTest::newRow("ram") << true << 2 << "-100" << 3002 << 0xFF9C;
        QTest::newRow("ram scaled") << true << 3 << "2.5" << 3003 << 25;
    }

    void auxAndRamEditsGoToTheirAddresses() {
        QFETCH(bool, ram);
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(int, address);
        QFETCH(int, written);
        QTableWidget *table = ram ? static_cast<QTableWidget *>(m_window->timeGraph()->ramParams())
                                  : m_window->tables()->auxHoldings();
        table->item(row, 1)->setText(typed);
        if (address < 0) {
            QCOMPARE(m_writes->size(), 0);
            QVERIFY(m_window->logArea()->toPlainText().contains(
                QStringLiteral("100 is outside the accepted range 0 to 99")));
            return;
        }
        QCOMPARE(m_writes->size(), 1);
        QCOMPARE(m_writes->at(0), (QVariantList{address, QVariant::fromValue(uint16_t(written)), true}));
    }

    void passwordFieldWritesWithoutEcho() {
        QLineEdit *field = m_window->timeGraph()->ramParams()->passwordField();
        QVERIFY(field != nullptr);
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        field->setText(QStringLiteral("70000"));  // does not fit a register
        emit field->editingFinished();
        field->setText(QStringLiteral("1234"));
        emit field->editingFinished();
        QCOMPARE(m_writes->size(), 1);
        QCOMPARE(m_writes->at(0), (QVariantList{3000, QVariant::fromValue(uint16_t(1234)), false}));
    }

    void accessLevelGreysOncePerChange() {
        QSignalSpy applied(m_window->tables()->holdingSections(), &HoldingSections::accessLevelApplied);
        QVector<uint16_t> words(40, 0);
        // The level acts from the following reply on: it is read before the new words are stored.
        for (uint16_t level : {2, 2, 2, 3, 3}) {
            words[28] = level;
            m_window->onInputRegistersRecv(1, 0, words);
        }
        QCOMPARE(applied.size(), 3);
        QCOMPARE(applied[1][0].toInt(), 2);
        QCOMPARE(applied[2][0].toInt(), 3);

        words[28] = 2;
        m_window->onInputRegistersRecv(1, 0, words);
        m_window->onInputRegistersRecv(1, 0, words);
        const QColor grey(230, 230, 230);
        QCOMPARE(sectionTableOf(8)->item(8, 0)->background().color(), grey);  // level 3
        QCOMPARE(sectionTableOf(8)->item(8, 1)->background().color(), grey);
        QCOMPARE(sectionTableOf(6)->item(6, 0)->background().color(), QColor(Qt::white));  // level 2
        const auto &combos = m_window->tables()->holdingSections()->combos();
        QVERIFY(combos[m_window->registers().holdings[1]->combo]->isEnabled());  // level 2
        QCOMPARE(m_writes->size(), 0);
    }
};

QTEST_MAIN(GuiTablesTest)
#include "tst_gui_tables.moc"
