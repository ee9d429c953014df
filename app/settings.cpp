#include "app/settings.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "app/filesave.h"
#include "params/paramfile_io.h"

namespace {

const QString kDefaultFileName = QStringLiteral("settings.xml");

QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace

settings::settings(QObject *parent) : settings(kDefaultFileName, parent) {}

settings::settings(const QString &filePath, QObject *parent) : QObject(parent), m_filePath(filePath) {
    loadOrCreate();
}

// Members start from the defaults, so a file lacking a key (or one that cannot be read)
// never leaves the program with address 0 (broadcast) or a zero polling period.
void settings::loadOrCreate() {
    applyDefaults();
    if (QFile::exists(m_filePath)) {
        read();
    } else {
        writeDefaults();
    }
}

void settings::applyDefaults() {
    m_languaje = QStringLiteral("Spanish");
    m_doLogging = false;
    m_logDir.setPath(QStringLiteral("log"));
    m_cfgDir.setPath(QStringLiteral("save"));
    m_lastCom = QStringLiteral("none");
    m_xmlDrive = QStringLiteral("none");
    m_modbusAdd = 1;
    m_modbusSpeed = 0;
    m_modbusConfig = 0;
    m_pollInterval = 500;
    m_inputRegisterTab = true;
    m_holdingRegisterTab = true;
    m_auxRegisterTab = false;
    m_toolsTab = false;
    m_testTab = false;
    m_docksLayout = 0;
}

bool settings::read() {
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << QStringLiteral("Error: Cannot read settings.xml file ") + file.errorString();
        return false;
    }
    return readData(file.readAll());
}

bool settings::readData(const QByteArray &xml) {
    QXmlStreamReader reader(xml);
    m_warnings.clear();
    bool seenRoot = false;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (seenRoot) {
            readElement(reader);
        } else {
            seenRoot = true;  // the root's name is not checked
        }
    }
    if (reader.hasError()) {
        addWarning(int(reader.lineNumber()), QString(),
                   tr("malformed XML, reading stopped: %1").arg(reader.errorString()));
    }
    return true;
}

void settings::readElement(QXmlStreamReader &xml) {
    const QString key = xml.name().toString();
    const int line = int(xml.lineNumber());
    if (!stringMember(key) && !boolMember(key) && !intMember(key) && !dirMember(key)) {
        addWarning(line, key, tr("unknown element ignored"));
        return;
    }
    const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    // An element cut short by an error keeps the member's previous value.
    if (!xml.hasError()) {
        applyValue(key, text, line);
    }
}

bool settings::applyValue(const QString &key, const QString &text, int line) {
    if (QString *member = stringMember(key)) {
        *member = text;
    } else if (QDir *member = dirMember(key)) {
        member->setPath(text);
    } else if (bool *member = boolMember(key)) {
        *member = text == QLatin1String("True");
        if (!*member && text != QLatin1String("False")) {
            addWarning(line, key, tr("\"%1\" is not True or False: read as False").arg(text));
        }
    } else if (int *member = intMember(key)) {
        bool ok = false;
        *member = text.toInt(&ok);
        if (!ok) {
            addWarning(line, key, tr("\"%1\" is not a number: read as 0").arg(text));
        }
    } else {
        return false;
    }
    return true;
}

QString *settings::stringMember(const QString &key) {
    if (key == QLatin1String("Languaje"))
        return &m_languaje;
    if (key == QLatin1String("Last_Com"))
        return &m_lastCom;
    if (key == QLatin1String("XML_drive"))
        return &m_xmlDrive;
    return nullptr;
}

bool *settings::boolMember(const QString &key) {
    if (key == QLatin1String("Do_Logging"))
        return &m_doLogging;
    if (key == QLatin1String("Input_Register_Tab"))
        return &m_inputRegisterTab;
    if (key == QLatin1String("Holding_Register_Tab"))
        return &m_holdingRegisterTab;
    if (key == QLatin1String("Aux_Register_Tab"))
        return &m_auxRegisterTab;
    if (key == QLatin1String("Tools_Tab"))
        return &m_toolsTab;
    if (key == QLatin1String("Test_Tab"))
        return &m_testTab;
    return nullptr;
}

