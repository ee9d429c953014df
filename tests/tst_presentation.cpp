#include <QtTest>

#include "map/presentation.h"

using namespace presentation;

namespace {

template <typename... T, typename... Name>
void columns(Name... names) {
    (QTest::addColumn<T>(names), ...);
}

template <typename... T>
void row(const char *name, const T &...values) {
    (QTest::newRow(name) << ... << values);
}

using Words = QVector<uint16_t>;

// Cell texts joined by '|', "<keep>" for cells left as they were.
QString texts(const QVector<CellUpdate> &updates) {
    QStringList out;
    for (const CellUpdate &u : updates) {
        out << (u.set ? u.text : QStringLiteral("<keep>"));
    }
    return out.join('|');
}

// Records of the given vis types; every one knows the items 1 -> "On", 2 -> "A", 2 -> "B".
template <typename Record>
struct Registers {
    explicit Registers(const QString &visTypes) : storage(visTypes.split(',').size()) {
        for (int i = 0; i < storage.size(); ++i) {
            storage[i].vis_type = visTypes.split(',')[i];
            storage[i].multiplier = 0.5f;
            storage[i].fvalue = 42.0f;
            storage[i].items = {&items[0], &items[1], &items[2]};
            pointers << &storage[i];
        }
    }
    QVector<item_t> items{{1, "On"}, {2, "A"}, {2, "B"}};
    QVector<Record> storage;
    QVector<Record *> pointers;
};

}  // namespace

class tst_presentation : public QObject {
    Q_OBJECT

  private slots:
    void formatValue_data() {
        columns<int, float, QString, QString, float>("raw", "multiplier", "vis", "text", "scaled");
        // clang-format off
        row("float negative", 0xFFF6, 0.1f, "float", "-1.0", -1.0f);
        row("ufloat same word", 0xFFF6, 0.1f, "ufloat", "6552.6", 6552.6f);
        row("float 3 decimals", 1234, 0.001f, "float", "1.234", 1.234f);
        row("float 2 decimals", 1234, 0.01f, "float", "12.34", 12.34f);
        row("float 1 decimal", 1234, 1.0f, "float", "1234.0", 1234.0f);
        row("hex padded", 255, 1.0f, "hex", "0x00FF", 255.0f);
        row("hex upper", 0xABCD, 1.0f, "hex", "0xABCD", 43981.0f);
        row("hex truncates", 3, 0.5f, "hex", "0x0001", 1.5f);
        row("hex beyond int32", 2, 1e30f, "hex", "0x0000", 2e30f);
        row("bin", 5, 1.0f, "bin", "101", 5.0f);
        row("integer truncates", 0xFFF1, 0.1f, "integer", "-1", -1.5f);
        row("integer overflow", 0x7FFF, 2.0f, "integer", "-32768", 65534.0f);
        row("default unsigned", 0xFFFF, 1.0f, "uint", "65535", 65535.0f);
        row("default low 16 bits", 1000, 100.0f, "list", "34464", 100000.0f);
        // clang-format on
    }
    void formatValue() {
        QFETCH(int, raw);
        QFETCH(float, multiplier);
        QFETCH(QString, vis);
        const FormattedValue v = presentation::formatValue(static_cast<uint16_t>(raw), multiplier, vis);
        QTEST(v.text, "text");
        QTEST(v.scaled, "scaled");
    }

