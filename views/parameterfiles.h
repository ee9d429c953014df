#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>

#include "map/descriptors.h"
#include "params/paramfiledialog.h"

class Modbus;
class settings;

// The questions "Save File" and "Open File" ask the user; replaceable for tests.
struct ParameterFilePrompts {
    // Target of an export, starting from the proposed path; empty when the user cancels.
    std::function<QString(QWidget *parent, const QString &proposedPath)> chooseSaveFile;
    ParamFilePrompts dialog;
    // The moment of an export: names the file and is written into it.
    std::function<QDateTime()> now;

    static ParameterFilePrompts interactive();
};

// The main window's side of parameter files: the export, the "Load parameters from file to
// drive" dialog while it is open, and the restoring of firmware defaults. Messages for the
// user leave through statusMessage, shaped for the window's showStatus.
class ParameterFiles : public QObject {
    Q_OBJECT
  public:
    ParameterFiles(settings *appSettings, QWidget *window,
                   ParameterFilePrompts prompts = ParameterFilePrompts::interactive());
    ~ParameterFiles() override;

    // The worker that receives the writes; the window sets it again when it builds a new one.
    void setWorker(Modbus *worker);

    // "Save File": the drive's normal holdings and its input registers (0: version, 1: model).
    // False when cancelled or when the file could not be written (then a message says why).
    bool saveParameterFile(const QVector<holding_t *> &holdings, const QVector<input_reg_t *> &inputs);
    // "Open File": asks for a file and shows the dialog when it could be loaded.
    void openParameterFile(const QVector<input_reg_t *> &inputs, const QString &mapPath);

    // The window's "parameter dialog open" flag.
    bool isDialogOpen() const { return !m_dialog.isNull(); }
    ParamFile *dialog() const { return m_dialog.data(); }

    // Forwarded to the open dialog; nothing happens while none is open.
    void setDeviceInfo(uint16_t version, uint16_t model);
    void setMapPath(const QString &path);
    void setDeviceHoldings(const QVector<holding_t *> &holdings);
    // After every complete reply to the normal-holdings read: the values, then the identity.
    void onHoldingsRead(const QVector<holding_t *> &holdings, const QVector<input_reg_t *> &inputs);

  public slots:
    void paramSendClosedHandler(int result);
    // Firmware defaults: 2 written to holding register 0.
    void restoreDefaults();

  signals:
    void statusMessage(bool timestamp, bool toStatus, bool toBrowser, QString text);

  private:
    void sendHoldingList(QVector<param_list_t> list);
    void logLoadWarnings(const QString &path);
    void report(const QString &text);
    bool workerReady();

    settings *m_settings;
    QWidget *m_window;
    ParameterFilePrompts m_prompts;
    QPointer<Modbus> m_worker;
    QPointer<ParamFile> m_dialog;
};
