#pragma once

#include <QDialog>
#include <cstdint>

#include "records/recordssettings.h"

class QCheckBox;
class QLineEdit;

namespace Ui {
class config;
}

// Speed, framing, polling time, logging, log directory and register-map file. Filled by the
// opener, hands all six values back in change_config when OK is pressed.
class config : public QDialog {
    Q_OBJECT
  public:
    explicit config(QWidget *parent = nullptr);
    ~config() override;

    void setTime(int time);
    void setSpeed(int speed);
    void setCfg(int cfg);
    void setLogging(bool logging);
    void setLog(const QString &log);
    void setXml(const QString &xml);
    // Through a Modbus TCP gateway the gateway runs the serial line: speed and framing are greyed
    // (their values are kept for the next serial connection).
    void setNetworkLink(bool network);
    // The "Results database" group: the database URL (empty: SQLite in the log folder) and
    // the station name (empty: host name).
    void setRecords(const RecordsSettings &records);
    RecordsSettings records() const;
    // "Reconnect automatically" after a lost port or gateway connection.
    void setReconnect(bool on);
    bool reconnect() const;

    // Line speed in bit/s for a row of the speed list (9600 for any unknown row).
    static int32_t speedForIndex(int index);
    // A chosen path as the user expects to see it stored: relative to the working directory.
    static QString relativeToWorkingDir(const QString &path);

  signals:
    void change_config(QString xml, QString log, bool logging, int32_t time, int32_t speed, int32_t cfg);
    // After change_config, on OK.
    void change_records(const RecordsSettings &records);
    void change_reconnect(bool on);

  private slots:
    void on_chk_registrar_stateChanged(int arg1);
    void on_btn_SelectLogDir_clicked();
    void on_btn_SelectXML_clicked();
    void on_buttonBox_accepted();
    void on_cmbSpeed_currentIndexChanged(int index);
    void on_cmbConfig_currentIndexChanged(int index);
    void on_ed_time_editingFinished();

  protected:
    // The choosers; empty text when the user cancels.
    virtual QString chooseLogDirectory(const QString &startDir);
    virtual QString chooseXmlFile();

  private:
    void enableLogDirectory(bool enabled);
    void setupRecordsGroup();

    Ui::config *ui;
    QLineEdit *m_dbUrl = nullptr;
    QLineEdit *m_station = nullptr;
    QCheckBox *m_reconnect = nullptr;
    QString xml;
    QString log;
    bool logging = false;
    int32_t time = 0;
    int32_t speed = 9600;
    int32_t cfg = 0;
};
