#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

#include "app/linepreferences.h"
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

// A value other than the default for every key.
const Pairs kOthers = {
    {"Languaje", "English <&>"},  {"Do_Logging", "True"},          {"Log_Dir", "/var/log/drive logs"},
    {"Cfg_Dir", "cfg"},           {"Last_Com", "/dev/ttyUSB0"},    {"XML_drive", "maps/drive-map.xml"},
    {"Modbus_Add", "17"},         {"Modbus_Speed", "115200"},      {"Modbus_Config", "3"},
    {"Poll_Interval", "50"},      {"Input_Register_Tab", "False"}, {"Holding_Register_Tab", "False"},
    {"Aux_Register_Tab", "True"}, {"Tools_Tab", "True"},           {"Test_Tab", "True"},
    {"Docks_Layout", "-4"},
};

// The root's children as (name, text), in file order; none without the UTF-8 declaration.
Pairs elementsOf(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) ||
        !file.readLine().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) {
        return {};
    }
    file.seek(0);
    QXmlStreamReader xml(&file);
    Pairs pairs;
    xml.readNextStartElement();
    while (xml.readNextStartElement()) {
        pairs.append({xml.name().toString(), xml.readElementText()});  // in this order
    }
    return pairs;
}

QString flag(bool b) {
    return b ? "True" : "False";
}

// Every key with its getter's value as the file would hold it, in table order.
Pairs valuesOf(const settings &s) {
    auto number = [](int n) { return QString::number(n); };
    // clang-format off
    const QStringList values = {s.getLanguaje(), flag(s.getDo_Logging()), s.getLog_Dir().path(),
        s.getCfg_Dir().path(), s.getLast_Com(), s.getXML_drive(), number(s.getModbus_Add()),
        number(s.getModbus_Speed()), number(s.getModbus_Config()), number(s.getPoll_Interval()),
        flag(s.getInput_Register_Tab()), flag(s.getHolding_Register_Tab()), flag(s.getAux_Register_Tab()),
        flag(s.getTools_Tab()), flag(s.getTest_Tab()), number(s.getDocks_Layout())};
    // clang-format on
    Pairs pairs;
    for (int i = 0; i < values.size(); ++i) {
        pairs.append({kDefaults[i].first, values[i]});
    }
    return pairs;
}

