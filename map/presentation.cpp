#include "map/presentation.h"

#include <QCoreApplication>
#include <QDebug>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "map/numbertext.h"

namespace presentation {

namespace {

const QString kFloat = QStringLiteral("float");
const QString kUfloat = QStringLiteral("ufloat");
const QString kInteger = QStringLiteral("integer");
const QString kHex = QStringLiteral("hex");
const QString kBin = QStringLiteral("bin");
const QString kList = QStringLiteral("list");
const QString kFloat32H = QStringLiteral("float32H");
const QString kFloat32L = QStringLiteral("float32L");
const QString kUint32H = QStringLiteral("uint32H");
const QString kUint32L = QStringLiteral("uint32L");

// The thresholds are single-precision so that a map's "0.001" and "0.01" land on them.
int decimalsFor(float multiplier) {
    if (multiplier <= 0.001f) {
        return 3;
    }
    if (multiplier <= 0.01f) {
        return 2;
    }
    return 1;
}

// Truncation toward zero; a value that does not fit gives INT32_MIN, as the x86 conversion
// instruction does, instead of undefined behaviour.
int32_t truncateToInt32(float value) {
    if (!std::isfinite(value) || value >= 2147483648.0f || value < -2147483648.0f) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

QString integerText(float scaled) {
    const float truncated = std::trunc(scaled);
    if (!std::isfinite(truncated) || truncated < -32768.0f || truncated > 32767.0f) {
        return QStringLiteral("-32768");
    }
    return QString::number(static_cast<int16_t>(truncated));
}

QString lowWordText(float scaled, const QString &vis_type) {
    const auto low = static_cast<uint16_t>(static_cast<uint32_t>(truncateToInt32(scaled)));
    if (vis_type == kHex) {
        return QStringLiteral("0x") + QString::number(low, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    }
    if (vis_type == kBin) {
        return QString::number(low, 2);
    }
    return QString::number(low);
}

uint32_t pairBits(uint16_t lowWord, uint16_t highWord) {
    return (static_cast<uint32_t>(highWord) << 16) | lowWord;
}

// The last matching item wins; no match leaves the cell as it is.
CellUpdate listCell(const QVector<item_t *> &items, uint16_t word) {
    CellUpdate update;
    for (const item_t *item : items) {
        if (item->val == word) {
            update = {true, item->text};
        }
    }
    return update;
}

// The pair text for a high row whose partner's word is known. Only uint32 pairs set fvalue.
QString pairText(const QString &visType, uint16_t lowWord, uint16_t highWord, float *fvalue) {
    if (visType == kFloat32H) {
        return formatFloat32Pair(lowWord, highWord);
    }
    return formatUint32Pair(lowWord, highWord, fvalue);
}

bool isPairLow(const QString &visType) {
    return visType == kFloat32L || visType == kUint32L;
}

}  // namespace

FormattedValue formatValue(uint16_t raw, float multiplier, const QString &vis_type) {
    FormattedValue result;
    if (vis_type == kFloat || vis_type == kUfloat) {
        const float base = vis_type == kFloat ? static_cast<int16_t>(raw) : raw;
        result.scaled = base * multiplier;
        result.text = QString::number(static_cast<double>(result.scaled), 'f', decimalsFor(multiplier));
    } else if (vis_type == kInteger) {
        result.scaled = static_cast<int16_t>(raw) * multiplier;
        result.text = integerText(result.scaled);
    } else {
        result.scaled = raw * multiplier;
        result.text = lowWordText(result.scaled, vis_type);
    }
    return result;
}

QString formatFloat32Pair(uint16_t lowWord, uint16_t highWord) {
    const uint32_t bits = pairBits(lowWord, highWord);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return QString::number(static_cast<double>(value), 'f', 3);
}

QString formatUint32Pair(uint16_t lowWord, uint16_t highWord, float *asFloat) {
    const auto value = static_cast<float>(static_cast<int32_t>(pairBits(lowWord, highWord)));
    if (asFloat) {
        *asFloat = value;
    }
    return QString::number(static_cast<double>(value), 'g', 6);
}

bool isPairHigh(const QString &visType, const QString &nextVisType) {
    return (visType == kFloat32H && nextVisType == kFloat32L) ||
           (visType == kUint32H && nextVisType == kUint32L);
}

Steps stepsFor(const QString &visType) {
    const bool decimals =
        visType == kFloat || visType == kUfloat || visType == kFloat32H || visType == kFloat32L;
    return decimals ? Steps::Rounded : Steps::WholeOnly;
}

EditResult editTextToWord(const QString &text, int32_t min, int32_t max, float multiplier, uint16_t *word,
                          Steps steps) {
    bool ok = false;
    const double typed = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(typed)) {
        return EditResult::NotANumber;
    }
    if (typed < min || typed > max) {
        return EditResult::OutOfRange;
    }
    // Single precision on purpose: -0.05 / 0.1 must come out as exactly -0.5 and round to -1.
    const float inSteps = static_cast<float>(typed) / multiplier;
    const float rounded = std::round(inSteps);
    // A thousandth of a step is single precision's noise (12.5 / 0.1f), not a typed fraction.
    if (steps == Steps::WholeOnly && std::isfinite(inSteps) && std::fabs(inSteps - rounded) > 0.001f) {
        return EditResult::NotAStep;
    }
    if (!std::isfinite(rounded) || rounded >= 2147483648.0f || rounded < -2147483648.0f) {
        return EditResult::NotRepresentable;
    }
    *word = static_cast<uint16_t>(static_cast<uint32_t>(static_cast<int32_t>(rounded)));
    return EditResult::Ok;
}

EditDecision decideEdit(const holding_t &record, const QString &text) {
    EditDecision decision;
    decision.result = editTextToWord(text, record.min, record.max, record.multiplier, &decision.word,
                                     stepsFor(record.vis_type));
    if (decision.result == EditResult::Ok) {
        return decision;
    }
    const QString name = record.text.isEmpty()
                             ? QCoreApplication::translate("presentation", "register %1").arg(record.add)
                             : record.text;
    const QString range = QCoreApplication::translate("presentation", "%1 to %2 %3")
                              .arg(record.min)
                              .arg(record.max)
                              .arg(shownUnit(record.unit))
                              .trimmed();
    const QString typed = text.trimmed();
    switch (decision.result) {
        case EditResult::NotANumber:
            decision.rejection =
                QCoreApplication::translate("presentation",
                                            "%1 not written: \"%2\" is not a number (accepted range %3)")
                    .arg(name, typed, range);
            break;
        case EditResult::OutOfRange:
            decision.rejection = QCoreApplication::translate(
                                     "presentation", "%1 not written: %2 is outside the accepted range %3")
                                     .arg(name, typed, range);
            break;
        case EditResult::NotAStep:
            decision.rejection =
                record.multiplier == 1.0f
                    ? QStringLiteral(
                          "%1 not written: %2 is not a whole number, and the register holds whole numbers")
                          .arg(name, typed)
                    : QStringLiteral("%1 not written: %2 is not a whole number of the register's steps of %3")
                          .arg(name, typed, shortestFloatText(record.multiplier));
            break;
        default:
            decision.rejection =
                QCoreApplication::translate("presentation",
                                            "%1 not written: %2 cannot be sent with the multiplier %3")
                    .arg(name, typed, QString::number(double(record.multiplier)));
            break;
    }
    return decision;
}

QVector<CellUpdate> applyInputWords(const QVector<input_reg_t *> &regs, const QVector<uint16_t> &words,
                                    QString *dataLogLine) {
    const int count = std::min(regs.size(), words.size());
    QVector<CellUpdate> updates(count);
    for (int i = 0; i < count; ++i) {
        input_reg_t *reg = regs[i];
        reg->raw = words[i];
        CellUpdate &update = updates[i];
        if (reg->vis_type == kList) {
            update = listCell(reg->items, words[i]);
            continue;
        }
        if (isPairLow(reg->vis_type)) {
            update = {true, QString()};
            continue;
        }
        if (reg->vis_type == kFloat32H || reg->vis_type == kUint32H) {
            const bool paired = i + 1 < count && isPairHigh(reg->vis_type, regs[i + 1]->vis_type);
            if (!paired) {
                continue;
            }
            regs[i + 1]->raw = words[i + 1];
            update = {true, pairText(reg->vis_type, words[i], words[i + 1], &reg->fvalue)};
        } else {
            const FormattedValue formatted = formatValue(words[i], reg->multiplier, reg->vis_type);
            reg->fvalue = formatted.scaled;
            update = {true, formatted.text};
        }
        if (dataLogLine) {
            *dataLogLine += QLatin1Char(';') + update.text;
        }
    }
    return updates;
}

QVector<CellUpdate> applyHoldingWords(const QVector<holding_t *> &holdings, const QVector<uint16_t> &words) {
    if (holdings.size() != words.size()) {
        return {};
    }
    QVector<CellUpdate> updates(holdings.size());
    for (int i = 0; i < holdings.size(); ++i) {
        holding_t *holding = holdings[i];
        holding->value = words[i];
        if (holding->vis_type == kList) {
            continue;
        }
        const FormattedValue formatted = formatValue(words[i], holding->multiplier, holding->vis_type);
        holding->fvalue = formatted.scaled;
        updates[i] = {true, formatted.text};
    }
    return updates;
}

QVector<CellUpdate> applyAuxWords(const QVector<holding_t *> &aux, int startIndex,
                                  const QVector<uint16_t> &words) {
    QVector<CellUpdate> updates;
    if (startIndex < 0) {
        qDebug() << "error! i=" << startIndex << " auxholdings.size()= " << aux.size();
        return updates;
    }
    const int end = startIndex + words.size();
    int j = startIndex;
    for (; j < end && j < aux.size(); ++j) {
        holding_t *record = aux[j];
        const uint16_t word = words[j - startIndex];
        record->value = word;
        CellUpdate update;
        if (isPairLow(record->vis_type)) {
            update = {true, QString()};
        } else if (record->vis_type == kFloat32H || record->vis_type == kUint32H) {
            const bool paired =
                j + 1 < end && j + 1 < aux.size() && isPairHigh(record->vis_type, aux[j + 1]->vis_type);
            if (paired) {
                const uint16_t highWord = words[j + 1 - startIndex];
                aux[j + 1]->value = highWord;
                update = {true, pairText(record->vis_type, word, highWord, &record->fvalue)};
            }
        } else {
            const FormattedValue formatted = formatValue(word, record->multiplier, record->vis_type);
            record->fvalue = formatted.scaled;
            update = {true, formatted.text};
        }
        updates.append(update);
    }
    if (j < end) {
        qDebug() << "error! i=" << j << " auxholdings.size()= " << aux.size();
    }
    return updates;
}

int listIndexForWord(const QVector<item_t *> &items, uint16_t word) {
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->val == word) {
            return i;
        }
    }
    return -1;
}

bool isHiddenInputRow(const input_reg_t &reg) {
    return isPairLow(reg.vis_type);
}

QString shownUnit(const QString &unit) {
    return unit == QLatin1String("adim") ? QString() : unit;
}

}  // namespace presentation
