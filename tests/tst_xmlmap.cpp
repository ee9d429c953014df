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

// One record or warning as the summary lists it: holdings by address, RAM parameters and inputs by name.
// A holding read with every field at its default shows no details.
QString text(const holding_t *h) {
    const QString details = describe(*h) + (h->table != -1 || h->combo != -1 ? "placed" : "");
    return (h->name.isEmpty() ? QString::number(h->add) : h->name) +
           (details == QLatin1String("|0|0|0||1|||shown|0|") ? QString() : '=' + details);
}
QString text(const input_reg_t *r) {
    const QString out = (r->text.isEmpty() ? r->name : r->name + '=' + r->text) +
                        (r->unit.isEmpty() ? QString() : '[' + r->unit + ']');
    const bool white = r->bg_r == 255 && r->bg_g == 255 && r->bg_b == 255;
    return white ? out : out + QString::asprintf("#%d,%d,%d", r->bg_r, r->bg_g, r->bg_b);
}
QString text(const block_t *b) {
    return b->name + '@' + QString::number(b->start);
}
QString text(const ReadWarning &w) {
    return w.element + '@' + QString::number(w.line);
}

// "label:a,b" for a non-empty list; a count that differs from the list is shown too.
template <typename List>
void part(QStringList &out, const char *label, int count, const List &list) {
    QStringList items;
    for (const auto &record : list) {
        items << text(record);
    }
    if (count != list.size()) {
        items << QStringLiteral("count %1").arg(count);
    }
    if (!items.isEmpty()) {
        out << QLatin1String(label) + ':' + items.join(',');
    }
}

// What a map holds, in one line: "holdings:0,1 aux:10 inputs:a,b=text ram:pw blocks:B@0 options:…
// warnings:min@3" (options only when one differs from its default).
QString summary(const QByteArray &xml) {
    xmlmap map;
    QStringList out;
    if (!map.readMapData(xml, QStringLiteral("map.xml"))) {
        out << QStringLiteral("unread");
    }
    QVector<holding_t *> holdings, aux, ram;
    QVector<input_reg_t *> inputs;
    QVector<block_t *> blocks;
    part(out, "holdings", map.getHoldings(holdings), holdings);
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable(QStringLiteral("i max holding normal:  %1").arg(holdings.size())));
    part(out, "aux", map.getAuxHoldings(aux), aux);
    part(out, "inputs", map.getInputRegisters(inputs), inputs);
    part(out, "ram", map.getRamParams(ram), ram);
    part(out, "blocks", map.getBlocks(blocks), blocks);
    const QString options =
        QString::asprintf("options:%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", map.getStopIndex(), map.getAccessLevel(),
                          map.getFlags(), map.getPowerId(), map.getPowerIq(), map.getPowerVd(),
                          map.getPowerVq(), map.getCol1Width(), map.getCol2Width(), map.getCol3Width());
    if (options != QLatin1String("options:65535,65535,65535,-1,-1,-1,-1,200,100,50")) {
        out << options;
    }
    part(out, "warnings", map.warnings().size(), map.warnings());
    return out.join(' ');
}

}  // namespace

class tst_xmlmap : public QObject {
    Q_OBJECT

