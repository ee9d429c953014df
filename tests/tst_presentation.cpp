#include <QtTest>

#include "map/presentation.h"

using namespace presentation;

Q_DECLARE_METATYPE(presentation::EditResult)

namespace {

const QString kKeep = QStringLiteral("<keep>");

// "0x3F80,7" -> {0x3F80, 7}
QVector<uint16_t> parseWords(const QString &list) {
    QVector<uint16_t> out;
    for (const QString &w : list.split(',', Qt::SkipEmptyParts)) {
        out << static_cast<uint16_t>(w.toUInt(nullptr, 0));
    }
    return out;
}

// Cell texts joined by '|', kKeep for cells left as they were.
QString texts(const QVector<CellUpdate> &updates) {
    QStringList out;
    for (const CellUpdate &u : updates) {
        out << (u.set ? u.text : kKeep);
    }
    return out.join('|');
}

// Registers of the given vis types; every one knows the items 1 -> "On", 2 -> "A", 2 -> "B".
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
    QVector<input_reg_t> storage;
    QVector<input_reg_t *> pointers;
};

}  // namespace

class tst_presentation : public QObject {
    Q_OBJECT

  private slots:
    void formatValue_data() {
        QTest::addColumn<int>("raw");
        QTest::addColumn<float>("multiplier");
        QTest::addColumn<QString>("vis");
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("scaled");
        // clang-format off
        QTest::newRow("float negative") << 0xFFF6 << 0.1f << "float" << "-1.0" << -1.0f;
        QTest::newRow("ufloat same word") << 0xFFF6 << 0.1f << "ufloat" << "6552.6" << 6552.6f;
        QTest::newRow("float 3 decimals") << 1234 << 0.001f << "float" << "1.234" << 1.234f;
        QTest::newRow("float 2 decimals") << 1234 << 0.01f << "float" << "12.34" << 12.34f;
        QTest::newRow("float 1 decimal") << 1234 << 1.0f << "float" << "1234.0" << 1234.0f;
        QTest::newRow("hex padded") << 255 << 1.0f << "hex" << "0x00FF" << 255.0f;
        QTest::newRow("hex upper") << 0xABCD << 1.0f << "hex" << "0xABCD" << 43981.0f;
        QTest::newRow("hex truncates") << 3 << 0.5f << "hex" << "0x0001" << 1.5f;
        QTest::newRow("hex beyond int32") << 2 << 1e30f << "hex" << "0x0000" << 2e30f;
        QTest::newRow("bin") << 5 << 1.0f << "bin" << "101" << 5.0f;
        QTest::newRow("integer truncates") << 0xFFF1 << 0.1f << "integer" << "-1" << -1.5f;
        QTest::newRow("integer overflow") << 0x7FFF << 2.0f << "integer" << "-32768" << 65534.0f;
        QTest::newRow("default unsigned") << 0xFFFF << 1.0f << "uint" << "65535" << 65535.0f;
        QTest::newRow("default low 16 bits") << 1000 << 100.0f << "list" << "34464" << 100000.0f;
        // clang-format on
    }
    void formatValue() {
        QFETCH(int, raw);
        QFETCH(float, multiplier);
        QFETCH(QString, vis);
        QFETCH(QString, text);
        QFETCH(float, scaled);
        const FormattedValue v = presentation::formatValue(static_cast<uint16_t>(raw), multiplier, vis);
        QCOMPARE(v.text, text);
        QCOMPARE(v.scaled, scaled);
    }

