#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/settings.h"
#include "params/paramfile_io.h"
#include "support/readonlyfolder.h"

namespace {

const QDateTime kSavedAt(QDate(2024, 1, 18), QTime(9, 5, 7));

holding_t makeHolding(uint16_t add, const QString &text, float multiplier, uint16_t value, float fvalue) {
    holding_t h;
    h.add = add;
    h.text = text;
    h.multiplier = multiplier;
    h.value = value;
    h.fvalue = fvalue;
    return h;
}

QByteArray holdingXml(const QByteArray &children) {
    return "<holding>" + children + "</holding>";
}

// "add:value" of each holding read, space-separated.
QString holdingsOf(const ParamFileContents &contents) {
    QStringList out;
    for (const holding_t &h : contents.holdings) {
        out << QStringLiteral("%1:%2").arg(h.add).arg(h.value);
    }
    return out.join(QLatin1Char(' '));
}

}  // namespace

class tst_paramfile : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
        m_settings = std::make_unique<settings>();
        m_settings->setXML_drive("maps/drive-map.xml");
        m_settings->setModel(12);
        m_settings->setVersion(0x0203);
    }

    void writeReadRoundTrip() {
        QVector<holding_t> holdings = {
            makeHolding(0, "Speed reference", 0.1f, 1234, 123.4f),
            makeHolding(7, QString::fromUtf8("Rampa <acel> & \"ñ\""), 1.0f, 65535, 65535.0f),
            makeHolding(300, "Gain", 0.001f, 42, 0.042f),
            // XML cannot carry control characters nor U+FFFE: they are left out, the rest is kept.
            makeHolding(8,
                        QString::fromUtf8("a\tb\x01"
                                          "c\x1f") +
                            QChar(0xE000) + QChar(0xFFFE) + QString::fromUtf8("\xF0\x9F\x98\x80 d"),
                        1.0f, 1, 1.0f),
        };
        QVector<holding_t *> pointers;
        for (holding_t &h : holdings) {
            pointers.append(&h);
        }
        QFile file(m_dir->filePath("export.xml"));
        QCOMPARE(m_settings->writeParamFile(pointers, file, kSavedAt), 1);

        ParamFileContents read;
        QVERIFY(readParamFile(file.fileName(), &read));
        QVERIFY(read.warnings.isEmpty());
        QCOMPARE(read.meta.file, QString("maps/drive-map.xml"));
        QCOMPARE(read.meta.datetime, QString("2024/01/18 09:05:07"));
        QCOMPARE(read.meta.model, QString("12"));
        QCOMPARE(read.meta.version, QString("515"));
        QCOMPARE(read.holdings.size(), holdings.size());
        for (int i = 0; i < holdings.size(); ++i) {
            QCOMPARE(read.holdings[i].add, holdings[i].add);
            QCOMPARE(read.holdings[i].text, i < 3 ? holdings[i].text
                                                  : QString::fromUtf8("a\tbc") + QChar(0xE000) +
                                                        QString::fromUtf8("\xF0\x9F\x98\x80 d"));
            QCOMPARE(read.holdings[i].value, holdings[i].value);
            QCOMPARE(read.holdings[i].multiplier, holdings[i].multiplier);
        }
    }

    void writtenElements() {
        holding_t negative = makeHolding(3, "Offset", 0.1f, 0xFFF6, -1.0f);
        QFile file(m_dir->filePath("one.xml"));
        QCOMPARE(m_settings->writeParamFile({&negative}, file, kSavedAt), 1);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray xml = file.readAll();
        QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QDomDocument document;
        QVERIFY(document.setContent(xml));
        const QDomElement root = document.documentElement();
        QCOMPARE(root.tagName(), QString("Motor_Configuration"));
        QCOMPARE(root.childNodes().size(), 2);
        QStringList meta;
        for (QDomElement c = root.firstChildElement("MetaData").firstChildElement(); !c.isNull();
             c = c.nextSiblingElement()) {
            meta << c.tagName();
        }
        QCOMPARE(meta, QStringList({"file", "datetime", "model", "version"}));
        QCOMPARE(root.firstChildElement().tagName(), QString("MetaData"));
        const QDomElement holding = root.firstChildElement("holding");
        QStringList children;
        for (QDomElement c = holding.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            children << c.tagName() + "=" + c.text();
        }
        QCOMPARE(children, QStringList({"add=3", "txt=Offset", "mul=0.1", "bin=65526", "val=65526"}));
    }

    // In a read-only folder an existing, writable file is replaced in place; a new one cannot be made,
    // nor one in a missing folder.
    void unwritableTargets() {
        const QString dir = m_dir->filePath("ro");
        QVERIFY(QDir().mkdir(dir));
        QFile existing(dir + "/existing.xml");
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(QByteArray(5000, 'x'));  // longer than the new file: must be cut
        existing.close();
        QFile fresh(dir + "/new.xml");
        holding_t h = makeHolding(3, "Offset", 0.1f, 0xFFF6, -1.0f);
        {
            ReadOnlyFolder locked(dir);
            QCOMPARE(m_settings->writeParamFile({&h}, existing, kSavedAt), 1);
            QCOMPARE(m_settings->writeParamFile({&h}, fresh, kSavedAt), -1);
        }
        QFile missing(m_dir->filePath("missing/export.xml"));
        QCOMPARE(m_settings->writeParamFile({}, missing, kSavedAt), -1);
        QVERIFY(!missing.exists());
        QVERIFY(!fresh.exists());
        ParamFileContents contents;
        QVERIFY(readParamFile(existing.fileName(), &contents));
        QCOMPARE(holdingsOf(contents), QStringLiteral("3:65526"));
    }

    void valWord_data() {
        QTest::addColumn<float>("fvalue");
        QTest::addColumn<float>("multiplier");
        QTest::addColumn<int>("expected");
        QTest::newRow("-1.0 / 0.1") << -1.0f << 0.1f << 0xFFF6;
        QTest::newRow("half up") << 2.5f << 1.0f << 3;
        QTest::newRow("half away from zero") << -2.5f << 1.0f << 0xFFFD;
        QTest::newRow("beyond 16 bits keeps low bits") << 70000.0f << 1.0f << 70000 - 65536;
        QTest::newRow("beyond 32 bits") << 4294967296.0f + 65536.0f * 4 << 1.0f << 0;
        QTest::newRow("multiplier 0 gives the raw word") << 5.0f << 0.0f << 77;
    }

    void valWord() {
        QFETCH(float, fvalue);
        QFETCH(float, multiplier);
        QFETCH(int, expected);
        QCOMPARE(int(paramFileVal(fvalue, multiplier, 77)), expected);
    }

    void readerRules_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("holdings");
        QTest::addColumn<int>("warnings");
        // clang-format off
        QTest::newRow("holding without add skipped")
            << holdingXml("<txt>a</txt><bin>1</bin>") + holdingXml("<add>4</add><bin>2</bin>") << "4:2" << 1;
        QTest::newRow("add not a number") << holdingXml("<add>x</add><bin>1</bin>") << "" << 1;
        QTest::newRow("add beyond 16 bits") << holdingXml("<add>65536</add>") << "" << 1;
        QTest::newRow("bad bin reads 0") << holdingXml("<add>1</add><bin>abc</bin>") << "1:0" << 1;
        QTest::newRow("absent bin reads 0") << holdingXml("<add>1</add>") << "1:0" << 0;
        QTest::newRow("bin above 65535 dropped") << holdingXml("<add>1</add><bin>65536</bin>") << "" << 1;
        QTest::newRow("negative bin dropped") << holdingXml("<add>1</add><bin>-1</bin>") << "" << 1;
        QTest::newRow("others ignored")
            << "<extra/>" + holdingXml("<add> 2 </add><note>n</note><bin>65535</bin>") << "2:65535" << 0;
        // clang-format on
    }

    void readerRules() {
        QFETCH(QByteArray, body);
        QFETCH(QString, holdings);
        QFETCH(int, warnings);
        ParamFileContents read;
        QVERIFY(readParamFileData("<AnyRoot><MetaData><model>12</model></MetaData>" + body + "</AnyRoot>",
                                  &read));
        QCOMPARE(read.meta.model, QString("12"));
        QCOMPARE(holdingsOf(read), holdings);
        QCOMPARE(read.warnings.size(), warnings);
    }

    void badNumbersFallBackToZero() {
        ParamFileContents read;
        QVERIFY(
            readParamFileData("<r>" + holdingXml("<add>1</add><mul>x</mul><val>nan</val>") + "</r>", &read));
        QCOMPARE(read.holdings.size(), 1);
        QCOMPARE(read.holdings[0].multiplier, 0.0f);
        QCOMPARE(read.holdings[0].fvalue, 0.0f);
        QCOMPARE(read.warnings.size(), 2);
    }

    void unreadableFiles_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("errorStart");
        QTest::newRow("malformed") << QByteArray("<a>\n<holding><add>1</add></a>") << "lin 2 col ";
        QTest::newRow("empty") << QByteArray() << "lin ";
    }

    void unreadableFiles() {
        QFETCH(QByteArray, data);
        QFETCH(QString, errorStart);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^lin \\d+ col \\d+ -> err: "));
        ParamFileContents read;
        read.holdings.append(holding_t());
        QVERIFY(!readParamFileData(data, &read));
        QVERIFY2(read.error.startsWith(errorStart), qPrintable(read.error));
        QVERIFY(read.error.contains(" -> err: "));
        QVERIFY(read.holdings.isEmpty());
    }

    void missingFile() {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Cannot open "));
        ParamFileContents read;
        QVERIFY(!readParamFile(m_dir->filePath("absent.xml"), &read));
        QVERIFY(!read.error.isEmpty());
        QVERIFY(!readParamFile(m_dir->filePath("absent.xml"), nullptr));
    }

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings> m_settings;
};

QTEST_GUILESS_MAIN(tst_paramfile)
#include "tst_paramfile.moc"
