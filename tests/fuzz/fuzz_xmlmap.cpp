// Register-map reader, then the presentation rules over the descriptors it built, fed with
// reply words taken from the same bytes.
#include <QVector>
#include <cstddef>
#include <cstdint>

#include "fuzzsupport.h"
#include "map/presentation.h"
#include "map/xmlmap.h"

namespace {

QVector<uint16_t> wordsFrom(const QByteArray &data, int count) {
    QVector<uint16_t> words(count);
    for (int i = 0; i < count && !data.isEmpty(); ++i) {
        const int at = (2 * i) % data.size();
        words[i] = uint16_t(uint8_t(data[at]) | (uint8_t(data[(at + 1) % data.size()]) << 8));
    }
    return words;
}

void checkLists(const xmlmap &map) {
    QVector<holding_t *> normal;
    QVector<holding_t *> aux;
    map.getHoldings(normal);
    map.getAuxHoldings(aux);
    for (int i = 1; i < normal.size(); ++i) {
        FUZZ_CHECK(normal[i]->add == normal[i - 1]->add + 1, "normal holdings at consecutive addresses");
    }
    QVector<block_t *> blocks;
    map.getBlocks(blocks);
    for (const block_t *block : blocks) {
        FUZZ_CHECK(block != nullptr, "block record");
    }
}

void presentReplies(const xmlmap &map, const QByteArray &data) {
    QVector<input_reg_t *> inputs;
    QVector<holding_t *> normal;
    QVector<holding_t *> aux;
    QVector<holding_t *> ram;
    map.getInputRegisters(inputs);
    map.getHoldings(normal);
    map.getAuxHoldings(aux);
    map.getRamParams(ram);

    QString logLine;
    const auto inputUpdates = presentation::applyInputWords(inputs, wordsFrom(data, inputs.size()), &logLine);
    FUZZ_CHECK(inputUpdates.size() == inputs.size(), "one update per input register");
    const auto holdingUpdates = presentation::applyHoldingWords(normal, wordsFrom(data, normal.size()));
    FUZZ_CHECK(holdingUpdates.size() == normal.size(), "one update per holding");
    const int start = aux.isEmpty() ? 0 : data.size() % aux.size();
    presentation::applyAuxWords(aux, start, wordsFrom(data, aux.size()));

    for (const holding_t *holding : normal + aux + ram) {
        presentation::listIndexForWord(holding->items, holding->value);
        uint16_t word = 0;
        const auto formatted =
            presentation::formatValue(holding->value, holding->multiplier, holding->vis_type);
        presentation::editTextToWord(formatted.text, holding->min, holding->max, holding->multiplier, &word);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzzsupport::bytes(data, size);
    xmlmap map;
    map.readMapData(bytes, QStringLiteral("fuzz"));
    checkLists(map);
    presentReplies(map, bytes);
    QString testFile;
    map.getTestFile(testFile);
    return 0;
}