    void editTextToWord_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<float>("multiplier");
        QTest::addColumn<EditResult>("result");
        QTest::addColumn<int>("word");  // 0xBEEF: left untouched
        QTest::newRow("half up") << "1.25" << -10 << 10 << 0.5f << EditResult::Ok << 3;
        QTest::newRow("half away from zero") << "-1.25" << -10 << 10 << 0.5f << EditResult::Ok << 0xFFFD;
        QTest::newRow("two's complement") << "-3" << -10 << 10 << 1.0f << EditResult::Ok << 0xFFFD;
        QTest::newRow("scaled") << "12.5" << 0 << 200 << 0.1f << EditResult::Ok << 125;
        QTest::newRow("single precision half") << "-0.05" << -1 << 1 << 0.1f << EditResult::Ok << 0xFFFF;
        QTest::newRow("max inclusive") << "100" << 0 << 100 << 1.0f << EditResult::Ok << 100;
        QTest::newRow("low 16 bits") << "70000" << 0 << 100000 << 1.0f << EditResult::Ok << 4464;
        QTest::newRow("above max") << "100.001" << 0 << 100 << 1.0f << EditResult::OutOfRange << 0xBEEF;
        QTest::newRow("below min") << "-101" << -100 << 100 << 1.0f << EditResult::OutOfRange << 0xBEEF;
        QTest::newRow("zero multiplier") << "1" << 0 << 10 << 0.0f << EditResult::NotRepresentable << 0xBEEF;
        QTest::newRow("letters") << "abc" << 0 << 10 << 1.0f << EditResult::NotANumber << 0xBEEF;
        QTest::newRow("decimal comma") << "12,5" << 0 << 200 << 0.1f << EditResult::Ok << 125;
        QTest::newRow("two commas") << "1,2,5" << 0 << 10 << 1.0f << EditResult::NotANumber << 0xBEEF;
    }
    void editTextToWord() {
        QFETCH(QString, text);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(float, multiplier);
        QFETCH(EditResult, result);
        QFETCH(int, word);
        uint16_t out = 0xBEEF;
        QCOMPARE(presentation::editTextToWord(text, min, max, multiplier, &out), result);
        QCOMPARE(int(out), word);
    }

    void rejectedEditsSayWhy_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("message");  // empty: written
        const QString range = QStringLiteral("accepted range -30 to 30");
        // clang-format off
        QTest::newRow("not a number") << "abc" << "rpm" << "\"abc\" is not a number (" + range + " rpm)";
        QTest::newRow("outside") << "31" << "rpm" << "31 is outside the " + range + " rpm";
        QTest::newRow("dimensionless") << "-31" << "adim" << "-31 is outside the " + range;
        QTest::newRow("written") << "12,5" << "rpm" << "";
        // clang-format on
    }
    void rejectedEditsSayWhy() {
        QFETCH(QString, typed);
        QFETCH(QString, unit);
        QFETCH(QString, message);
        holding_t record;
        record.text = QStringLiteral("Velocidad");
        record.min = -30;
        record.max = 30;
        record.unit = unit;
        const EditDecision edit = decideEdit(record, typed);
        QCOMPARE(edit.rejection, message.isEmpty() ? message : "Velocidad not written: " + message);
        QCOMPARE(edit.result == EditResult::Ok, message.isEmpty());
    }

    void pairs() {
        QCOMPARE(formatFloat32Pair(0x0000, 0x3F80), QStringLiteral("1.000"));
        float asFloat = 0;
        QCOMPARE(formatUint32Pair(0x0001, 0x0001, &asFloat), QStringLiteral("65537"));
        QCOMPARE(asFloat, 65537.0f);
        QCOMPARE(formatUint32Pair(0x0000, 0x8000), QStringLiteral("-2.14748e+09"));
        QCOMPARE(formatUint32Pair(0xFFFF, 0xFFFF), QStringLiteral("-1"));
        QVERIFY(isPairHigh("float32H", "float32L") && isPairHigh("uint32H", "uint32L"));
        QVERIFY(!isPairHigh("float32H", "uint32L") && !isPairHigh("float32L", "float32L"));
    }

    void applyInputWords_data() {
        QTest::addColumn<QString>("vis");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("logLine");
        // clang-format off
        QTest::newRow("float pair") << "float32H,float32L,ufloat" << "0,0x3F80,7" << "1.000||3.5" << ";1.000;3.5";
        QTest::newRow("uint pair") << "uint32H,uint32L" << "1,1" << "65537|" << ";65537";
        QTest::newRow("H last in list") << "integer,float32H" << "5,7" << "2|" + kKeep << ";2";
        QTest::newRow("H before other type") << "float32H,hex" << "0,3" << kKeep + "|0x0001" << ";0x0001";
        QTest::newRow("pair cut by reply") << "uint32H,uint32L" << "1" << kKeep << "";
        QTest::newRow("list last match wins") << "list,list" << "2,1" << "B|On" << "";
        QTest::newRow("list no match keeps") << "list" << "9" << kKeep << "";
        QTest::newRow("reply shorter") << "bin,bin,bin" << "4,6" << "10|11" << ";10;11";
        QTest::newRow("reply longer") << "bin" << "4,6" << "10" << ";10";
        // clang-format on
    }
    void applyInputWords() {
        QFETCH(QString, vis);
        QFETCH(QString, cells);
        QFETCH(QString, words);
        QFETCH(QString, logLine);
        const QVector<uint16_t> reply = parseWords(words);
        Registers regs(vis);
        QString line = QStringLiteral("t");
        QCOMPARE(texts(presentation::applyInputWords(regs.pointers, reply, &line)), cells);
        QCOMPARE(line, "t" + logLine);
        for (int i = 0; i < std::min(regs.storage.size(), reply.size()); ++i) {
            QCOMPARE(regs.storage[i].raw, reply[i]);
        }
    }

    void inputScaledValues() {
        Registers regs("float,uint32H,uint32L,float32H,float32L,list");
        presentation::applyInputWords(regs.pointers, {0xFFFF, 0x0000, 0xFFFF, 0x0000, 0x3F80, 1});
        QCOMPARE(regs.storage[0].fvalue, -0.5f);
        QCOMPARE(regs.storage[1].fvalue, -65536.0f);  // no multiplier on pairs
        QCOMPARE(regs.storage[3].fvalue, 42.0f);      // float pairs and lists keep fvalue
        QCOMPARE(regs.storage[5].fvalue, 42.0f);
    }

    void applyHoldingWords() {
        QVector<holding_t> storage(3);
        storage[0].vis_type = QStringLiteral("float");
        storage[0].multiplier = 0.1f;
        storage[1].vis_type = QStringLiteral("list");
        storage[2].vis_type = QStringLiteral("hex");
        const QVector<holding_t *> holdings{&storage[0], &storage[1], &storage[2]};
        QVERIFY(presentation::applyHoldingWords(holdings, {1, 2}).isEmpty());
        QVERIFY(presentation::applyHoldingWords(holdings, {1, 2, 3, 4}).isEmpty());
        QCOMPARE(storage[0].value, uint16_t(0));
        QCOMPARE(texts(presentation::applyHoldingWords(holdings, {0xFFF6, 2, 0xAB})),
                 "-1.0|" + kKeep + "|0x00AB");
        QCOMPARE(storage[1].value, uint16_t(2));
        QCOMPARE(storage[0].fvalue, -1.0f);
    }

    void applyAuxWords_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("cells");
        // clang-format off
        QTest::newRow("pair, own word low") << 0 << "1,1,5" << "65537||5";
        QTest::newRow("pair ending the reply") << 0 << "1,1" << "65537|";
        QTest::newRow("from the middle") << 2 << "9" << "9";
        QTest::newRow("pair cut by reply") << 0 << "1" << kKeep;
        QTest::newRow("runs past the end") << 1 << "1,2,3" << "|2";
        QTest::newRow("starts past the end") << 5 << "1" << "";
        QTest::newRow("negative start") << -1 << "1" << "";
        // clang-format on
    }
    void applyAuxWords() {
        QFETCH(int, start);
        QFETCH(QString, words);
        QFETCH(QString, cells);
        const QVector<uint16_t> reply = parseWords(words);
        QVector<holding_t> storage(3);
        storage[0].vis_type = QStringLiteral("uint32H");
        storage[1].vis_type = QStringLiteral("uint32L");
        const QVector<holding_t *> aux{&storage[0], &storage[1], &storage[2]};
        if (start < 0 || start + reply.size() > aux.size()) {
            QTest::ignoreMessage(QtDebugMsg,
                                 QRegularExpression("^error! i= -?\\d+  auxholdings.size\\(\\)=  3$"));
        }
        QCOMPARE(texts(presentation::applyAuxWords(aux, start, reply)), cells);
        for (int j = std::max(start, 0); j < std::min(start + reply.size(), 3); ++j) {
            QCOMPARE(storage[j].value, reply[j - start]);
        }
    }

    void helpers() {
        item_t a{1, "a"}, b{0xFFFF, "b"}, c{1, "c"};
        QCOMPARE(listIndexForWord({&a, &b, &c}, 1), 0);
        QCOMPARE(listIndexForWord({&a, &b, &c}, 0xFFFF), 1);
        QCOMPARE(listIndexForWord({&a, &b}, 7), -1);
        Registers regs("float32L,uint32L,float32H");
        QVERIFY(isHiddenInputRow(regs.storage[0]) && isHiddenInputRow(regs.storage[1]));
        QVERIFY(!isHiddenInputRow(regs.storage[2]));
        QCOMPARE(shownUnit("adim"), QString());
        QCOMPARE(shownUnit("rpm"), QStringLiteral("rpm"));
    }
};

QTEST_APPLESS_MAIN(tst_presentation)
#include "tst_presentation.moc"