    // word 0xBEEF: left untouched; message empty: written.
    void edits_data() {
        columns<QString, int, int, float, QString, QString, int, QString>("typed", "min", "max", "multiplier",
                                                                          "unit", "vis", "word", "message");
        // clang-format off
        row("half up", "1.25", -10, 10, 0.5f, "adim", "float", 3, "");
        row("half away from zero", "-1.25", -10, 10, 0.5f, "adim", "float", 0xFFFD, "");
        row("two's complement", "-3", -10, 10, 1.0f, "adim", "float", 0xFFFD, "");
        row("scaled", "12.5", 0, 200, 0.1f, "rpm", "float", 125, "");
        row("single precision half", "-0.05", -1, 1, 0.1f, "adim", "float", 0xFFFF, "");
        row("max inclusive", "100", 0, 100, 1.0f, "adim", "float", 100, "");
        row("low 16 bits", "70000", 0, 100000, 1.0f, "adim", "float", 4464, "");
        row("above max", "100.001", -100, 100, 1.0f, "%", "float", 0xBEEF, "100.001 is outside the accepted range -100 to 100 %");
        row("below min, dimensionless", "-101", -100, 100, 1.0f, "adim", "float", 0xBEEF, "-101 is outside the accepted range -100 to 100");
        row("zero multiplier", "1", 0, 10, 0.0f, "adim", "float", 0xBEEF, "1 cannot be sent with the multiplier 0");
        row("letters", "abc", -30, 30, 1.0f, "rpm", "float", 0xBEEF, "\"abc\" is not a number (accepted range -30 to 30 rpm)");
        row("decimal comma", "12,5", 0, 200, 0.1f, "rpm", "float", 125, "");
        row("fraction into a whole-number register", "1450,7", 0, 2000, 1.0f, "W", "integer", 0xBEEF, "1450,7 is not a whole number, and the register holds whole numbers");
        row("fraction into a hex register", "2.5", 0, 10, 1.0f, "adim", "hex", 0xBEEF, "2.5 is not a whole number, and the register holds whole numbers");
        row("whole steps of 0.1", "12.5", 0, 200, 0.1f, "rpm", "integer", 125, "");
        row("between steps of 0.1", "12.55", 0, 200, 0.1f, "rpm", "integer", 0xBEEF, "12.55 is not a whole number of the register's steps of 0.1");
        row("a register with decimals rounds", "1450,7", 0, 2000, 1.0f, "W", "float", 1451, "");
        row("two commas", "1,2,5", 0, 10, 1.0f, "adim", "float", 0xBEEF, "\"1,2,5\" is not a number (accepted range 0 to 10)");
        // clang-format on
    }
    void edits() {
        QFETCH(QString, typed);
        QFETCH(int, word);
        QFETCH(QString, message);
        holding_t record;
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(float, multiplier);
        QFETCH(QString, unit);
        QFETCH(QString, vis);
        std::tie(record.text, record.min, record.max, record.multiplier, record.unit, record.vis_type) =
            std::make_tuple(QStringLiteral("Velocidad"), min, max, multiplier, unit, vis);
        const EditDecision edit = decideEdit(record, typed);
        QCOMPARE(edit.rejection, message.isEmpty() ? message : "Velocidad not written: " + message);
        uint16_t out = 0xBEEF;
        QCOMPARE(editTextToWord(typed, min, max, multiplier, &out, presentation::stepsFor(vis)), edit.result);
        QCOMPARE(int(out), word);
        QCOMPARE(int(edit.word), message.isEmpty() ? word : 0);
    }

    void applyInputWords_data() {
        columns<QString, Words, QString, QString>("vis", "reply", "cells", "logLine");
        // clang-format off
        row("float pair", "float32H,float32L,ufloat", Words{0, 0x3F80, 7}, "1.000||3.5", ";1.000;3.5");
        row("uint pair", "uint32H,uint32L", Words{1, 1}, "65537|", ";65537");
        row("H last in list", "integer,float32H", Words{5, 7}, "2|<keep>", ";2");
        row("H before other type", "float32H,hex", Words{0, 3}, "<keep>|0x0001", ";0x0001");
        row("pair cut by reply", "uint32H,uint32L", Words{1}, "<keep>", "");
        row("list last match wins", "list,list", Words{2, 1}, "B|On", "");
        row("list no match keeps", "list", Words{9}, "<keep>", "");
        row("reply shorter", "bin,bin,bin", Words{4, 6}, "10|11", ";10;11");
        row("reply longer", "bin", Words{4, 6}, "10", ";10");
        // clang-format on
    }
    void applyInputWords() {
        QFETCH(QString, vis);
        QFETCH(Words, reply);
        QFETCH(QString, logLine);
        Registers<input_reg_t> regs(vis);
        QString line = QStringLiteral("t");
        QTEST(texts(presentation::applyInputWords(regs.pointers, reply, &line)), "cells");
        QCOMPARE(line, "t" + logLine);
        for (int i = 0; i < std::min(regs.storage.size(), reply.size()); ++i) {
            QCOMPARE(regs.storage[i].raw, reply[i]);
        }
    }

