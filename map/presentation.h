#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"

// How raw 16-bit register words become the texts shown in the tables (and the scaled values
// kept for plots and logs), and how a typed value becomes the word written to the drive.
// Everything here is pure apart from the descriptor fields the reception functions update,
// and may run on any thread.
namespace presentation {

struct FormattedValue {
    QString text;
    float scaled = 0.0f;
};

// One register by its vis_type: "float", "ufloat", "integer", "hex", "bin"; anything else is
// shown in decimal.
FormattedValue formatValue(uint16_t raw, float multiplier, const QString &vis_type);

// 32-bit pairs carry the low half in the first register.
QString formatFloat32Pair(uint16_t lowWord, uint16_t highWord);
QString formatUint32Pair(uint16_t lowWord, uint16_t highWord, float *asFloat = nullptr);
// True when a register of visType followed by one of nextVisType form a 32-bit pair.
bool isPairHigh(const QString &visType, const QString &nextVisType);

// NotRepresentable: within the limits, but value / multiplier is no register word (multiplier 0).
// NotAStep: a register shown in whole numbers, and value / multiplier is not whole.
enum class EditResult { Ok, NotANumber, OutOfRange, NotRepresentable, NotAStep };

// How a typed value between two of the register's steps is taken: rounded to the nearer
// (registers shown with decimals), or refused (registers shown in whole numbers, where
// "1450,7" was meant as something else than 1451).
enum class Steps { Rounded, WholeOnly };
Steps stepsFor(const QString &visType);

// Turns the text typed into a value cell into the word to write. min and max are inclusive
// and in displayed units; the word is value / multiplier rounded half away from zero, as a
// 16-bit two's-complement pattern. A decimal comma counts as a decimal point ("12,5" is 12.5):
// these fields have no thousands separators. *word is only written on Ok.
EditResult editTextToWord(const QString &text, int32_t min, int32_t max, float multiplier, uint16_t *word,
                          Steps steps = Steps::Rounded);

// The verdict on one edit of a holding, aux holding or RAM parameter cell: the word to write,
// or (nothing being written) the message that tells the user why.
struct EditDecision {
    EditResult result = EditResult::NotANumber;
    uint16_t word = 0;
    QString rejection;  // empty on Ok
};
EditDecision decideEdit(const holding_t &record, const QString &text);

// What a reception does to one value cell: set == false leaves the cell as it is.
struct CellUpdate {
    bool set = false;
    QString text;
};

// Stores an input-register poll reply (word i belongs to regs[i]) and returns one update per
// register that received a word. Appends ";" + text per logged value to *dataLogLine: list
// registers and the low rows of pairs contribute nothing.
QVector<CellUpdate> applyInputWords(const QVector<input_reg_t *> &regs, const QVector<uint16_t> &words,
                                    QString *dataLogLine = nullptr);

// Stores a full normal-holding reply. Used only when words.size() == holdings.size(); returns
// an empty vector otherwise. List rows come back with set == false: their combo box selects
// the entry itself (see listIndexForWord).
QVector<CellUpdate> applyHoldingWords(const QVector<holding_t *> &holdings, const QVector<uint16_t> &words);

// Stores an aux-holding reply whose first word belongs to aux[startIndex]. Element k of the
// result is for row startIndex + k; words beyond the end of the list are dropped (and logged).
QVector<CellUpdate> applyAuxWords(const QVector<holding_t *> &aux, int startIndex,
                                  const QVector<uint16_t> &words);

// Index of the first item whose val equals word, or -1.
int listIndexForWord(const QVector<item_t *> &items, uint16_t word);

// The low register of a pair has no row of its own in the input-register table.
bool isHiddenInputRow(const input_reg_t &reg);

// "adim" marks a dimensionless register and is not shown.
QString shownUnit(const QString &unit);

}  // namespace presentation
