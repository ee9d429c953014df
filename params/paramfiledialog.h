#pragma once

#include <QDialog>
#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>

#include "map/descriptors.h"
#include "map/readwarning.h"
#include "params/paramcompare.h"

class xmlmap;

namespace Ui {
class ParamFile;
}

// The questions the dialog asks the user. Replaceable so that the dialog can be driven
// without modal windows.
struct ParamFilePrompts {
    // The parameter file to load; empty when the user cancels.
    std::function<QString(QWidget *parent)> chooseFile;
    // True when the user confirms going back to the firmware defaults.
    std::function<bool(QWidget *parent)> confirmDefaults;

    static ParamFilePrompts interactive();
};

// "Load parameters from file to drive": shows a parameter file beside the drive's values,
// marks the positions that differ and hands those values to the worker. The constructor
// asks for the file; when none could be loaded, isLoaded() is false and the dialog is not
// meant to be shown.
class ParamFile : public QDialog {
    Q_OBJECT
  public:
    explicit ParamFile(QWidget *parent = nullptr, ParamFilePrompts prompts = ParamFilePrompts::interactive());
    ~ParamFile() override;

    bool isLoaded() const { return m_loaded; }
    // Why the latest load failed; empty after a successful load or a cancelled choice.
    QString loadError() const { return m_loadError; }
    // What the reader of the loaded file dropped or defaulted.
    const ReadWarnings &loadWarnings() const { return m_loadWarnings; }
    QString fileName() const { return m_filePath; }

    // Replaces the shown file with the one at path. On failure the previous file stays.
    bool loadParamFile(const QString &path);

    void setDeviceInfo(uint16_t version, uint16_t model);
    void setMapPath(const QString &path);
    // The drive's current values: shown, then compared with the file.
    void setDeviceHoldings(const QVector<holding_t *> &list);

    const QVector<holding_t> &fileHoldings() const { return m_fileHoldings; }
    const ParamComparison &comparison() const { return m_comparison; }

  signals:
    void holdingListToSend(QVector<param_list_t> holdingToSend);
    void sendDefaults();
    void fileLoaded(const QString &path);
    void loadFailed(const QString &message);

  private slots:
    void on_pushButton_clicked();
    void on_pB_Send_clicked();
    void on_pB_Cancel_clicked();
    void on_pB_Defaults_clicked();

  private:
    void chooseAndLoad();
    void showLoadError(const QString &message);
    void fillFileTable();
    void showFileValues();
    void fillDriveTable();
    void compare();
    void showMarks();
    void clearComparison();

    Ui::ParamFile *ui;
    ParamFilePrompts m_prompts;
    xmlmap *m_map;
    QString m_mapPath;
    QString m_filePath;
    bool m_loaded = false;
    bool m_haveDriveValues = false;
    QString m_loadError;
    ReadWarnings m_loadWarnings;

    QVector<holding_t *> m_driveHoldings;
    QVector<coil_t *> m_driveCoils;
    QVector<holding_t> m_fileHoldings;
    QVector<coil_t *> m_fileCoils;
    ParamComparison m_comparison;
};