  private slots:
    void sections_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("summary");
        const QString bad = QStringLiteral("\n%1\n<h add=\"1\"/>"),
                      dropped = "holdings:1 blocks:B@0 warnings:";
        const QString three = "<a add=\"0\"/><b %1/><c add=\"2\"/>", one = "<h add=\"0\">%1</h>";
        const QString in = "<Input_Register>%1</Input_Register>", ram = "<RAM_Parameter>%1</RAM_Parameter>";
        const QString o = "<options>%1</options>", ob = "blocks:B@0 options:";
        // clang-format off
        QTest::newRow("gap after 2 is aux") << mapWith(block("<h add=\"0\"/><h add=\"1\"/><h add=\"2\"/><h add=\"10\"/><h add=\"11\"/>")) << "holdings:0,1,2 aux:10,11 blocks:B@0";
        QTest::newRow("one holding") << mapWith(block("<h add=\"5\"/>")) << "holdings:5 blocks:B@0";
        QTest::newRow("16-bit end") << mapWith(block("<h add=\"65535\"/><h add=\"0\"/>")) << "holdings:65535 aux:0 blocks:B@0";
        QTest::newRow("all fields") << mapWith(block(one.arg("<text>Speed</text><min>-10</min><max>20</max><default>5</default><vis_type>float</vis_type>"
            "<multiplier>0.1</multiplier><unit>rpm</unit><help>h</help><hidden>true</hidden><level>3</level>"))) << "holdings:0=Speed|-10|20|5|float|0.1|rpm|h|hidden|3| blocks:B@0";
        QTest::newRow("items before list dropped") << mapWith(block(one.arg("<item val=\"1\">a</item><item val=\"2\">b</item><vis_type>list</vis_type><item val=\"3\">c</item>")))
            << "holdings:0=|0|0|0|list|1|||shown|0|3=c, blocks:B@0 warnings:vis_type@2";
        QTest::newRow("negative item val") << mapWith(block(one.arg("<vis_type>list</vis_type><item val=\"-1\">m</item>"))) << "holdings:0=|0|0|0|list|1|||shown|0|65535=m, blocks:B@0";
        QTest::newRow("bad item val ends reading") << mapWith(block(one.arg("<text>T</text><item val=\"x\">a</item><text>U</text>"))) << "holdings:0=T|0|0|0||1|||shown|0| blocks:B@0 warnings:item@2";
        QTest::newRow("hidden is case-sensitive") << mapWith(block(one.arg("<hidden>True</hidden>"))) << "holdings:0 blocks:B@0";
        QTest::newRow("unknown child") << mapWith(block(one.arg("<colour>red</colour>"))) << "holdings:0 blocks:B@0 warnings:colour@2";
        QTest::newRow("bad min") << mapWith(block(bad.arg("<h add=\"0\"><min>abc</min></h>"))) << dropped + "min@3";
        QTest::newRow("empty default") << mapWith(block(bad.arg("<h add=\"0\"><default></default></h>"))) << dropped + "default@3";
        QTest::newRow("bad level") << mapWith(block(bad.arg("<h add=\"0\"><level>x</level></h>"))) << dropped + "level@3";
        QTest::newRow("nan multiplier") << mapWith(block(bad.arg("<h add=\"0\"><multiplier>nan</multiplier></h>"))) << dropped + "multiplier@3";
        QTest::newRow("no add") << mapWith(block(bad.arg("<h><text>x</text></h>"))) << dropped + "h@3";
        QTest::newRow("add too big") << mapWith(block(bad.arg("<h add=\"65536\"/>"))) << dropped + "h@3";
        // A bad element in a section abandons the rest of it (",b@2": the warning that says so).
        QTest::newRow("input bad add") << mapWith(in.arg(three.arg("add=\"x\""))) << "inputs:a warnings:b@2,b@2";
        QTest::newRow("input bad default") << mapWith(in.arg(three.arg("add=\"1\"><default>q</default></b><z"))) << "inputs:a warnings:default@2,b@2";
        QTest::newRow("input bad multiplier") << mapWith(in.arg(three.arg("add=\"1\"><multiplier>q</multiplier></b><z"))) << "inputs:a warnings:multiplier@2,b@2";
        QTest::newRow("input bad item keeps register") << mapWith(in.arg(three.arg("add=\"1\"><item/><text>lost</text></b><z add=\"1\""))) << "inputs:a,b,z,c warnings:item@2";
        QTest::newRow("units and colours") << mapWith(block(one.arg("<unit>none</unit>")) + in.arg("<a add=\"0\"><unit>none</unit></a><b add=\"1\" bg_r=\"x\" bg_g=\"300\" bg_b=\"-1\"/>")
            + ram.arg("<pw add=\"3000\"><unit>none</unit><vis_type>pass</vis_type></pw>")) << "holdings:0 inputs:a[adim],b#255,300,-1 ram:pw=|0|0|0|pass|1|adim||shown|0| blocks:B@0 warnings:b@2";
        QTest::newRow("two input sections append") << mapWith(in.arg("<a add=\"0\"/>") + in.arg("<b add=\"1\"/>")) << "inputs:a,b";
        QTest::newRow("ram bad add") << mapWith(ram.arg(three.arg("add=\"-1\""))) << "ram:a warnings:b@2,b@2";
        QTest::newRow("ram bad min") << mapWith(ram.arg(three.arg("add=\"1\"><min>1e3</min></b><z"))) << "ram:a warnings:min@2,b@2";
        QTest::newRow("complete block") << mapWith("<block name=\"N\" query=\"manual\" type=\"t\" start=\"1000\" end=\"1003\"><h add=\"0\"/></block>") << "holdings:0 blocks:N@1000";
        QTest::newRow("block without end") << mapWith("<block name=\"N\" query=\"q\" type=\"t\" start=\"0\"><h add=\"0\"/></block>") << "warnings:block@2";
        QTest::newRow("block without name") << mapWith("<block query=\"q\" type=\"t\" start=\"0\" end=\"1\"><h add=\"0\"/></block>") << "warnings:block@2";
        QTest::newRow("block bad end") << mapWith("<block name=\"N\" query=\"q\" type=\"t\" start=\"0\" end=\"e\"><h add=\"0\"/></block>") << "warnings:block@2";
        QTest::newRow("block bad start") << mapWith("<block name=\"N\" query=\"q\" type=\"t\" start=\"s\" end=\"1\"><h add=\"0\"/></block>") << "holdings:0 blocks:N@0 warnings:block@2";
        QTest::newRow("all options") << mapWith(block("") + o.arg("<StopIndex>66</StopIndex><access_level>28</access_level><flags>29</flags><power_id>11</power_id><power_iq>12</power_iq>"
            "<power_vd>13</power_vd><power_vq>14</power_vq><col1_width>150</col1_width><col2_width>90</col2_width><col3_width>40</col3_width>")) << ob + "66,28,29,11,12,13,14,150,90,40";
        QTest::newRow("bad col2 leaves col1") << mapWith(block("") + o.arg("<col1_width>150</col1_width><col2_width>wide</col2_width>")) << ob + "65535,65535,65535,-1,-1,-1,-1,150,100,50 warnings:col2_width@2";
        QTest::newRow("bad numbers fall back") << mapWith(block("") + o.arg("<StopIndex>-1</StopIndex><flags>70000</flags><power_vq>x</power_vq><col3_width/>"))
            << "blocks:B@0 warnings:StopIndex@2,flags@2,power_vq@2,col3_width@2";
        QTest::newRow("access level reset per options") << mapWith(block("") + o.arg("<access_level>5</access_level><flags>3</flags>") + o.arg(""))
            << ob + "65535,65535,3,-1,-1,-1,-1,200,100,50";
        QTest::newRow("malformed") << "<modbusmap>\n" + block("<h add=\"0\"/>").toUtf8() + "\n<oops>" << "warnings:document@3";
        QTest::newRow("empty") << QByteArray() << "warnings:document@1";
        QTest::newRow("unknown section") << mapWith("<Coils/>") << "warnings:Coils@2";
        // clang-format on
    }
    void sections() {
        QFETCH(QByteArray, xml);
        QTEST(summary(xml), "summary");
    }

    // One poll reads at most 125 registers: a larger map still loads, with a warning.
    void pollLimits() {
        const QString tooMany =
            "line 0: <block>: 126 normal holdings: one poll reads at most 125\n"
            "line 0: <Input_Register>: 126 input registers: one poll reads at most 125";
        for (int count : {125, 126}) {
            QString holdings, inputs;
            for (int add = 0; add < count; ++add) {
                holdings += QStringLiteral("<h add=\"%1\"/>").arg(add);
                inputs += QStringLiteral("<i add=\"%1\"/>").arg(add);
            }
            xmlmap map;
            map.readMapData(mapWith(block(holdings) + "<Input_Register>" + inputs + "</Input_Register>"));
            QStringList warnings;
            for (const ReadWarning &w : map.warnings()) {
                warnings << w.toString();
            }
            QCOMPARE(warnings.join('\n'), count == 125 ? QString() : tooMany);
            QVector<holding_t *> all;
            QCOMPARE(map.getHoldings(all), count);
        }
    }

    void unreadableFileAndClear() {
        xmlmap map;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Cannot read file "));
        QVERIFY(!map.readMap(QStringLiteral("/nonexistent/map.xml")));
        QCOMPARE(map.warnings().size(), 1);
        QVERIFY(map.warnings()[0].toString().startsWith("cannot open /nonexistent/map.xml: "));

        // Records handed out before a clear stay alive.
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
        QVERIFY2(map.warnings().isEmpty(), qPrintable(map.warnings().value(0).toString()));
        QVector<holding_t *> normal, aux, ram;
        QVector<input_reg_t *> inputs;
        QVector<block_t *> blocks;
        QCOMPARE((QList<int>{map.getHoldings(normal), map.getAuxHoldings(aux), map.getInputRegisters(inputs),
                             map.getRamParams(ram)}),
                 (QList<int>{80, 12, 40, 5}));
        QVERIFY(map.getBlocks(blocks) >= 6);
        QCOMPARE(describe(*normal[0]).section('|', -1),
                 QStringLiteral("0=Ninguno,1=Reset,2=Valores de fabrica,"));
        QCOMPARE(describe(*normal[66]).section('|', -1), QStringLiteral("0=Paro,1=Marcha,"));
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