int *settings::intMember(const QString &key) {
    if (key == QLatin1String("Modbus_Add"))
        return &m_modbusAdd;
    if (key == QLatin1String("Modbus_Speed"))
        return &m_modbusSpeed;
    if (key == QLatin1String("Modbus_Config"))
        return &m_modbusConfig;
    if (key == QLatin1String("Poll_Interval"))
        return &m_pollInterval;
    if (key == QLatin1String("Docks_Layout"))
        return &m_docksLayout;
    return nullptr;
}

QDir *settings::dirMember(const QString &key) {
    if (key == QLatin1String("Log_Dir"))
        return &m_logDir;
    if (key == QLatin1String("Cfg_Dir"))
        return &m_cfgDir;
    return nullptr;
}

bool settings::writeDefaults() {
    applyDefaults();
    return save();
}

// A failed save leaves the previous file intact, and is said (the user's preferences are lost).
bool settings::save() {
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    writeSettingsDocument(xml);
    QString error;
    if (!xml.hasError() && saveFileContents(m_filePath, document, &error)) {
        return true;
    }
    if (error.isEmpty()) {
        error = tr("%1 could not be saved: the document could not be written").arg(m_filePath);
    }
    qWarning().noquote() << error;
    emit saveFailed(error);
    return false;
}

void settings::writeSettingsDocument(QXmlStreamWriter &xml) const {
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("App_Settings"));
    xml.writeTextElement(QStringLiteral("Languaje"), m_languaje);
    xml.writeTextElement(QStringLiteral("Do_Logging"), boolText(m_doLogging));
    xml.writeTextElement(QStringLiteral("Log_Dir"), m_logDir.path());
    xml.writeTextElement(QStringLiteral("Cfg_Dir"), m_cfgDir.path());
    xml.writeTextElement(QStringLiteral("Last_Com"), m_lastCom);
    xml.writeTextElement(QStringLiteral("XML_drive"), m_xmlDrive);
    xml.writeTextElement(QStringLiteral("Modbus_Add"), QString::number(m_modbusAdd));
    xml.writeTextElement(QStringLiteral("Modbus_Speed"), QString::number(m_modbusSpeed));
    xml.writeTextElement(QStringLiteral("Modbus_Config"), QString::number(m_modbusConfig));
    xml.writeTextElement(QStringLiteral("Poll_Interval"), QString::number(m_pollInterval));
    xml.writeTextElement(QStringLiteral("Input_Register_Tab"), boolText(m_inputRegisterTab));
    xml.writeTextElement(QStringLiteral("Holding_Register_Tab"), boolText(m_holdingRegisterTab));
    xml.writeTextElement(QStringLiteral("Aux_Register_Tab"), boolText(m_auxRegisterTab));
    xml.writeTextElement(QStringLiteral("Tools_Tab"), boolText(m_toolsTab));
    xml.writeTextElement(QStringLiteral("Test_Tab"), boolText(m_testTab));
    xml.writeTextElement(QStringLiteral("Docks_Layout"), QString::number(m_docksLayout));
    xml.writeEndElement();
    xml.writeEndDocument();
}

int settings::writeParamFile(QVector<holding_t *> holdings, QFile &file, const QDateTime &savedAt) {
    if (file.isOpen()) {
        file.close();
    }
    if (file.fileName().isEmpty()) {
        return -1;
    }
    const QDateTime when = savedAt.isValid() ? savedAt : QDateTime::currentDateTime();
    const ParamFileMeta meta{m_xmlDrive, paramFileDateTime(when), QString::number(m_model),
                             QString::number(m_version)};
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    // A failed export leaves no file, or the previous one unchanged.
    if (!writeParamFileData(&document, meta, holdings) ||
        !saveFileContents(file.fileName(), document.data())) {
        return -1;
    }
    return 1;
}

void settings::addWarning(int line, const QString &element, const QString &reason) {
    m_warnings.append({line, element, reason});
}
