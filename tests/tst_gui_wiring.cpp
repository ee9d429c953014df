#include <qcustomplot.h>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QtTest>
#include <memory>

#include "../tools/drive-sim/waveforms.h"
#include "app/mainwindow.h"
#include "params/paramfiledialog.h"
#include "support/guiworkdir.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"
#include "views/maintoolbars.h"
#include "views/parameterfiles.h"
#include "views/realtimecontrols.h"
#include "views/realtimeplot.h"
#include "views/secondarygraph.h"
#include "views/timegraphpanel.h"

namespace {

const int kWaitMs = 30000;

QString exampleMap() {
    return testpaths::example(QStringLiteral("drive-map.xml"));
}

// Answers the next modal file dialog with path, as the operator would.
void answerFileDialog(const QString &path) {
    QTimer::singleShot(0, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

}  // namespace

// The plots and the parameter files inside the window, fed by the simulated drive.
class GuiWiringTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("mvx.capture.debug=false")); }
    void cleanup() {
        m_window.reset();
        m_dir.reset();
        m_bus.reset();
    }
    void liveCurvesFollowTheReplies() {
        startWindow();
        RealtimePlot *plot = m_window->realtimePlot();
        QVERIFY(plot->curveCount() > 0);
        QCOMPARE(plot->controls()->parentWidget(), m_window->timeGraph());
        QTRY_VERIFY_WITH_TIMEOUT(plot->sampleCount() >= 3, kWaitMs);
        const QVector<input_reg_t *> &inputs = m_window->registers().inputRegisters;
        for (int i = 0; i < inputs.size(); ++i) {
            if (plot->curveIndexOf(i) < 0) {
                continue;
            }
            const plotdata::HistoryStore &history = plot->history();
            QCOMPARE(history.readingAt(plot->curveIndexOf(i), history.newestMs()).min, double(inputs[i]->fvalue));
        }
        // Power from the map's id/iq/vd/vq positions of the latest reply.
        const double p =
            1.5 * (inputs[13]->fvalue * inputs[11]->fvalue + inputs[14]->fvalue * inputs[12]->fvalue);
        QCOMPARE(plot->controls()->activePowerLabel()->text(), QStringLiteral("P = %1 W").arg(p, 0, 'f', 1));
    }
    void captureGoesOnlyToTheSecondaryGraph() {
        startWindow(true);
        SecondaryGraph *graph = m_window->secondaryGraph();
        QVERIFY(graph->readVariablesButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(m_window->realtimePlot()->sampleCount() > 0, kWaitMs);
        graph->readVariablesButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(float(graph->data().buffer(2).at(waveforms::kBufferSamples - 1)),
                                  waveforms::bufferSample(2, waveforms::kBufferSamples - 1), kWaitMs);
        QCOMPARE(float(graph->data().buffer(0).at(0)),
                 waveforms::bufferSample(0, 0));  // every sample: tst_gui_plots
        QTRY_COMPARE_WITH_TIMEOUT(graph->progressBar()->value(), 0, kWaitMs);
        const int samples = m_window->realtimePlot()->sampleCount();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->realtimePlot()->sampleCount() > samples,
                                 kWaitMs);  // polling resumed
        m_window->toolBars()->connectPort->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);

        // Not one capture chunk was taken for an ordinary reply: every data-log line is the drive's.
        const QDir logs(m_dir->filePath(QStringLiteral("log")));
        const QStringList files = logs.entryList({QStringLiteral("*-log.txt")});
        QCOMPARE(files.size(), 1);
        const QStringList lines = m_dir->read(QStringLiteral("log/") + files[0])
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                      .mid(3);
        QVERIFY(lines.size() > 2);
        for (const QString &line : lines.mid(0, lines.size() - 1)) {
            QCOMPARE(line.section(QLatin1Char(';'), 2, 2), QStringLiteral("4"));  // model
        }
    }
    void savedFileReopensWithoutDifferences() {
        startWindow();
        const QVector<holding_t *> &holdings = m_window->registers().holdings;
        QTRY_COMPARE_WITH_TIMEOUT(holdings[6]->value, uint16_t(3000), kWaitMs);
        const QString path = m_dir->filePath(QStringLiteral("saved.xml"));
        answerFileDialog(path);
        m_window->toolBars()->saveFile->trigger();
        QVERIFY(QFile::exists(path));

        answerFileDialog(path);
        m_window->toolBars()->openFile->trigger();
        ParamFile *dialog = m_window->parameterFiles()->dialog();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(dialog->comparison().compared(), holdings.size(), kWaitMs);
        QCOMPARE(dialog->findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText(),
                 QStringLiteral("There are 0 parameters with different values"));
        QCOMPARE(dialog->findChild<QTableWidget *>(QStringLiteral("tW_Holdings_2"))->item(6, 1)->text(),
                 QStringLiteral("3000"));
        dialog->findChild<QPushButton *>(QStringLiteral("pB_Cancel"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->parameterFiles()->isDialogOpen(), kWaitMs);

        // The export's poll interval survives the window's own saves (connect, exit).
        m_window->toolBars()->connectPort->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isPortConnected(), kWaitMs);
        m_window.reset();
        QVERIFY(m_dir->read(QStringLiteral("settings.xml")).contains(QStringLiteral("<Poll_Interval>50<")));
    }

  private:
    void startWindow(bool logging = false) {
        m_bus = std::make_unique<SimulatedBus>();
        SimulatedDrive::Options options;
        options.mapFile = exampleMap();
        QString error;
        QVERIFY2(m_bus->start(options, &error), qPrintable(error));
        GuiWorkDir::Settings settings{exampleMap(), m_bus->line.masterPort()};
        settings.logging = logging;
        m_dir = std::make_unique<GuiWorkDir>(settings);
        m_window = std::make_unique<MainWindow>();
        m_window->toolBars()->connectPort->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->isPortConnected(), kWaitMs);
    }

    std::unique_ptr<SimulatedBus> m_bus;
    std::unique_ptr<GuiWorkDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(GuiWiringTest)
#include "tst_gui_wiring.moc"
