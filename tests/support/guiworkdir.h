#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

#include "support/testpaths.h"

namespace guitest {

inline QString exampleMap() {
    return testpaths::example(QStringLiteral("drive-map.xml"));
}

// The shown top-level widget of type T, such as a dialog the window has just opened.
template <typename T>
T *topLevel() {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *found = qobject_cast<T *>(widget); found && found->isVisible()) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace guitest

// A temporary working directory holding the settings.xml the main window reads at start-up;
// the process works inside it while the object lives.
class GuiWorkDir {
  public:
    struct Settings {
        QString map = guitest::exampleMap();
        QString port = QStringLiteral("none");
        int speed = 115200;
        int address = 1;
        bool logging = false;
        bool auxDock = true;
        QString language = QStringLiteral("English");  // the Languaje key
    };

    GuiWorkDir() : GuiWorkDir(Settings{}) {}
    explicit GuiWorkDir(const Settings &s) : m_previous(QDir::currentPath()) {
        QDir::setCurrent(m_dir.path());
        QDir().mkpath(QStringLiteral("log"));
        writeSettings(s);
    }
    ~GuiWorkDir() { QDir::setCurrent(m_previous); }
    GuiWorkDir(const GuiWorkDir &) = delete;
    GuiWorkDir &operator=(const GuiWorkDir &) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    QString read(const QString &name) const {
        QFile file(filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

  private:
    static QString flag(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }

    void writeSettings(const Settings &s) {
        QFile file(m_dir.filePath(QStringLiteral("settings.xml")));
        if (!file.open(QIODevice::WriteOnly)) {
            return;
        }
        QTextStream out(&file);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<App_Settings>\n"
            << "<Languaje>" << s.language << "</Languaje>\n<Do_Logging>" << flag(s.logging)
            << "</Do_Logging>\n"
            << "<Log_Dir>log</Log_Dir>\n<Cfg_Dir>save</Cfg_Dir>\n<Last_Com>" << s.port << "</Last_Com>\n"
            << "<XML_drive>" << s.map << "</XML_drive>\n<Modbus_Add>" << s.address << "</Modbus_Add>\n"
            << "<Modbus_Speed>" << s.speed << "</Modbus_Speed>\n<Modbus_Config>0</Modbus_Config>\n"
            << "<Poll_Interval>500</Poll_Interval>\n<Input_Register_Tab>True</Input_Register_Tab>\n"
            << "<Holding_Register_Tab>True</Holding_Register_Tab>\n<Aux_Register_Tab>" << flag(s.auxDock)
            << "</Aux_Register_Tab>\n<Tools_Tab>False</Tools_Tab>\n<Test_Tab>True</Test_Tab>\n"
            << "<Docks_Layout>0</Docks_Layout>\n</App_Settings>\n";
    }

    QTemporaryDir m_dir;
    QString m_previous;
};