QByteArray doc(const QByteArray &body) {
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

    // A first start writes the defaults; every key is then read, saved and read back.
    void firstStartThenEveryKeyRoundTrips() {
        settings s;
        QCOMPARE(elementsOf("settings.xml"), kDefaults);
        QCOMPARE(valuesOf(settings()), kDefaults);
        QByteArray body;
        for (const auto &pair : kOthers) {
            body += QString("<%1>%2</%1>").arg(pair.first, pair.second.toHtmlEscaped()).toUtf8();
        }
        QVERIFY(s.readData(doc(body)));
        QVERIFY(s.warnings().isEmpty());
        QVERIFY(s.save());
        QCOMPARE(elementsOf("settings.xml"), kOthers);
        QCOMPARE(valuesOf(settings()), kOthers);
    }

    // What a read leaves: "Do_Logging Modbus_Add Languaje Poll_Interval, warning count".
    void readRules() {
        const QByteArray cases[][2] = {
            {doc("<Do_Logging>True</Do_Logging>"), "True 1 Spanish 500, 0"},
            {doc("<Do_Logging>true</Do_Logging>"), "False 1 Spanish 500, 1"},  // only "True" is true
            {doc("<Modbus_Add>x1</Modbus_Add>"), "False 0 Spanish 500, 1"},
            {doc("<Modbus_Add>9</Modbus_Add><Languaje>X</Languaje><Do_Logging>True</Do_Logging>"),
             "True 9 X 500, 0"},
            {doc("<Colour>red</Colour><Modbus_Add>4</Modbus_Add><modbus_add>7</modbus_add>"),
             "False 4 Spanish 500, 2"},
            {doc("<Languaje>English</Languaje>"), "False 1 English 500, 0"},  // the rest keeps the defaults
            {doc("<Modbus_Add>5</Modbus_Add><Languaje>Eng</Languaj><Do_Logging>True</Do_Logging>"),
             "False 5 Spanish 500, 1"},  // malformed: what was read before stays
            {doc("<Languaje><b>x</b>y</Languaje><Poll_Interval>7</Poll_Interval>"), "False 1 xy 7, 0"},
            {doc("<Poll_Interval>99999999999999999999</Poll_Interval>"), "False 1 Spanish 0, 1"},
            {"", "False 1 Spanish 500, 1"},
            {"\x01\xff garbage <<<", "False 1 Spanish 500, 1"},
            {"<App_Settings><Poll_Interval>12", "False 1 Spanish 500, 1"},  // cut inside a value
        };
        for (const auto &c : cases) {
            settings s;
            QVERIFY(s.readData(c[0]));
            const QString got =
                QString("%1 %2 %3 %4, %5")
                    .arg(flag(s.getDo_Logging()), QString::number(s.getModbus_Add()), s.getLanguaje(),
                         QString::number(s.getPoll_Interval()), QString::number(s.warnings().size()));
            QVERIFY2(got == c[1], qPrintable(got + " read from " + c[0]));
        }
    }

    void unreadableFileKeepsDefaults() {
        QVERIFY(QDir().mkdir("settings.xml"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Error: Cannot read settings.xml file "));
        settings s;
        QCOMPARE(valuesOf(s), kDefaults);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Error: Cannot read settings.xml file "));
        QVERIFY(!s.read());
    }

    // A read-only folder refuses QSaveFile's temporary file; a writable settings.xml in it
    // is still saved (in place). What cannot be saved is said.
    void saveInAReadOnlyFolder() {
        const QString dir = m_dir->filePath("ro");
        QVERIFY(QDir().mkdir(dir));
        settings existing(dir + "/settings.xml");  // writes the defaults while it can
        ReadOnlyFolder locked(dir);
        existing.setModbus_Add(42);
        QVERIFY(existing.save());
        QCOMPARE(elementsOf(dir + "/settings.xml").value(6), qMakePair(QString("Modbus_Add"), QString("42")));
        settings fresh(dir + "/new.xml");
        QSignalSpy failures(&fresh, &settings::saveFailed);
        QVERIFY(!fresh.save());
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0][0].toString().startsWith(dir + "/new.xml could not be saved: "));
        QVERIFY(!QFile::exists(dir + "/new.xml"));
    }

    // "Reconnect automatically" is on until turned off, and lives in Settings.ini, not settings.xml.
    void reconnectSettingOutsideTheXml() {
        QVERIFY(linepreferences::loadReconnect());
        linepreferences::saveReconnect(false);
        QVERIFY(!linepreferences::loadReconnect());
        QVERIFY(!QFile::exists("settings.xml"));
        QVERIFY(QFile::exists("Settings.ini"));
        linepreferences::saveReconnect(true);
        QVERIFY(linepreferences::loadReconnect());
    }

    // The poll list comes back as saved, also as typed by hand; one that is no list is empty.
    void pollListOutsideTheXml() {
        QCOMPARE(linepreferences::loadPollList(), QVector<int>());
        linepreferences::savePollList({1, 2, 5});
        QCOMPARE(linepreferences::loadPollList(), (QVector<int>{1, 2, 5}));
        QFile ini(QStringLiteral("Settings.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[connection]\nPollList=1,2,3\n");  // typed by hand, without quotes
        ini.close();
        QCOMPARE(linepreferences::loadPollList(), (QVector<int>{1, 2, 3}));
        QSettings(QStringLiteral("Settings.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("connection/PollList"), QStringLiteral("1,300"));
        QCOMPARE(linepreferences::loadPollList(), QVector<int>());
        QVERIFY(!QFile::exists("settings.xml"));
    }

  private:
    QScopedPointer<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
