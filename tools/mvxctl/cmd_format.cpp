#include "cli.h"
#include "commands.h"
#include "map/presentation.h"

namespace {

const char kUsage[] = "format --vis TYPE --mul M RAW...";

bool parseWord(const QString &text, uint16_t *word) {
    bool ok = false;
    const uint value = text.toUInt(&ok, 0);  // decimal, 0x hex or 0 octal
    if (!ok || value > 0xFFFF) {
        return false;
    }
    *word = static_cast<uint16_t>(value);
    return true;
}

void printLine(const QString &text, double scaled) {
    cli::out() << text << "\t" << QString::number(scaled, 'g', 7) << "\n";
}

}  // namespace

// Prints "<shown text>\t<scaled value>" per value: one per raw word, or one per pair of words
// for the 32-bit types (first word = low half, as in the register map).
int runFormat(const QStringList &args) {
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("vis"),
                      QStringLiteral("Presentation type: float, ufloat, integer, hex, bin, float32H, uint32H "
                                     "or any other for decimal. Required."),
                      QStringLiteral("TYPE")});
    parser.addOption({QStringLiteral("mul"), QStringLiteral("Multiplier (default: 1)."), QStringLiteral("M"),
                      QStringLiteral("1")});
    parser.addPositionalArgument(QStringLiteral("RAW"), QStringLiteral("Raw words (decimal or 0x hex)."));
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        return 2;
    }
    bool mulOk = false;
    const float multiplier = parser.value(QStringLiteral("mul")).toFloat(&mulOk);
    const QString vis = parser.value(QStringLiteral("vis"));
    QVector<uint16_t> words;
    for (const QString &text : parser.positionalArguments()) {
        uint16_t word = 0;
        if (!parseWord(text, &word)) {
            cli::err() << "mvxctl: '" << text << "' is not a 16-bit word (0..65535 or 0x0000..0xFFFF)\n";
            return 2;
        }
        words << word;
    }
    if (!mulOk || words.isEmpty()) {
        cli::err() << "usage: mvxctl " << kUsage << "\n";
        return 2;
    }
    const bool pair = vis == QLatin1String("float32H") || vis == QLatin1String("uint32H");
    if (pair) {
        if (words.size() % 2 != 0) {
            cli::err() << "mvxctl: " << vis << " takes two words per value (low half first)\n";
            return 2;
        }
        for (int i = 0; i < words.size(); i += 2) {
            if (vis == QLatin1String("float32H")) {
                const QString text = presentation::formatFloat32Pair(words[i], words[i + 1]);
                printLine(text, text.toDouble());
            } else {
                float value = 0;
                const QString text = presentation::formatUint32Pair(words[i], words[i + 1], &value);
                printLine(text, static_cast<double>(value));
            }
        }
    } else {
        for (uint16_t word : words) {
            const presentation::FormattedValue v = presentation::formatValue(word, multiplier, vis);
            printLine(v.text, static_cast<double>(v.scaled));
        }
    }
    cli::out().flush();
    return 0;
}
