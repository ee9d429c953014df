#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <memory>

#include "app/settings.h"
#include "comm/modbus.h"
#include "map/presentation.h"
#include "map/xmlmap.h"
#include "params/paramexport.h"
#include "params/paramfile_io.h"
#include "support/testpaths.h"
#include "support/workerharness.h"
#include "views/parameterfiles.h"

namespace {
constexpr int kTimeoutMs = 20000;
const QDateTime kNow(QDate(2024, 1, 18), QTime(9, 5, 7));
QString mapPath() {
    return testpaths::example(QStringLiteral("drive-map.xml"));
}
QString hexByte(int value) {
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}
QString writeRequest(int address, int value) {
    return QStringLiteral("1 06 %1 %2 %3 %4")
        .arg(hexByte(address >> 8), hexByte(address), hexByte(value >> 8), hexByte(value));
}
}  // namespace

// The parameter-file flow against the simulated drive: a worker polls it over a pty and every
// complete holdings reply is stored in the map's records and handed to the flow, as the window does.
class GuiParamFileTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_map = std::make_unique<xmlmap>();
        QVERIFY(m_map->readMap(mapPath()));
        m_holdings.clear();
        m_inputs.clear();
        m_map->getHoldings(m_holdings);
        m_map->getInputRegisters(m_inputs);
        m_h = std::make_unique<WorkerHarness>();
        SimulatedDrive::Options options;
        options.mapFile = mapPath();
        QString error;
        QVERIFY2(m_h->bus.start(options, &error), qPrintable(error));
        m_settings = std::make_unique<settings>(m_dir->filePath(QStringLiteral("settings.xml")));
        m_settings->setXML_drive(mapPath());
        ParameterFilePrompts prompts;
        prompts.chooseSaveFile = [this](QWidget *, const QString &proposed) {
            m_proposed = proposed;
            return m_saveTarget;
        };
        prompts.dialog.chooseFile = [this](QWidget *) { return m_nextFile; };
        prompts.dialog.confirmDefaults = [this](QWidget *) { return m_confirm; };
        prompts.now = [] { return kNow; };
        m_flow = std::make_unique<ParameterFiles>(m_settings.get(), nullptr, prompts);
        m_flow->setWorker(m_h->worker.get());
        m_messages.clear();
        connect(m_flow.get(), &ParameterFiles::statusMessage, this,
                [this](bool, bool, bool, const QString &text) { m_messages << text; });
        Modbus *worker = m_h->worker.get();
        connect(worker, &Modbus::recv_input_registers, m_flow.get(),
                [this](int, int, const QVector<uint16_t> &words) {
                    presentation::applyInputWords(m_inputs, words);
                });
        connect(worker, &Modbus::recv_holding_registers, m_flow.get(),
                [this](int start, const QVector<uint16_t> &words) {
                    if (start == 0 && !presentation::applyHoldingWords(m_holdings, words).isEmpty()) {
                        ++m_replies;
                        m_flow->onHoldingsRead(m_holdings, m_inputs);
                    }
                });
        m_replies = 0;
        m_h->connectWorker(m_inputs.size(), m_holdings.size());
        QVERIFY(waitForReplies(1));
    }

    void cleanup() {
        m_flow.reset();
        m_h.reset();
        m_settings.reset();
        m_map.reset();
        m_dir.reset();
    }

    void exportThenReloadKeepsEverything() {
        const QString path = exportFile();
        QVERIFY(!path.isEmpty());
        QCOMPARE(m_proposed, QDir::currentPath() + QStringLiteral("/motor_export_20240118-090507.xml"));
        QCOMPARE(m_settings->getPoll_Interval(), 50);
        ParamFileContents read;
        QVERIFY(readParamFile(path, &read));
        QCOMPARE(read.meta.model, QString::number(m_inputs[1]->raw));
        QCOMPARE(read.meta.version, QString::number(m_inputs[0]->raw));
        QCOMPARE(read.holdings.size(), m_holdings.size());
        for (int i = 0; i < m_holdings.size(); ++i) {
            QCOMPARE(read.holdings[i].add, m_holdings[i]->add);
            QCOMPARE(read.holdings[i].text, m_holdings[i]->text);
            QCOMPARE(read.holdings[i].value, m_holdings[i]->value);
            QCOMPARE(read.holdings[i].multiplier, m_holdings[i]->multiplier);
        }
        QVERIFY(open(path));
        QVERIFY(waitForReplies(1));
        QCOMPARE(widget<QTableWidget>("tW_Holdings")->rowCount(), m_holdings.size());
        QCOMPARE(widget<QLineEdit>("edModel")->text(), widget<QLineEdit>("edModel_2")->text());
        QCOMPARE(marks(), QVector<QString>(m_holdings.size(), QStringLiteral("ok")));
        QCOMPARE(widget<QTextEdit>("textEdit")->toPlainText(),
                 QStringLiteral("There are 0 parameters with different values"));
        QVERIFY(!widget<QPushButton>("pB_Send")->isEnabled());
    }

    void sendRestoresTheDifferingValues() {
        const QString path = exportFile();
        const uint16_t five = m_holdings[5]->value, seven = m_holdings[7]->value;
        setDriveValue(5, five + 1);
        setDriveValue(7, seven + 3);
        QVERIFY(open(path));
        QVERIFY(waitForReplies(1));
        QVector<QString> expected(m_holdings.size(), QStringLiteral("ok"));
        expected[5] = expected[7] = QStringLiteral("no");
        QCOMPARE(marks(), expected);
        QCOMPARE(widget<QTableWidget>("tW_Holdings_2")->item(5, 2)->background().color(), QColor(Qt::red));
        QVERIFY(widget<QTextEdit>("textEdit")
                    ->toPlainText()
                    .startsWith(QStringLiteral("There are 2 parameters")));
        const int before = m_h->requests().size();
        widget<QPushButton>("pB_Send")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_flow->dialog()->comparison().differences, 0, kTimeoutMs);
        QVERIFY(!widget<QPushButton>("pB_Send")->isEnabled());
        QCOMPARE(writesSince(before), (QStringList{writeRequest(5, five), writeRequest(7, seven)}));
        const QStringList requests = m_h->requests();
        QCOMPARE(requests.indexOf(writeRequest(7, seven)), requests.indexOf(writeRequest(5, five)) + 1);
    }

    void identityChecks_data() {
        QTest::addColumn<bool>("otherModel");  // else another firmware version
        QTest::addColumn<QString>("line");
        QTest::newRow("other model") << true << "ERROR! Different hardware models";
        QTest::newRow("other version") << false << "WARNING! Different firmware version";
    }
    void identityChecks() {
        QFETCH(bool, otherModel);
        QFETCH(QString, line);
        const QString path = exportCopy(
            QStringLiteral("other.xml"),
            [&](QVector<holding_t> &, DriveIdentity &id) { (otherModel ? id.model : id.version) += 1; });
        setDriveValue(5, m_holdings[5]->value + 1);
        QVERIFY(open(path));
        QSignalSpy handed(m_flow->dialog(), &ParamFile::holdingListToSend);
        QVERIFY(waitForReplies(1));
        QVERIFY(widget<QTextEdit>("textEdit")->toPlainText().contains(line));
        QCOMPARE(widget<QPushButton>("pB_Send")->isEnabled(), !otherModel);
        widget<QPushButton>("pB_Send")->click();
        QCOMPARE(handed.size(), otherModel ? 0 : 1);
    }

    void shorterFileComparesOnlyItsPositions() {
        const QString full = exportFile();
        const QString shorter = exportCopy(QStringLiteral("short.xml"),
                                           [](QVector<holding_t> &h, DriveIdentity &) { h.resize(3); });
        setDriveValue(1, m_holdings[1]->value + 1);
        QVERIFY(open(full));
        QVERIFY(waitForReplies(1));
        m_nextFile = shorter;
        widget<QPushButton>("pushButton")->click();  // Browse: compares at once with the known drive values
        QVector<QString> expected(m_holdings.size(), QStringLiteral("---"));
        expected[0] = expected[2] = QStringLiteral("ok");
        expected[1] = QStringLiteral("no");
        QCOMPARE(marks(), expected);
        QCOMPARE(m_flow->dialog()->comparison().sendList.size(), 1);
    }

    void defaults_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("Ok") << true;
        QTest::newRow("Cancel") << false;
    }

    void defaults() {
        QFETCH(bool, confirm);
        QVERIFY(open(exportFile()));
        m_confirm = confirm;
        const int before = m_h->requests().size();
        widget<QPushButton>("pB_Defaults")->click();
        QVERIFY(waitForReplies(2));
        QCOMPARE(writesSince(before), confirm ? QStringList{writeRequest(0, 2)} : QStringList{});
        widget<QPushButton>("pB_Cancel")->click();
        QVERIFY(!m_flow->isDialogOpen());
    }

    void highAddressIsNeverSent() {
        const uint16_t four = m_holdings[4]->value + 1;
        const QString path =
            exportCopy(QStringLiteral("high.xml"), [](QVector<holding_t> &h, DriveIdentity &) {
                h[3].add = 300;
                h[3].value += 1;
                h[4].value += 1;
            });
        QVERIFY(open(path));
        QVERIFY(waitForReplies(1));
        QVERIFY(widget<QTextEdit>("textEdit")->toPlainText().contains(QStringLiteral("skipped: 300")));
        const int before = m_h->requests().size();
        widget<QPushButton>("pB_Send")->click();
        QVERIFY(waitForReplies(2));
        QCOMPARE(writesSince(before), QStringList{writeRequest(4, four)});
    }

    void unreadableFileIsReported() {
        const QString broken = m_dir->filePath(QStringLiteral("broken.xml"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<Motor_Configuration><holding>");
        file.close();
        QVERIFY(!open(broken));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith(QStringLiteral("Error: parameter file %1 not loaded").arg(broken)));

        const QString good = exportFile();
        QVERIFY(open(good));
        m_nextFile = broken;
        widget<QPushButton>("pushButton")->click();
        QCOMPARE(m_flow->dialog()->fileName(), good);  // the loaded file stays
        QCOMPARE(m_flow->dialog()->fileHoldings().size(), m_holdings.size());
        QVERIFY(!widget<QLabel>("labLoadError")->isHidden());
        QVERIFY(m_messages.last().contains(broken));
    }

    void failedSaveIsReported() {
        m_saveTarget.clear();
        QVERIFY(!m_flow->saveParameterFile(m_holdings, m_inputs));  // cancelled: silent
        QVERIFY(m_messages.isEmpty());
        QVERIFY(exportFile(QStringLiteral("missing/out.xml")).isEmpty());
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].contains(QStringLiteral("could not be saved")));
    }

    void defaultsBoxAsksFirst() {
        QString text, informative;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            informative = box->informativeText();
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Cancel));
            box->button(QMessageBox::Cancel)->click();
        });
        QVERIFY(!ParamFilePrompts::interactive().confirmDefaults(nullptr));
        QVERIFY(text.startsWith(QStringLiteral("WARNING: you will lose the current parametrization")));
        QCOMPARE(informative, QStringLiteral("Do you want to set the default parameters?"));
    }

  private:
    bool waitForReplies(int count) {
        const int target = m_replies + count;
        return QTest::qWaitFor([&] { return m_replies >= target; }, kTimeoutMs);
    }

    QString exportFile(const QString &name = QStringLiteral("export.xml")) {
        m_saveTarget = m_dir->filePath(name);
        return m_flow->saveParameterFile(m_holdings, m_inputs) ? m_saveTarget : QString();
    }

    // A file of edited copies of the drive's current holdings.
    QString exportCopy(const QString &name,
                       const std::function<void(QVector<holding_t> &, DriveIdentity &)> &edit) {
        QVector<holding_t> copies;
        for (const holding_t *h : m_holdings) {
            copies << *h;
        }
        DriveIdentity identity = driveIdentity(m_inputs);
        edit(copies, identity);
        QVector<holding_t *> pointers;
        for (holding_t &h : copies) {
            pointers << &h;
        }
        const QString path = m_dir->filePath(name);
        return exportParameters(*m_settings, pointers, identity, path, kNow).isEmpty() ? path : QString();
    }

    ParamFile *open(const QString &path) {
        m_nextFile = path;
        m_flow->openParameterFile(m_inputs, mapPath());
        return m_flow->dialog();
    }

    void setDriveValue(int address, uint16_t value) {
        m_h->worker->writeHolding(address, value, false);
        QVERIFY(QTest::qWaitFor([&] { return m_holdings[address]->value == value; }, kTimeoutMs));
    }

    QStringList writesSince(int requestIndex) const {
        return m_h->requests().mid(requestIndex).filter(QRegularExpression(QStringLiteral("^1 06 ")));
    }

    QVector<QString> marks() const {
        const QTableWidget *table = widget<QTableWidget>("tW_Holdings_2");
        QVector<QString> texts;
        for (int row = 0; row < table->rowCount(); ++row) {
            texts << table->item(row, 2)->text();
        }
        return texts;
    }

    template <typename T>
    T *widget(const char *name) const {
        return m_flow->dialog()->findChild<T *>(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<xmlmap> m_map;
    QVector<holding_t *> m_holdings;
    QVector<input_reg_t *> m_inputs;
    std::unique_ptr<WorkerHarness> m_h;
    std::unique_ptr<settings> m_settings;
    std::unique_ptr<ParameterFiles> m_flow;
    int m_replies = 0;
    QString m_proposed, m_saveTarget, m_nextFile;
    bool m_confirm = false;
    QStringList m_messages;
};

QTEST_MAIN(GuiParamFileTest)
#include "tst_gui_paramfile.moc"
