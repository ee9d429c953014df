#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/settings.h"
#include "params/paramfile_io.h"
#include "support/readonlyfolder.h"

namespace {

const QDateTime kSavedAt(QDate(2024, 1, 18), QTime(9, 5, 7));

holding_t makeHolding(uint16_t add, const QString &text, float multiplier, uint16_t value, float fvalue) {
    holding_t h;
    std::tie(h.add, h.text, h.multiplier, h.value, h.fvalue) = std::tie(add, text, multiplier, value, fvalue);
    return h;
}

// "add:bin:mul:val label" of each holding read.
QStringList holdingsOf(const ParamFileContents &contents) {
    auto n = [](double x) { return QString::number(x); };
    QStringList out;
    for (const holding_t &h : contents.holdings) {
        out << QString("%1:%2:%3:%4 %5")
                   .arg(n(h.add), n(h.value), n(h.multiplier), n(h.fvalue), h.text)
                   .trimmed();
    }
    return out;
}

// The file's text without the indentation between elements.
QString compactText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).replace(QRegularExpression(">\\s+<"), "><")
               : QString();
}

}  // namespace

class tst_paramfile : public QObject {
    Q_OBJECT
  private slots:
    void exportWritesEveryHoldingAndReadsBack() {
        settings exporter(m_dir.filePath("settings.xml"));
        exporter.setXML_drive("maps/drive-map.xml");
        exporter.setModel(12);
        exporter.setVersion(0x0203);
        QVector<holding_t> holdings = {
            makeHolding(0, "Speed", 0.1f, 1234, 123.4f),
            makeHolding(7, "<acel> & \"ñ\"", 1.0f, 65535, 65535.0f),
            // XML cannot carry control characters nor U+FFFE: they are left out, the rest is kept.
            makeHolding(
                8, QString::fromUtf8("a\tb\x01") + "c\x1f" + QChar(0xE000) + QChar(0xFFFE) + "\U0001F600 d",
                1.0f, 1, 1.0f),
        };
        QVector<holding_t *> pointers;
        for (holding_t &h : holdings) {
            pointers.append(&h);
        }
        QFile file(m_dir.filePath("export.xml"));
        QCOMPARE(exporter.writeParamFile(pointers, file, kSavedAt), 1);
        const QStringList expected = {
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Motor_Configuration><MetaData>"
            "<file>maps/drive-map.xml</file><datetime>2024/01/18 09:05:07</datetime><model>12</model>"
            "<version>515</version></MetaData>",
            "<add>0</add><txt>Speed</txt><mul>0.1</mul><bin>1234</bin><val>1234</val></holding>",
            "<add>7</add><txt>&lt;acel&gt; &amp; &quot;ñ&quot;</txt><mul>1</mul>"
            "<bin>65535</bin><val>65535</val></holding>",
            "<add>8</add><txt>a\tbc\uE000\U0001F600 d</txt><mul>1</mul><bin>1</bin><val>1</val></holding>"
            "</Motor_Configuration>\n"};
        QCOMPARE(compactText(file.fileName()).split("<holding>"), expected);
        ParamFileContents read;
        QVERIFY(readParamFile(file.fileName(), &read) && read.warnings.isEmpty());
        QCOMPARE((QStringList{read.meta.file, read.meta.datetime, read.meta.model, read.meta.version}),
                 (QStringList{"maps/drive-map.xml", "2024/01/18 09:05:07", "12", "515"}));
        QCOMPARE(holdingsOf(read), (QStringList{"0:1234:0.1:1234 Speed", "7:65535:1:65535 <acel> & \"ñ\"",
                                                "8:1:1:1 a\tbc\uE000\U0001F600 d"}));

        // In a read-only folder an existing, writable file is replaced in place; a new one cannot be
        // made, nor one in a missing folder.
        const QString dir = m_dir.filePath("ro");
        QVERIFY(QDir().mkdir(dir));
        QFile existing(dir + "/existing.xml"), fresh(dir + "/new.xml"), missing(m_dir.filePath("no/x.xml"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(QByteArray(5000, 'x'));  // longer than the new file: must be cut
        existing.close();
        {
            ReadOnlyFolder locked(dir);
            QCOMPARE(exporter.writeParamFile(pointers, existing, kSavedAt), 1);
            QCOMPARE(exporter.writeParamFile(pointers, fresh, kSavedAt), -1);
        }
        QCOMPARE(exporter.writeParamFile(pointers, missing, kSavedAt), -1);
        QVERIFY(!missing.exists() && !fresh.exists());
        QCOMPARE(compactText(existing.fileName()).split("<holding>"), expected);
    }

    void valWord() {
        // fvalue, multiplier and the word written: halves away from zero, also below zero; beyond 16
        // bits the low bits, beyond 32 bits too; with multiplier 0 the raw word.
        // clang-format off
        const float cases[][3] = {{-1.0f, 0.1f, 0xFFF6}, {2.5f, 1.0f, 3}, {-2.5f, 1.0f, 0xFFFD},
            {70000.0f, 1.0f, 70000 - 65536}, {4294967296.0f + 65536.0f * 4, 1.0f, 0}, {5.0f, 0.0f, 77}};
        // clang-format on
        for (const auto &c : cases) {
            QCOMPARE(int(paramFileVal(c[0], c[1], 77)), int(c[2]));
        }
    }

    // Each row: the holdings read ("add:bin:mul:val label") and the warning count.
    void readerRules() {
        const char *const cases[][2] = {
            {"<holding><txt>a</txt><bin>1</bin></holding><holding><add>4</add><bin>2</bin></holding>",
             "4:2:1:0; 1"},
            {"<holding><add>x</add><bin>1</bin></holding>", "; 1"},
            {"<holding><add>65536</add></holding>", "; 1"},
            {"<holding><add>1</add><bin>abc</bin></holding>", "1:0:1:0; 1"},
            {"<holding><add>1</add></holding>", "1:0:1:0; 0"},
            {"<holding><add>1</add><bin>65536</bin></holding>", "; 1"},
            {"<holding><add>1</add><bin>-1</bin></holding>", "; 1"},
            {"<holding><add>1</add><mul>x</mul><val>nan</val></holding>", "1:0:0:0; 2"},
            {"<extra/><holding><add> 2 </add><note>n</note><bin>65535</bin></holding>", "2:65535:1:0; 0"},
        };
        for (const auto &c : cases) {
            ParamFileContents read;
            QVERIFY(readParamFileData(QByteArray("<AnyRoot>") + c[0] + "</AnyRoot>", &read));
            QCOMPARE(holdingsOf(read).join(' ') + "; " + QString::number(read.warnings.size()),
                     QString(c[1]));
        }
    }

    void unreadableFiles() {
        const QPair<QByteArray, QString> cases[] = {{"<a>\n<holding><add>1</add></a>", "lin 2 col "},
                                                    {"", "lin "}};
        for (const auto &c : cases) {
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^lin \\d+ col \\d+ -> err: "));
            ParamFileContents read;
            read.holdings.append(holding_t());
            QVERIFY(!readParamFileData(c.first, &read));
            QVERIFY2(read.error.startsWith(c.second) && read.error.contains(" -> err: "),
                     qPrintable(read.error));
            QVERIFY(read.holdings.isEmpty());
        }
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Cannot open "));
        ParamFileContents read;
        QVERIFY(!readParamFile(m_dir.filePath("absent.xml"), &read));
        QVERIFY(read.error.startsWith("Cannot open " + m_dir.filePath("absent.xml")));
        QVERIFY(!readParamFile(m_dir.filePath("absent.xml"), nullptr));
    }

  private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_paramfile)
#include "tst_paramfile.moc"
