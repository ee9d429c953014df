#include "app/datalog.h"

#include "app/logger.h"
#include "map/presentation.h"
#include "views/plotdata/otherdrives.h"

namespace {

// Whether register i contributes a value to a reply's line.
bool hasColumn(const QVector<input_reg_t *> &inputs, int i) {
    const QString &type = inputs[i]->vis_type;
    if (type == QLatin1String("list") || type == QLatin1String("float32L") ||
        type == QLatin1String("uint32L")) {
        return false;
    }
    if (type == QLatin1String("float32H") || type == QLatin1String("uint32H")) {
        return i + 1 < inputs.size() && presentation::isPairHigh(type, inputs[i + 1]->vis_type);
    }
    return true;
}

QString entry(const QString &text) {
    return QStringLiteral(";%1").arg(text);
}

}  // namespace

QString DataLog::nameHeader(const QVector<input_reg_t *> &inputs, const QVector<coil_t *> &bits) {
    QString line;
    for (int i = 0; i < inputs.size(); ++i) {
        if (hasColumn(inputs, i)) {
            line += entry(inputs[i]->name);
        }
    }
    for (const coil_t *bit : bits) {
        line += entry(bit->name);
    }
    return line;
}

QString DataLog::unitHeader(const QVector<input_reg_t *> &inputs, const QVector<coil_t *> &bits) {
    QString line;
    for (int i = 0; i < inputs.size(); ++i) {
        if (hasColumn(inputs, i)) {
            line += entry(inputs[i]->unit);
        }
    }
    for (int i = 0; i < bits.size(); ++i) {
        line += entry(QStringLiteral("bool"));
    }
    return line;
}

QString DataLog::bitStates(const QVector<coil_t *> &bits) {
    QString line;
    for (const coil_t *bit : bits) {
        line += entry(bit->state ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return line;
}

bool DataLog::start(const QString &dir, const QVector<input_reg_t *> &inputs, const QVector<coil_t *> &bits) {
    if (!m_file->startLog(dir, QStringLiteral("log"))) {
        return false;
    }
    m_otherNames.clear();
    m_otherColumns = 0;
    QString otherUnits;
    if (m_others != nullptr) {
        m_otherNames = m_others->nameEntries();
        m_otherColumns = m_others->channels().size();
        otherUnits = m_others->unitEntries();
    }
    const QString names = nameHeader(inputs, bits) + m_otherNames;
    m_columns = names.count(QLatin1Char(';'));
    m_file->writeLine(names);
    m_file->writeLine(unitHeader(inputs, bits) + otherUnits);
    return true;
}

void DataLog::writeGap() {
    m_file->writeLine(QString(m_columns, QLatin1Char(';')));
}

void DataLog::writeValues(const QString &inputValues, const QVector<coil_t *> &bits) {
    QString others;
    if (m_otherColumns > 0) {
        const bool sameColumns = m_others != nullptr && m_others->nameEntries() == m_otherNames;
        others = sameColumns ? m_others->valueEntries() : QString(m_otherColumns, QLatin1Char(';'));
    }
    m_file->writeLine(inputValues + bitStates(bits) + others);
}

void DataLog::finish() {
    m_file->finishLog();
}

bool DataLog::isOpen() const {
    return m_file->isOpen();
}
