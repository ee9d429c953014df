#include "views/parameterfiles.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileDialog>

#include "comm/modbus.h"
#include "params/paramexport.h"

namespace {

constexpr int kCommandRegister = 0;
constexpr int kRestoreDefaultsCommand = 2;

QString chooseExportFile(QWidget *parent, const QString &proposedPath) {
    return QFileDialog::getSaveFileName(parent,
                                        QCoreApplication::translate("ParameterFiles", "Export to XML file"),
                                        proposedPath, QStringLiteral("XML (*.xml)"));
}

}  // namespace

ParameterFilePrompts ParameterFilePrompts::interactive() {
    return ParameterFilePrompts{chooseExportFile, ParamFilePrompts::interactive(),
                                [] { return QDateTime::currentDateTime(); }};
}

ParameterFiles::ParameterFiles(settings *appSettings, QWidget *window, ParameterFilePrompts prompts)
    : QObject(window), m_settings(appSettings), m_window(window), m_prompts(std::move(prompts)) {}

ParameterFiles::~ParameterFiles() {
    if (m_dialog) {
        disconnect(m_dialog, nullptr, this, nullptr);
        delete m_dialog.data();
    }
}

void ParameterFiles::setWorker(Modbus *worker) {
    m_worker = worker;
}

bool ParameterFiles::saveParameterFile(const QVector<holding_t *> &holdings,
                                       const QVector<input_reg_t *> &inputs) {
    const QDateTime now = m_prompts.now ? m_prompts.now() : QDateTime::currentDateTime();
    const QString proposed = proposedExportPath(QDir::currentPath(), now);
    const QString path = m_prompts.chooseSaveFile ? m_prompts.chooseSaveFile(m_window, proposed) : QString();
    if (path.isEmpty()) {
        return false;
    }
    const QString error = exportParameters(*m_settings, holdings, driveIdentity(inputs), path, now);
    if (!error.isEmpty()) {
        report(error);
        return false;
    }
    report(tr("Parameters saved to %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void ParameterFiles::openParameterFile(const QVector<input_reg_t *> &inputs, const QString &mapPath) {
    if (m_dialog) {  // one dialog at a time: a second one would outlive its connections
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    auto *dialog = new ParamFile(m_window, m_prompts.dialog);
    if (!dialog->isLoaded()) {
        if (!dialog->loadError().isEmpty()) {
            report(dialog->loadError());
        }
        delete dialog;
        return;
    }
    m_dialog = dialog;
    logLoadWarnings(dialog->fileName());
    const DriveIdentity identity = driveIdentity(inputs);
    dialog->setDeviceInfo(identity.version, identity.model);
    dialog->setMapPath(mapPath);
    connect(dialog, &ParamFile::holdingListToSend, this, &ParameterFiles::sendHoldingList);
    connect(dialog, &ParamFile::sendDefaults, this, &ParameterFiles::restoreDefaults);
    connect(dialog, &ParamFile::finished, this, &ParameterFiles::paramSendClosedHandler);
    connect(dialog, &ParamFile::fileLoaded, this, &ParameterFiles::logLoadWarnings);
    connect(dialog, &ParamFile::loadFailed, this, &ParameterFiles::report);
    dialog->show();
}

void ParameterFiles::setDeviceInfo(uint16_t version, uint16_t model) {
    if (m_dialog) {
        m_dialog->setDeviceInfo(version, model);
    }
}

void ParameterFiles::setMapPath(const QString &path) {
    if (m_dialog) {
        m_dialog->setMapPath(path);
    }
}

void ParameterFiles::setDeviceHoldings(const QVector<holding_t *> &holdings) {
    if (m_dialog) {
        m_dialog->setDeviceHoldings(holdings);
    }
}

void ParameterFiles::onHoldingsRead(const QVector<holding_t *> &holdings,
                                    const QVector<input_reg_t *> &inputs) {
    if (!m_dialog) {
        return;
    }
    setDeviceHoldings(holdings);
    const DriveIdentity identity = driveIdentity(inputs);
    setDeviceInfo(identity.version, identity.model);
}

void ParameterFiles::paramSendClosedHandler(int result) {
    if (m_dialog) {
        disconnect(m_dialog, nullptr, this, nullptr);
        m_dialog->deleteLater();
    }
    qDebug() << "respuesta paramSend:" << result;
    m_dialog.clear();
}

void ParameterFiles::restoreDefaults() {
    if (!workerReady()) {
        return;
    }
    report(tr("Restoring the firmware default parameters"));
    m_worker->writeHolding(kCommandRegister, kRestoreDefaultsCommand, true);
}

void ParameterFiles::sendHoldingList(QVector<param_list_t> list) {
    if (!workerReady()) {
        return;
    }
    report(tr("Sending %1 parameters from file").arg(list.size()));
    m_worker->prepareHoldingListToSend(list);
}

void ParameterFiles::logLoadWarnings(const QString &path) {
    if (!m_dialog) {
        return;
    }
    for (const ReadWarning &warning : m_dialog->loadWarnings()) {
        emit statusMessage(false, false, true, QStringLiteral("%1: %2").arg(path, warning.toString()));
    }
}

void ParameterFiles::report(const QString &text) {
    emit statusMessage(true, true, true, text);
}

bool ParameterFiles::workerReady() {
    if (m_worker && m_worker->isConnected()) {
        return true;
    }
    report(tr("Error: the port is not connected; nothing was sent to the drive"));
    return false;
}
