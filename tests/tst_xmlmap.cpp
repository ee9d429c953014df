#include <QtTest>

#include "map/xmlmap.h"
#include "support/testpaths.h"

namespace {

QByteArray mapWith(const QString &body) {
    return QStringLiteral("<modbusmap>\n%1\n</modbusmap>\n").arg(body).toUtf8();
}

QString block(const QString &holdings) {
    return QStringLiteral("<block name=\"B\" query=\"auto\" type=\"t\" start=\"0\" end=\"9\">%1</block>")
        .arg(holdings);
}

// Everything the tables use of a holding or RAM parameter, in one comparable line.
QString describe(const holding_t &h) {
    QString out;
    QTextStream(&out) << h.text << '|' << h.min << '|' << h.max << '|' << h.def << '|' << h.vis_type << '|'
                      << h.multiplier << '|' << h.unit << '|' << h.help << '|'
                      << (h.hidden ? "hidden" : "shown") << '|' << h.level << '|';
    for (const item_t *item : h.items) {
        out += QStringLiteral("%1=%2,").arg(item->val).arg(item->text);
    }
    return out;
}

QList<int> addresses(const QVector<holding_t *> &list) {
    QList<int> out;
    for (const holding_t *h : list) {
        out << h->add;
    }
    return out;
}

template <typename T>
QStringList names(const QVector<T *> &list) {
    QStringList out;
    for (const T *record : list) {
        out << record->name;
    }
    return out;
}

QStringList warningElements(const xmlmap &map) {
    QStringList out;
    for (const ReadWarning &w : map.warnings()) {
        out << w.element;
    }
    return out;
}

}  // namespace

class tst_xmlmap : public QObject {
    Q_OBJECT

