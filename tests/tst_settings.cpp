#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

#include "app/settings.h"
#include "support/readonlyfolder.h"

namespace {

using Pairs = QVector<QPair<QString, QString>>;

const Pairs kDefaults = {
    {"Languaje", "Spanish"},       {"Do_Logging", "False"},        {"Log_Dir", "log"},
    {"Cfg_Dir", "save"},           {"Last_Com", "none"},           {"XML_drive", "none"},
    {"Modbus_Add", "1"},           {"Modbus_Speed", "0"},          {"Modbus_Config", "0"},
    {"Poll_Interval", "500"},      {"Input_Register_Tab", "True"}, {"Holding_Register_Tab", "True"},
    {"Aux_Register_Tab", "False"}, {"Tools_Tab", "False"},         {"Test_Tab", "False"},
    {"Docks_Layout", "0"},
};

// The root's children as (name, text), in file order.
Pairs elementsOf(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QXmlStreamReader xml(&file);
    Pairs pairs;
    xml.readNextStartElement();
    while (xml.readNextStartElement()) {
        const QString name = xml.name().toString();
        pairs.append({name, xml.readElementText()});
    }
    return pairs;
}

// Every key with its getter's value as the file would hold it, in table order.
Pairs valuesOf(const settings &s) {
    auto flag = [](bool b) { return QString(b ? "True" : "False"); };
    return {
        {"Languaje", s.getLanguaje()},
        {"Do_Logging", flag(s.getDo_Logging())},
        {"Log_Dir", s.getLog_Dir().path()},
        {"Cfg_Dir", s.getCfg_Dir().path()},
        {"Last_Com", s.getLast_Com()},
        {"XML_drive", s.getXML_drive()},
        {"Modbus_Add", QString::number(s.getModbus_Add())},
        {"Modbus_Speed", QString::number(s.getModbus_Speed())},
        {"Modbus_Config", QString::number(s.getModbus_Config())},
        {"Poll_Interval", QString::number(s.getPoll_Interval())},
        {"Input_Register_Tab", flag(s.getInput_Register_Tab())},
        {"Holding_Register_Tab", flag(s.getHolding_Register_Tab())},
        {"Aux_Register_Tab", flag(s.getAux_Register_Tab())},
        {"Tools_Tab", flag(s.getTools_Tab())},
        {"Test_Tab", flag(s.getTest_Tab())},
        {"Docks_Layout", QString::number(s.getDocks_Layout())},
    };
}

QByteArray document(const QByteArray &body) {
    return "<?xml version=\"1.0\"?><App_Settings>" + body + "</App_Settings>";
}

}  // namespace

