// Parameter-file reader. A file written from what was read must read back with the same
// metadata, addresses, labels and raw values, and multipliers at the written precision.
#include <QBuffer>
#include <QVector>
#include <cstddef>
#include <cstdint>

#include "fuzzsupport.h"
#include "params/paramfile_io.h"

namespace {

// What XML 1.0 can carry: the writer leaves out every other character.
QString xmlCharactersOnly(const QString &text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += text.mid(i++, 2);
        } else if (c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                   (c >= 0xE000 && c <= 0xFFFD)) {
            out += QChar(c);
        }
    }
    return out;
}

QByteArray written(const ParamFileContents &contents) {
    QVector<holding_t *> holdings;
    QVector<holding_t> copies = contents.holdings;
    for (holding_t &holding : copies) {
        holdings.append(&holding);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    FUZZ_CHECK(writeParamFileData(&buffer, contents.meta, holdings), "parameter file written");
    return buffer.data();
}

// What a write keeps of a text: the characters XML can carry; a text of blanks alone reads
// back empty (the reader drops whitespace-only text nodes).
bool survives(const QString &before, const QString &after) {
    const QString kept = xmlCharactersOnly(before);
    return kept == after || (kept.trimmed().isEmpty() && after.isEmpty());
}

void checkSameMeta(const ParamFileMeta &a, const ParamFileMeta &b) {
    FUZZ_CHECK(survives(a.file, b.file), "file survives a write");
    FUZZ_CHECK(survives(a.datetime, b.datetime), "datetime survives a write");
    FUZZ_CHECK(survives(a.model, b.model), "model survives a write");
    FUZZ_CHECK(survives(a.version, b.version), "version survives a write");
}

void checkSameHoldings(const QVector<holding_t> &read, const QVector<holding_t> &reread) {
    FUZZ_CHECK(read.size() == reread.size(), "every holding survives a write");
    for (int i = 0; i < read.size(); ++i) {
        FUZZ_CHECK(read[i].add == reread[i].add, "add survives a write");
        FUZZ_CHECK(survives(read[i].text, reread[i].text), "txt survives a write");
        FUZZ_CHECK(read[i].value == reread[i].value, "bin survives a write");
        const float expected = paramFileMultiplier(read[i].multiplier).toFloat();
        FUZZ_CHECK(reread[i].multiplier == expected, "mul survives a write at 6 digits");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ParamFileContents contents;
    if (!readParamFileData(fuzzsupport::bytes(data, size), &contents)) {
        FUZZ_CHECK(!contents.error.isEmpty(), "a rejected file says why");
        return 0;
    }
    ParamFileContents reread;
    FUZZ_CHECK(readParamFileData(written(contents), &reread), "a written file reads back");
    FUZZ_CHECK(reread.warnings.isEmpty(), "a written file reads without warnings");
    checkSameMeta(contents.meta, reread.meta);
    checkSameHoldings(contents.holdings, reread.holdings);
    return 0;
}