  private slots:
    void normalAndAuxSplit_data() {
        QTest::addColumn<QList<int>>("adds");
        QTest::addColumn<QList<int>>("normal");
        QTest::addColumn<QList<int>>("aux");
        QTest::newRow("gap after 2") << QList<int>{0, 1, 2, 10, 11} << QList<int>{0, 1, 2}
                                     << QList<int>{10, 11};
        QTest::newRow("one holding") << QList<int>{5} << QList<int>{5} << QList<int>{};
        QTest::newRow("16-bit end") << QList<int>{65535, 0} << QList<int>{65535} << QList<int>{0};
    }
    void normalAndAuxSplit() {
        QFETCH(QList<int>, adds);
        QFETCH(QList<int>, normal);
        QFETCH(QList<int>, aux);
        QString holdings;
        for (int add : adds) {
            holdings += QStringLiteral("<h add=\"%1\"/>").arg(add);
        }
        xmlmap map;
        QVERIFY(map.readMapData(mapWith(block(holdings))));
        QVector<holding_t *> normalList, auxList;
        QCOMPARE(map.getHoldings(normalList), normal.size());
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable(QStringLiteral("i max holding normal:  %1").arg(normal.size())));
        QCOMPARE(map.getAuxHoldings(auxList), aux.size());
        QCOMPARE(addresses(normalList), normal);
        QCOMPARE(addresses(auxList), aux);
    }

    void holdingChildren_data() {
        QTest::addColumn<QString>("children");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("warnings");
        // clang-format off
        QTest::newRow("defaults") << "" << "|0|0|0||1|||shown|0|" << 0;
        QTest::newRow("all fields") << "<text>Speed</text><min>-10</min><max>20</max><default>5</default><vis_type>float</vis_type>"
            "<multiplier>0.1</multiplier><unit>rpm</unit><help>h</help><hidden>true</hidden><level>3</level>"
            << "Speed|-10|20|5|float|0.1|rpm|h|hidden|3|" << 0;
        QTest::newRow("items before list dropped") << "<item val=\"1\">a</item><item val=\"2\">b</item><vis_type>list</vis_type>"
            "<item val=\"3\">c</item>" << "|0|0|0|list|1|||shown|0|3=c," << 1;
        QTest::newRow("negative item val") << "<vis_type>list</vis_type><item val=\"-1\">m</item>" << "|0|0|0|list|1|||shown|0|65535=m," << 0;
        QTest::newRow("bad item val ends reading") << "<text>T</text><item val=\"x\">a</item><text>U</text>" << "T|0|0|0||1|||shown|0|" << 1;
        QTest::newRow("unit none is empty") << "<unit>none</unit>" << "|0|0|0||1|||shown|0|" << 0;
        QTest::newRow("hidden is case-sensitive") << "<hidden>True</hidden>" << "|0|0|0||1|||shown|0|" << 0;
        QTest::newRow("unknown child") << "<colour>red</colour>" << "|0|0|0||1|||shown|0|" << 1;
        // clang-format on
    }
    void holdingChildren() {
        QFETCH(QString, children);
        xmlmap map;
        map.readMapData(mapWith(block(QStringLiteral("<h add=\"0\">%1</h>").arg(children))));
        QVector<holding_t *> holdings;
        QCOMPARE(map.getHoldings(holdings), 1);
        QTEST(describe(*holdings[0]), "expected");
        QCOMPARE((QList<int>{holdings[0]->table, holdings[0]->combo}), (QList<int>{-1, -1}));
        QTEST(int(map.warnings().size()), "warnings");
    }

    void droppedHoldings_data() {
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("element");
        // clang-format off
        QTest::newRow("min") << "<h add=\"0\"><min>abc</min></h>" << "min";
        QTest::newRow("default") << "<h add=\"0\"><default></default></h>" << "default";
        QTest::newRow("level") << "<h add=\"0\"><level>x</level></h>" << "level";
        QTest::newRow("multiplier") << "<h add=\"0\"><multiplier>nan</multiplier></h>" << "multiplier";
        QTest::newRow("no add") << "<h><text>x</text></h>" << "h";
        QTest::newRow("add too big") << "<h add=\"65536\"/>" << "h";
        // clang-format on
    }
    void droppedHoldings() {
        QFETCH(QString, bad);
        xmlmap map;
        map.readMapData(mapWith(block(QStringLiteral("\n%1\n<h add=\"1\"/>").arg(bad))));
        QVector<holding_t *> all;
        map.getHoldings(all);
        QCOMPARE(addresses(all), QList<int>{1});
        QTEST(warningElements(map).join(','), "element");
        QCOMPARE(map.warnings()[0].line, 3);
    }

    void sections_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("ram");
        // clang-format off
        const QString three = "<a add=\"0\"/><b %1/><c add=\"2\"/>";
        const QString in = "<Input_Register>%1</Input_Register>", ram = "<RAM_Parameter>%1</RAM_Parameter>";
        QTest::newRow("input bad add") << in.arg(three.arg("add=\"x\"")) << QStringList{"a"} << QStringList{};
        QTest::newRow("input bad default") << in.arg(three.arg("add=\"1\"><default>q</default></b><z")) << QStringList{"a"} << QStringList{};
        QTest::newRow("input bad multiplier") << in.arg(three.arg("add=\"1\"><multiplier>q</multiplier></b><z")) << QStringList{"a"} << QStringList{};
        QTest::newRow("input bad item keeps register") << in.arg(three.arg("add=\"1\"><item/><text>lost</text></b><z add=\"1\""))
            << QStringList{"a", "b", "z", "c"} << QStringList{};
        QTest::newRow("two input sections append") << in.arg("<a add=\"0\"/>") + in.arg("<b add=\"1\"/>") << QStringList{"a", "b"} << QStringList{};
        QTest::newRow("ram bad add") << ram.arg(three.arg("add=\"-1\"")) << QStringList{} << QStringList{"a"};
        QTest::newRow("ram bad min") << ram.arg(three.arg("add=\"1\"><min>1e3</min></b><z")) << QStringList{} << QStringList{"a"};
        // clang-format on
    }
    void sections() {
        QFETCH(QString, body);
        xmlmap map;
        QTest::ignoreMessage(QtDebugMsg, "-- Input Registers --");
        map.readMapData(mapWith(body + "<Input_Register/>"));
        QVector<input_reg_t *> inputList;
        QVector<holding_t *> ramList;
        map.getInputRegisters(inputList);
        map.getRamParams(ramList);
        QTEST(names(inputList), "inputs");
        QTEST(names(ramList), "ram");
        for (const input_reg_t *r : inputList) {
            QVERIFY(r->text.isEmpty());
        }
        QCOMPARE(map.warnings().isEmpty(),
                 QTest::currentDataTag() == QLatin1String("two input sections append"));
    }

    void unitsAndColours() {
        xmlmap map;
        map.readMapData(mapWith(
            block("<h add=\"0\"><unit>none</unit></h>") +
            "<Input_Register><a add=\"0\"><unit>none</unit></a><b add=\"1\" bg_r=\"x\" bg_g=\"300\" "
            "bg_b=\"-1\"/>"
            "</Input_Register><RAM_Parameter><pw add=\"3000\"><unit>none</unit><vis_type>pass</vis_type></pw>"
            "</RAM_Parameter>"));
        QVector<holding_t *> holdings, ram;
        QVector<input_reg_t *> inputs;
        map.getHoldings(holdings);
        map.getInputRegisters(inputs);
        map.getRamParams(ram);
        QCOMPARE(holdings[0]->unit, QString());
        QCOMPARE(inputs[0]->unit, QStringLiteral("adim"));
        QCOMPARE(ram[0]->unit, QStringLiteral("adim"));
        QCOMPARE((QList<int>{inputs[0]->bg_r, inputs[0]->bg_g, inputs[0]->bg_b}),
                 (QList<int>{255, 255, 255}));
        QCOMPARE((QList<int>{inputs[1]->bg_r, inputs[1]->bg_g, inputs[1]->bg_b}), (QList<int>{255, 300, -1}));
        QCOMPARE(warningElements(map), QStringList{"b"});
    }

    void blocks_data() {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<int>("start");  // -1: the block and its holdings are skipped
        // clang-format off
        QTest::newRow("complete") << "name=\"N\" query=\"manual\" type=\"t\" start=\"1000\" end=\"1003\"" << 1000;
        QTest::newRow("no end") << "name=\"N\" query=\"q\" type=\"t\" start=\"0\"" << -1;
        QTest::newRow("no name") << "query=\"q\" type=\"t\" start=\"0\" end=\"1\"" << -1;
        QTest::newRow("bad end") << "name=\"N\" query=\"q\" type=\"t\" start=\"0\" end=\"e\"" << -1;
        QTest::newRow("bad start") << "name=\"N\" query=\"q\" type=\"t\" start=\"s\" end=\"1\"" << 0;
        // clang-format on
    }
    void blocks() {
        QFETCH(QString, attributes);
        QFETCH(int, start);
        xmlmap map;
        map.readMapData(mapWith(QStringLiteral("<block %1><h add=\"0\"/></block>").arg(attributes)));
        QVector<block_t *> blocks;
        QVector<holding_t *> holdings;
        QCOMPARE(map.getBlocks(blocks), start < 0 ? 0 : 1);
        QCOMPARE(map.getHoldings(holdings), start < 0 ? 0 : 1);
        QCOMPARE(map.warnings().isEmpty(), start == 1000);
        if (start >= 0) {
            QCOMPARE(int(blocks[0]->start), start);
            QCOMPARE(blocks[0]->name, QStringLiteral("N"));
        }
    }

    void options_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QList<int>>("values");  // stop, access, flags, id, iq, vd, vq, col1..col3
        QTest::addColumn<int>("warnings");
        // clang-format off
        const QList<int> defaults{65535, 65535, 65535, -1, -1, -1, -1, 200, 100, 50};
        QTest::newRow("none") << "" << defaults << 0;
        QTest::newRow("all") << "<options><StopIndex>66</StopIndex><access_level>28</access_level><flags>29</flags><power_id>11</power_id>"
            "<power_iq>12</power_iq><power_vd>13</power_vd><power_vq>14</power_vq><col1_width>150</col1_width>"
            "<col2_width>90</col2_width><col3_width>40</col3_width></options>" << QList<int>{66, 28, 29, 11, 12, 13, 14, 150, 90, 40} << 0;
        QTest::newRow("bad col2 leaves col1") << "<options><col1_width>150</col1_width><col2_width>wide</col2_width></options>"
            << QList<int>{65535, 65535, 65535, -1, -1, -1, -1, 150, 100, 50} << 1;
        QTest::newRow("bad numbers fall back") << "<options><StopIndex>-1</StopIndex><flags>70000</flags><power_vq>x</power_vq><col3_width/></options>"
            << defaults << 4;
        QTest::newRow("access level reset per options") << "<options><access_level>5</access_level><flags>3</flags></options><options/>"
            << QList<int>{65535, 65535, 3, -1, -1, -1, -1, 200, 100, 50} << 0;
        // clang-format on
    }
    void options() {
        QFETCH(QString, body);
        xmlmap map;
        map.readMapData(mapWith(body));
        QTEST((QList<int>{map.getStopIndex(), map.getAccessLevel(), map.getFlags(), map.getPowerId(),
                          map.getPowerIq(), map.getPowerVd(), map.getPowerVq(), map.getCol1Width(),
                          map.getCol2Width(), map.getCol3Width()}),
              "values");
        QTEST(int(map.warnings().size()), "warnings");
    }

    void badDocuments_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("element");
        QTest::addColumn<int>("line");
        // clang-format off
        QTest::newRow("malformed") << QByteArray("<modbusmap>\n" + block("<h add=\"0\"/>").toUtf8() + "\n<oops>") << "document" << 3;
        QTest::newRow("empty") << QByteArray() << "document" << 0;
        QTest::newRow("unknown section") << mapWith("<Coils/>") << "Coils" << 2;
        // clang-format on
    }
    void badDocuments() {
        QFETCH(QByteArray, xml);
        QFETCH(int, line);
        xmlmap map;
        QVERIFY(map.readMapData(xml, QStringLiteral("map.xml")));
        QVector<holding_t *> holdings;
        QVector<block_t *> blocks;
        QCOMPARE(map.getHoldings(holdings) + map.getBlocks(blocks), 0);
        QTEST(warningElements(map).join(','), "element");
        if (line > 0) {
            QCOMPARE(map.warnings()[0].line, line);
        }
    }

    // One poll reads at most 125 registers: a larger map still loads, with a warning.
    void pollLimits_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("125 of each") << 125 << QStringList{};
        QTest::newRow("126 of each")
            << 126
            << QStringList{"line 0: <block>: 126 normal holdings: one poll reads at most 125",
                           "line 0: <Input_Register>: 126 input registers: one poll reads at "
                           "most 125"};
    }
    void pollLimits() {
        QFETCH(int, count);
        QString holdings, inputs;
        for (int add = 0; add < count; ++add) {
            holdings += QStringLiteral("<h add=\"%1\"/>").arg(add);
            inputs += QStringLiteral("<i add=\"%1\"/>").arg(add);
        }
        xmlmap map;
        QTest::ignoreMessage(QtDebugMsg, "-- Input Registers --");
        map.readMapData(mapWith(block(holdings) + "<Input_Register>" + inputs + "</Input_Register>"));
        QStringList warnings;
        for (const ReadWarning &w : map.warnings()) {
            warnings << w.toString();
        }
        QTEST(warnings, "warnings");
        QVector<holding_t *> all;
        QCOMPARE(map.getHoldings(all), count);
    }

    void unreadableFile() {
        xmlmap map;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Cannot read file "));
        QVERIFY(!map.readMap(QStringLiteral("/nonexistent/map.xml")));
        QCOMPARE(map.warnings().size(), 1);
        QVERIFY(map.warnings()[0].toString().startsWith("line 0: <>: cannot open /nonexistent/map.xml: "));
    }

    void clearKeepsRecordsAlive() {
        xmlmap map;
        map.readMapData(mapWith(block("<h add=\"0\"><text>first</text></h>")));
        QVector<holding_t *> before, after;
        map.getHoldings(before);
        map.clear();
        map.readMapData(mapWith(block("<h add=\"0\"><text>second</text></h>")));
        map.getHoldings(after);
        QCOMPARE(before[0]->text, QStringLiteral("first"));
        QCOMPARE(after.size(), 1);
        QCOMPARE(after[0]->text, QStringLiteral("second"));
        QVector<block_t *> blocks;
        QCOMPARE(map.getBlocks(blocks), 2);
    }

    void exampleMap() {
        xmlmap map;
        QVERIFY(map.readMap(testpaths::example(QStringLiteral("drive-map.xml"))));
        for (const ReadWarning &w : map.warnings()) {
            qWarning() << w.toString();
        }
        QVERIFY(map.warnings().isEmpty());
        QVector<holding_t *> normal, aux, ram;
        QVector<input_reg_t *> inputs;
        QVector<block_t *> blocks;
        QCOMPARE(map.getHoldings(normal), 80);
        QCOMPARE(map.getAuxHoldings(aux), 12);
        QCOMPARE(map.getInputRegisters(inputs), 40);
        QCOMPARE(map.getRamParams(ram), 5);
        QVERIFY(map.getBlocks(blocks) >= 6);
        QCOMPARE(describe(*normal[0]).section('|', -1),
                 QStringLiteral("0=Ninguno,1=Reset,2=Valores de fabrica,"));
        QCOMPARE(describe(*normal[66]).section('|', -1), QStringLiteral("0=Paro,1=Marcha,"));
        QCOMPARE(aux[0]->add, uint16_t(1000));
        QCOMPARE(ram[0]->vis_type, QStringLiteral("pass"));
        QCOMPARE(map.getStopIndex(), uint16_t(66));
        QString testFile;
        map.getTestFile(testFile);
        QCOMPARE(testFile, QStringLiteral("production-test.xml"));
        QCOMPARE(inputs[map.getAccessLevel()]->vis_type, QStringLiteral("integer"));
        for (int position : {map.getPowerId(), map.getPowerIq(), map.getPowerVd(), map.getPowerVq()}) {
            QCOMPARE(inputs[position]->unit.right(1), inputs[position]->text.contains("Tension") ? "V" : "A");
        }
        for (const holding_t *h : normal + aux + ram) {
            const float shown = h->vis_type == "list" ? float(h->def) : h->def * h->multiplier;
            QVERIFY2(shown >= h->min - 1e-3f && shown <= h->max + 1e-3f, qPrintable(h->text));
        }
    }
};

QTEST_APPLESS_MAIN(tst_xmlmap)
#include "tst_xmlmap.moc"