class tst_settings : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }

    void firstStartWritesDefaultsInOrderSecondReadsThem() {
        settings first;
        QVERIFY(QFile::exists(m_dir->filePath("settings.xml")));
        QCOMPARE(elementsOf(m_dir->filePath("settings.xml")), kDefaults);
        QFile file(m_dir->filePath("settings.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readLine().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        settings second;
        QVERIFY(second.warnings().isEmpty());
        QCOMPARE(valuesOf(second), kDefaults);
    }

    void saveRoundTrip() {
        settings written;
        written.setLanguaje("English <&>");
        written.setDo_Logging(true);
        written.setLog_Dir(QDir("/var/log/drive logs"));
        written.setCfg_Dir(QDir("cfg"));
        written.setLast_Com("/dev/ttyUSB0");
        written.setXML_drive("maps/drive-map.xml");
        written.setModbus_Add(17);
        written.setModbus_Speed(115200);
        written.setModbus_Config(3);
        written.setPoll_Interval(50);
        written.setInput_Register_Tab(false);
        written.setHolding_Register_Tab(false);
        written.setAux_Register_Tab(true);
        written.setTools_Tab(true);
        written.setTest_Tab(true);
        written.setDocks_Layout(-4);
        QVERIFY(written.save());
        QCOMPARE(elementsOf("settings.xml"), valuesOf(written));
        QCOMPARE(valuesOf(settings()), valuesOf(written));
    }

    void readRules_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("doLogging");
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("warningCount");
        // clang-format off
        QTest::newRow("exact True") << "<Do_Logging>True</Do_Logging>" << true << 1 << "Spanish" << 0;
        QTest::newRow("lower-case true") << "<Do_Logging>true</Do_Logging>" << false << 1 << "Spanish" << 1;
        QTest::newRow("x1 reads 0") << "<Modbus_Add>x1</Modbus_Add>" << false << 0 << "Spanish" << 1;
        QTest::newRow("any order")
            << "<Modbus_Add>9</Modbus_Add><Languaje>X</Languaje><Do_Logging>True</Do_Logging>"
            << true << 9 << "X" << 0;
        QTest::newRow("unknown ignored")
            << "<Colour>red</Colour><Modbus_Add>4</Modbus_Add><modbus_add>7</modbus_add>"
            << false << 4 << "Spanish" << 2;
        QTest::newRow("missing keeps") << "<Languaje>English</Languaje>" << false << 1 << "English" << 0;
        QTest::newRow("malformed keeps what was read")
            << "<Modbus_Add>5</Modbus_Add><Languaje>Eng</Languaj><Do_Logging>True</Do_Logging>"
            << false << 5 << "Spanish" << 1;
        // clang-format on
    }

    void readRules() {
        QFETCH(QString, body);
        QFETCH(bool, doLogging);
        QFETCH(int, address);
        QFETCH(QString, language);
        QFETCH(int, warningCount);

        QFile file("settings.xml");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(document(body.toUtf8()));
        file.close();

        settings s;
        QCOMPARE(s.getDo_Logging(), doLogging);
        QCOMPARE(s.getModbus_Add(), address);
        QCOMPARE(s.getLanguaje(), language);
        QCOMPARE(s.warnings().size(), warningCount);
        QCOMPARE(s.getPoll_Interval(), 500);  // never in these files
    }

    void readDataSurvivesGarbage_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("pollInterval");
        QTest::newRow("empty") << QByteArray() << 500;
        QTest::newRow("not xml") << QByteArray("\x01\xff garbage <<<") << 500;
        QTest::newRow("nested key") << document(
                                           "<Languaje><b>x</b>y</Languaje><Poll_Interval>7</Poll_Interval>")
                                    << 7;
        QTest::newRow("huge number") << document("<Poll_Interval>99999999999999999999</Poll_Interval>") << 0;
        QTest::newRow("cut inside a value") << QByteArray("<App_Settings><Poll_Interval>12") << 500;
    }

    void readDataSurvivesGarbage() {
        QFETCH(QByteArray, data);
        QFETCH(int, pollInterval);
        settings s;
        QVERIFY(s.readData(data));
        QCOMPARE(s.getPoll_Interval(), pollInterval);
    }

    void unreadableFileKeepsDefaults() {
        QVERIFY(QDir().mkdir("settings.xml"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Error: Cannot read settings.xml file "));
        settings s;
        QCOMPARE(s.getModbus_Add(), 1);
        QCOMPARE(s.getPoll_Interval(), 500);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Error: Cannot read settings.xml file "));
        QVERIFY(!s.read());
        QVERIFY(QFileInfo("settings.xml").isDir());
    }

    // A read-only folder refuses QSaveFile's temporary file; a writable settings.xml in it
    // is still saved (in place). What cannot be saved is said, and a good file is kept.
    void saveInFolders_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("saved");
        QTest::newRow("missing folder") << "missing-dir" << false << false << false;
        QTest::newRow("read-only folder, writable file") << "ro" << true << true << true;
        QTest::newRow("read-only folder, no file") << "ro" << true << false << false;
    }
    void saveInFolders() {
        QFETCH(QString, folder);
        QFETCH(bool, readOnly);
        QFETCH(bool, fileExists);
        QFETCH(bool, saved);
        const QString dir = m_dir->filePath(folder);
        const QString path = dir + "/settings.xml";
        QVERIFY(!readOnly || QDir().mkdir(dir));
        if (fileExists) {
            settings defaults(path);  // writes the default file
        }
        std::unique_ptr<ReadOnlyFolder> locked(readOnly ? new ReadOnlyFolder(dir) : nullptr);
        settings s(path);
        s.setModbus_Add(42);
        QSignalSpy failures(&s, &settings::saveFailed);
        QCOMPARE(s.save(), saved);
        QCOMPARE(failures.size(), saved ? 0 : 1);
        QVERIFY(saved || failures[0][0].toString().startsWith(path + " could not be saved: "));
        QCOMPARE(elementsOf(path).value(6).second, saved ? "42" : QString());
    }

  private:
    QScopedPointer<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
