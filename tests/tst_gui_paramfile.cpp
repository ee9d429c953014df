#include <QtTest>
#include <QtWidgets>

#include "app/settings.h"
#include "comm/modbus.h"
#include "map/presentation.h"
#include "map/xmlmap.h"
#include "params/paramexport.h"
#include "support/testpaths.h"
#include "support/workerharness.h"
#include "views/parameterfiles.h"

namespace {
constexpr int kTimeoutMs = 20000;
const QDateTime kNow(QDate(2024, 1, 18), QTime(9, 5, 7));
QString mapPath() {
    return testpaths::example(QStringLiteral("drive-map.xml"));
}
QString writeRequest(int address, int value) {
    return QString::asprintf("1 06 %02X %02X %02X %02X", address >> 8, address & 0xFF, value >> 8,
                             value & 0xFF);
}
}  // namespace

// The parameter-file flow against the simulated drive: a worker polls it over a pty and every
// complete holdings reply is stored in the map's records and handed to the flow, as the window does.
class GuiParamFileTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QVERIFY(m_map.readMap(mapPath()));
        m_map.getHoldings(m_holdings);
        m_map.getInputRegisters(m_inputs);
        SimulatedDrive::Options options;
        options.mapFile = mapPath();
        QString error;
        QVERIFY2(m_h.bus.start(options, &error), qPrintable(error));
        m_settings.setXML_drive(mapPath());
        ParameterFilePrompts prompts;
        prompts.chooseSaveFile = [this](QWidget *, const QString &proposed) {
            m_proposed = proposed;
            return m_saveTarget;
        };
        prompts.dialog.chooseFile = [this](QWidget *) { return m_nextFile; };
        prompts.dialog.confirmDefaults = [this](QWidget *) { return m_confirm; };
        prompts.now = [] { return kNow; };
        m_flow = std::make_unique<ParameterFiles>(&m_settings, nullptr, prompts);
        m_flow->setWorker(m_h.worker.get());
        connect(m_flow.get(), &ParameterFiles::statusMessage, this,
                [this](bool, bool, bool, const QString &text) { m_messages << text; });
        connect(m_h.worker.get(), &Modbus::recv_input_registers, m_flow.get(),
                [this](int, int, const QVector<uint16_t> &words) {
                    presentation::applyInputWords(m_inputs, words);
                });
        connect(m_h.worker.get(), &Modbus::recv_holding_registers, m_flow.get(),
                [this](int start, const QVector<uint16_t> &words) {
                    if (start == 0 && !presentation::applyHoldingWords(m_holdings, words).isEmpty()) {
                        m_holdingsRead = true;
                        m_flow->onHoldingsRead(m_holdings, m_inputs);
                    }
                });
        m_h.connectWorker(m_inputs.size(), m_holdings.size());
        QTRY_VERIFY_WITH_TIMEOUT(m_holdingsRead, kTimeoutMs);
    }

    // Export, reload (nothing differs), the drive changes two values, Send writes them back, Defaults.
    void exportReloadSendAndDefaults() {
        const QString path = exportFile();
        QCOMPARE(m_proposed, QDir::currentPath() + QStringLiteral("/motor_export_20240118-090507.xml"));
        QVERIFY(open(path));
        QVector<QString> expected(m_holdings.size(), QStringLiteral("ok"));  // the drive's values were saved
        QTRY_COMPARE_WITH_TIMEOUT(marks(), expected, kTimeoutMs);  // compared at the next holdings reply
        QCOMPARE(widget<QTableWidget>("tW_Holdings")->rowCount(), m_holdings.size());
        QCOMPARE(widget<QLineEdit>("edModel")->text(), QString::number(m_inputs[1]->raw));
        QCOMPARE(widget<QLineEdit>("edVersion")->text(), QString::number(m_inputs[0]->raw));

        const uint16_t five = m_holdings[5]->value, seven = m_holdings[7]->value;
        m_h.worker->writeHolding(5, five + 1, false);  // each holdings reply is compared at once
        m_h.worker->writeHolding(7, seven + 3, false);
        QTRY_VERIFY_WITH_TIMEOUT(m_holdings[5]->value == five + 1 && m_holdings[7]->value == seven + 3,
                                 kTimeoutMs);
        expected[5] = expected[7] = QStringLiteral("no");
        QCOMPARE(marks(), expected);
        QCOMPARE(widget<QTableWidget>("tW_Holdings_2")->item(5, 2)->background().color(), QColor(Qt::red));
        int before = m_h.requests().size();
        button("pB_Send")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_flow->dialog()->comparison().differences, 0, kTimeoutMs);
        QVERIFY(!button("pB_Send")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(writesSince(before),
                                  (QStringList{writeRequest(5, five), writeRequest(7, seven)}), kTimeoutMs);

        before = m_h.requests().size();
        button("pB_Defaults")->click();  // Cancel: nothing is written
        m_confirm = true;
        button("pB_Defaults")->click();
        QTRY_COMPARE_WITH_TIMEOUT(writesSince(before), QStringList{writeRequest(0, 2)}, kTimeoutMs);
        button("pB_Cancel")->click();
        QVERIFY(!m_flow->isDialogOpen());
    }

    // Saves that fail, files from another model or version, with an address above 255, shorter, unreadable.
    void filesThatDoNotMatch() {
        m_messages.clear();
        QString boxText;  // the real Defaults box: its texts, Cancel as the default button
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            boxText = box->text() + '|' + box->informativeText() + '|' + box->defaultButton()->text();
            box->button(QMessageBox::Cancel)->click();
        });
        QVERIFY(!ParamFilePrompts::interactive().confirmDefaults(nullptr));
        QVERIFY(boxText.startsWith(QStringLiteral("WARNING: you will lose the current parametrization")));
        QVERIFY(boxText.endsWith(QStringLiteral("|Do you want to set the default parameters?|Cancel")));

        m_saveTarget.clear();
        QVERIFY(!m_flow->saveParameterFile(m_holdings, m_inputs));  // cancelled: silent
        QVERIFY(m_messages.isEmpty());
        QVERIFY(exportFile(QStringLiteral("missing/out.xml")).isEmpty());
        QVERIFY(m_messages.value(0).contains(QStringLiteral("could not be saved")));

        const QString broken = m_dir.filePath(QStringLiteral("missing.xml"));  // cannot be read
        QVERIFY(!open(broken));
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(m_messages[1].startsWith(QStringLiteral("Error: parameter file %1 not loaded").arg(broken)));

        const uint16_t four = m_holdings[4]->value + 1;
        const QString model = exportCopy("model.xml", [](Holdings &h, DriveIdentity &id) {
            id.model += 1;
            h[4].value += 1;
        });
        const QString version = exportCopy("version.xml", [](Holdings &h, DriveIdentity &id) {
            id.version += 1;
            h[3].add = 300;  // a difference, yet never sent
            h[3].value += 1;
            h[4].value += 1;
        });
        const QString shorter = exportCopy("short.xml", [](Holdings &h, DriveIdentity &) {
            h.resize(3);
            h[1].value += 1;
        });
        QVERIFY(open(model));
        QTRY_VERIFY_WITH_TIMEOUT(summary().contains(QStringLiteral("ERROR! Different hardware models")),
                                 kTimeoutMs);
        QVERIFY(!button("pB_Send")->isEnabled());

        browse(version);  // only warns: Send writes what differs, never the address above 255
        const int before = m_h.requests().size();
        button("pB_Send")->click();
        QTRY_COMPARE_WITH_TIMEOUT(writesSince(before), QStringList{writeRequest(4, four)}, kTimeoutMs);

        browse(shorter);  // compared at once with the known drive values; the rows past it go back to ---
        QVector<QString> expected(m_holdings.size(), QStringLiteral("---"));
        expected[0] = expected[2] = QStringLiteral("ok");
        expected[1] = QStringLiteral("no");
        QCOMPARE(marks(), expected);

        browse(broken);  // the loaded file stays
        QCOMPARE(m_flow->dialog()->fileName(), shorter);
        QCOMPARE(m_flow->dialog()->fileHoldings().size(), 3);
        QVERIFY(!widget<QLabel>("labLoadError")->isHidden());
        QVERIFY(m_messages.last().contains(broken));
    }

  private:
    QString exportFile(const QString &name = QStringLiteral("export.xml")) {
        m_saveTarget = m_dir.filePath(name);
        return m_flow->saveParameterFile(m_holdings, m_inputs) ? m_saveTarget : QString();
    }

    using Holdings = QVector<holding_t>;
    // A file of edited copies of the drive's current holdings.
    QString exportCopy(const char *name, const std::function<void(Holdings &, DriveIdentity &)> &edit) {
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
        const QString path = m_dir.filePath(QLatin1String(name));
        return exportParameters(m_settings, pointers, identity, path, kNow).isEmpty() ? path : QString();
    }

    ParamFile *open(const QString &path) {
        delete m_flow->dialog();  // one left open by a scenario that failed
        m_nextFile = path;
        m_flow->openParameterFile(m_inputs, mapPath());
        return m_flow->dialog();
    }

    void browse(const QString &path) {
        m_nextFile = path;
        button("pushButton")->click();
    }

    QStringList writesSince(int requestIndex) const {
        return m_h.requests().mid(requestIndex).filter(QRegularExpression(QStringLiteral("^1 06 ")));
    }

    QVector<QString> marks() const {
        const QTableWidget *table = widget<QTableWidget>("tW_Holdings_2");
        QVector<QString> texts;
        for (int row = 0; row < table->rowCount(); ++row) {
            texts << table->item(row, 2)->text();
        }
        return texts;
    }

    QString summary() const { return widget<QTextEdit>("textEdit")->toPlainText(); }
    QPushButton *button(const char *name) const { return widget<QPushButton>(name); }

    template <typename T>
    T *widget(const char *name) const {
        return m_flow->dialog()->findChild<T *>(QLatin1String(name));
    }

    QTemporaryDir m_dir;
    settings m_settings{m_dir.filePath(QStringLiteral("settings.xml"))};
    xmlmap m_map;
    QVector<holding_t *> m_holdings;
    QVector<input_reg_t *> m_inputs;
    WorkerHarness m_h;
    std::unique_ptr<ParameterFiles> m_flow;
    bool m_holdingsRead = false;
    QString m_proposed, m_saveTarget, m_nextFile;
    bool m_confirm = false;
    QStringList m_messages;
};

QTEST_MAIN(GuiParamFileTest)
#include "tst_gui_paramfile.moc"