    void applyAuxWords_data() {
        columns<int, Words, QString>("start", "reply", "cells");
        row("pair, own word low", 0, Words{1, 1, 5}, "65537||2");
        row("pair ending the reply", 0, Words{1, 1}, "65537|");
        row("from the middle", 2, Words{9}, "4");
        row("pair cut by reply", 0, Words{1}, "<keep>");
        row("runs past the end", 1, Words{1, 2, 3}, "|1");
        row("starts past the end", 5, Words{1}, "");
        row("negative start", -1, Words{1}, "");
    }
    void applyAuxWords() {
        QFETCH(int, start);
        QFETCH(Words, reply);
        Registers<holding_t> aux("uint32H,uint32L,uint");
        if (start < 0 || start + reply.size() > aux.storage.size()) {
            QTest::ignoreMessage(QtDebugMsg,
                                 QRegularExpression("^error! i= -?\\d+  auxholdings.size\\(\\)=  3$"));
        }
        QTEST(texts(presentation::applyAuxWords(aux.pointers, start, reply)), "cells");
        for (int j = std::max(start, 0); j < std::min(start + reply.size(), 3); ++j) {
            QCOMPARE(aux.storage[j].value, reply[j - start]);
        }
    }

    // Scaled values of inputs and holdings, 32-bit pairs, list look-up, hidden rows (units: see edits).
    void valuesAndHelpers() {
        Registers<input_reg_t> inputs("float,uint32H,uint32L,float32H,float32L,list");
        presentation::applyInputWords(inputs.pointers, {0xFFFF, 0x0000, 0xFFFF, 0x0000, 0x3F80, 1});
        QCOMPARE(inputs.storage[0].fvalue, -0.5f);
        QCOMPARE(inputs.storage[1].fvalue, -65536.0f);  // no multiplier on pairs
        QCOMPARE(inputs.storage[3].fvalue, 42.0f);      // float pairs and lists keep fvalue
        QCOMPARE(inputs.storage[5].fvalue, 42.0f);
        QVERIFY(isHiddenInputRow(inputs.storage[2]) && isHiddenInputRow(inputs.storage[4]));
        QVERIFY(!isHiddenInputRow(inputs.storage[3]));

        Registers<holding_t> holdings("float,list,hex");
        QVERIFY(presentation::applyHoldingWords(holdings.pointers, {1, 2}).isEmpty());
        QVERIFY(presentation::applyHoldingWords(holdings.pointers, {1, 2, 3, 4}).isEmpty());
        QCOMPARE(holdings.storage[0].value, uint16_t(0));
        QCOMPARE(texts(presentation::applyHoldingWords(holdings.pointers, {0xFFF6, 2, 0x156})),
                 "-5.0|<keep>|0x00AB");
        QCOMPARE(holdings.storage[1].value, uint16_t(2));
        QCOMPARE(holdings.storage[0].fvalue, -5.0f);

        QCOMPARE(formatFloat32Pair(0x0000, 0x3F80), QStringLiteral("1.000"));
        float asFloat = 0;
        QCOMPARE(formatUint32Pair(0x0001, 0x0001, &asFloat), QStringLiteral("65537"));
        QCOMPARE(asFloat, 65537.0f);
        QCOMPARE(formatUint32Pair(0x0000, 0x8000), QStringLiteral("-2.14748e+09"));
        QCOMPARE(formatUint32Pair(0xFFFF, 0xFFFF), QStringLiteral("-1"));
        QVERIFY(isPairHigh("float32H", "float32L") && isPairHigh("uint32H", "uint32L"));
        QVERIFY(!isPairHigh("float32H", "uint32L") && !isPairHigh("float32L", "float32L"));

        item_t a{1, "a"}, b{0xFFFF, "b"}, c{1, "c"};
        QCOMPARE(listIndexForWord({&a, &b, &c}, 1), 0);
        QCOMPARE(listIndexForWord({&a, &b, &c}, 0xFFFF), 1);
        QCOMPARE(listIndexForWord({&a, &b}, 7), -1);
    }
};

QTEST_APPLESS_MAIN(tst_presentation)
#include "tst_presentation.moc"
