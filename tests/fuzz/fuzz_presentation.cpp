// Reply-word presentation: single registers, 32-bit pairs, list matching, typed edits, and
// the three reception functions over descriptor lists built from the input.
#include <QRegularExpression>
#include <QVector>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "fuzzsupport.h"
#include "map/presentation.h"

namespace {

const char *const kVisTypes[] = {"float",    "ufloat",   "integer", "hex",     "bin", "list",
                                 "float32H", "float32L", "uint32H", "uint32L", "",    "other"};

QString visType(FuzzedDataProvider &in) {
    if (in.ConsumeBool()) {
        return QString::fromUtf8(in.ConsumeRandomLengthString(12).c_str());
    }
    return QString::fromLatin1(in.PickValueInArray(kVisTypes));
}

float multiplier(FuzzedDataProvider &in) {
    static const float kCommon[] = {1.0f, 0.1f, 0.01f, 0.001f, 0.5f, 10.0f, 0.0f, -1.0f};
    return in.ConsumeBool() ? in.PickValueInArray(kCommon) : in.ConsumeFloatingPoint<float>();
}

// Records live in the deques, which never move them, as the map reader's records never move.
struct Descriptors {
    std::deque<item_t> items;
    std::deque<input_reg_t> inputs;
    std::deque<holding_t> holdings;

    QVector<item_t *> makeItems(FuzzedDataProvider &in) {
        QVector<item_t *> list;
        const int count = in.ConsumeIntegralInRange(0, 4);
        for (int i = 0; i < count; ++i) {
            items.push_back({in.ConsumeIntegral<uint16_t>(), QString::number(i)});
            list.append(&items.back());
        }
        return list;
    }
    template <typename T>
    T *make(std::deque<T> &store, FuzzedDataProvider &in) {
        T record;
        record.vis_type = visType(in);
        record.multiplier = multiplier(in);
        record.items = makeItems(in);
        store.push_back(record);
        return &store.back();
    }
};

void singleRegister(FuzzedDataProvider &in) {
    const uint16_t raw = in.ConsumeIntegral<uint16_t>();
    const float mul = multiplier(in);
    const QString type = visType(in);
    const auto formatted = presentation::formatValue(raw, mul, type);
    FUZZ_CHECK(!formatted.text.isEmpty(), "a value always has a text");
    if (type == QLatin1String("hex")) {
        static const QRegularExpression hexText(QStringLiteral("^0x[0-9A-F]{4}$"));
        FUZZ_CHECK(hexText.match(formatted.text).hasMatch(), "hex text is 0x and four digits");
    } else if (type == QLatin1String("integer")) {
        bool ok = false;
        const int value = formatted.text.toInt(&ok);
        FUZZ_CHECK(ok && value >= -32768 && value <= 32767, "integer text is a 16-bit number");
    }
    presentation::formatFloat32Pair(raw, in.ConsumeIntegral<uint16_t>());
    presentation::formatUint32Pair(raw, in.ConsumeIntegral<uint16_t>());
}

void typedEdit(FuzzedDataProvider &in) {
    const int32_t min = in.ConsumeIntegral<int32_t>();
    const int32_t max = in.ConsumeIntegral<int32_t>();
    const float mul = multiplier(in);
    const QString text = QString::fromUtf8(in.ConsumeRandomLengthString(24).c_str());
    uint16_t word = 0x5A5A;
    const auto result = presentation::editTextToWord(text, min, max, mul, &word);
    FUZZ_CHECK(result == presentation::EditResult::Ok || word == 0x5A5A, "a rejected edit writes no word");
}

void receptions(FuzzedDataProvider &in) {
    Descriptors made;
    QVector<input_reg_t *> inputs;
    QVector<holding_t *> holdings;
    const int inputCount = in.ConsumeIntegralInRange(0, 16);
    for (int i = 0; i < inputCount; ++i) {
        inputs.append(made.make(made.inputs, in));
    }
    const int holdingCount = in.ConsumeIntegralInRange(0, 16);
    for (int i = 0; i < holdingCount; ++i) {
        holdings.append(made.make(made.holdings, in));
    }
    QString logLine;
    const auto inputWords = fuzzsupport::words(in, in.ConsumeIntegralInRange(0, 20));
    const auto updates = presentation::applyInputWords(inputs, inputWords, &logLine);
    FUZZ_CHECK(updates.size() == std::min(inputs.size(), inputWords.size()), "one update per word");
    const bool sameSize = in.ConsumeBool();
    presentation::applyHoldingWords(
        holdings, fuzzsupport::words(in, sameSize ? holdingCount : in.ConsumeIntegral<uint8_t>()));
    // Aux replies start at register 1000 + index; a register number is 16-bit.
    const int start = in.ConsumeIntegralInRange(-1000, 65535 - 1000);
    const auto auxWords = fuzzsupport::words(in, in.ConsumeIntegralInRange(0, 20));
    const auto auxUpdates = presentation::applyAuxWords(holdings, start, auxWords);
    FUZZ_CHECK(auxUpdates.size() <= auxWords.size(), "no more aux updates than words");
    for (const holding_t *holding : holdings) {
        const int index = presentation::listIndexForWord(holding->items, holding->value);
        FUZZ_CHECK(index < holding->items.size(), "list index inside the list");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    singleRegister(in);
    typedEdit(in);
    receptions(in);
    return 0;
}
