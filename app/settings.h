#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"
#include "map/readwarning.h"

class QFile;
class QXmlStreamReader;
class QXmlStreamWriter;

// The application preferences kept in "settings.xml" (root App_Settings, one text element
// per key). The object also writes parameter files, since they carry the map path it holds.
class settings : public QObject {
    Q_OBJECT
  public:
    // Uses "settings.xml" in the current working directory.
    explicit settings(QObject *parent = nullptr);
    // Uses the given file instead; reads it when it exists, otherwise writes the defaults.
    explicit settings(const QString &filePath, QObject *parent = nullptr);

    bool read();
    bool readData(const QByteArray &xml);
    bool writeDefaults();
    // False (after saveFailed) when the file could not be written.
    bool save();

    QString filePath() const { return m_filePath; }
    const ReadWarnings &warnings() const { return m_warnings; }

    // Writes a parameter file of the given holdings. savedAt is the time written into the
    // metadata; an invalid value means now. Returns 1 on success, -1 on failure.
    int writeParamFile(QVector<holding_t *> holdings, QFile &file, const QDateTime &savedAt = QDateTime());

    // Drive identity written into parameter files; not stored in settings.xml.
    void setModel(uint16_t model) { m_model = model; }
    void setVersion(uint16_t version) { m_version = version; }
    uint16_t getModel() const { return m_model; }
    uint16_t getVersion() const { return m_version; }

    QString getLanguaje() const { return m_languaje; }
    bool getDo_Logging() const { return m_doLogging; }
    QDir getLog_Dir() const { return m_logDir; }
    QDir getCfg_Dir() const { return m_cfgDir; }
    QString getLast_Com() const { return m_lastCom; }
    QString getXML_drive() const { return m_xmlDrive; }
    int getModbus_Add() const { return m_modbusAdd; }
    int getModbus_Speed() const { return m_modbusSpeed; }
    int getModbus_Config() const { return m_modbusConfig; }
    int getPoll_Interval() const { return m_pollInterval; }
    bool getInput_Register_Tab() const { return m_inputRegisterTab; }
    bool getHolding_Register_Tab() const { return m_holdingRegisterTab; }
    bool getAux_Register_Tab() const { return m_auxRegisterTab; }
    bool getTools_Tab() const { return m_toolsTab; }
    bool getTest_Tab() const { return m_testTab; }
    int getDocks_Layout() const { return m_docksLayout; }

    void setLanguaje(const QString &value) { m_languaje = value; }
    void setDo_Logging(bool value) { m_doLogging = value; }
    void setLog_Dir(const QDir &dir) { m_logDir.setPath(dir.path()); }
    void setCfg_Dir(const QDir &dir) { m_cfgDir.setPath(dir.path()); }
    void setLast_Com(const QString &value) { m_lastCom = value; }
    void setXML_drive(const QString &value) { m_xmlDrive = value; }
    void setModbus_Add(int value) { m_modbusAdd = value; }
    void setModbus_Speed(int value) { m_modbusSpeed = value; }
    void setModbus_Config(int value) { m_modbusConfig = value; }
    void setPoll_Interval(int value) { m_pollInterval = value; }
    void setInput_Register_Tab(bool value) { m_inputRegisterTab = value; }
    void setHolding_Register_Tab(bool value) { m_holdingRegisterTab = value; }
    void setAux_Register_Tab(bool value) { m_auxRegisterTab = value; }
    void setTools_Tab(bool value) { m_toolsTab = value; }
    void setTest_Tab(bool value) { m_testTab = value; }
    void setDocks_Layout(int value) { m_docksLayout = value; }

  signals:
    // The reason a save of settings.xml failed, for the user.
    void saveFailed(const QString &message);

  private:
    void loadOrCreate();
    void applyDefaults();
    void readElement(QXmlStreamReader &xml);
    bool applyValue(const QString &key, const QString &text, int line);
    QString *stringMember(const QString &key);
    bool *boolMember(const QString &key);
    int *intMember(const QString &key);
    QDir *dirMember(const QString &key);
    void writeSettingsDocument(QXmlStreamWriter &xml) const;
    void addWarning(int line, const QString &element, const QString &reason);

    QString m_filePath;
    ReadWarnings m_warnings;
    uint16_t m_model = 0;
    uint16_t m_version = 0;

    QString m_languaje;
    bool m_doLogging = false;
    QDir m_logDir;
    QDir m_cfgDir;
    QString m_lastCom;
    QString m_xmlDrive;
    int m_modbusAdd = 0;
    int m_modbusSpeed = 0;
    int m_modbusConfig = 0;
    int m_pollInterval = 0;
    bool m_inputRegisterTab = false;
    bool m_holdingRegisterTab = false;
    bool m_auxRegisterTab = false;
    bool m_toolsTab = false;
    bool m_testTab = false;
    int m_docksLayout = 0;
};
