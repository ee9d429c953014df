#include "views/plotdata/otherdrives.h"

#include <QtNumeric>

#include "map/numbertext.h"
#include "map/presentation.h"

namespace plotdata {

namespace {

bool hasChannel(const input_reg_t &reg) {
    const QString &type = reg.vis_type;
    return type != QLatin1String("list") && !type.startsWith(QLatin1String("float32")) &&
           !type.startsWith(QLatin1String("uint32"));
}

}  // namespace

void OtherDrives::configure(const QVector<input_reg_t *> &inputs, const QVector<int> &positions,
                            const QVector<int> &pollList, int selected) {
    m_inputs = inputs;
    m_channels.clear();
    m_last.clear();
    for (const int address : pollList) {
        if (address == selected) {
            continue;
        }
        for (const int position : positions) {
            const input_reg_t *reg =
                position >= 0 && position < inputs.size() ? inputs.at(position) : nullptr;
            if (reg == nullptr || !hasChannel(*reg)) {
                continue;
            }
            const QString suffix = QStringLiteral(" @%1").arg(address);
            m_channels.append({address, position, reg->name + suffix, reg->text + suffix, reg->unit});
        }
    }
}

void OtherDrives::note(const OverviewReading &reading) {
    if (reading.words.size() != reading.positions.size()) {
        return;
    }
    for (int i = 0; i < reading.positions.size(); ++i) {
        const int position = reading.positions.at(i);
        if (position < 0 || position >= m_inputs.size() || !m_inputs.at(position)) {
            continue;
        }
        const input_reg_t &reg = *m_inputs.at(position);
        const presentation::FormattedValue value =
            presentation::formatValue(reading.words.at(i), reg.multiplier, reg.vis_type);
        m_last.insert(key(reading.address, position), double(value.scaled));
        m_lastText.insert(key(reading.address, position), value.text);
    }
}

QVector<double> OtherDrives::values() const {
    QVector<double> out;
    out.reserve(m_channels.size());
    for (const Channel &channel : m_channels) {
        out << m_last.value(key(channel.address, channel.position), qQNaN());
    }
    return out;
}

QString OtherDrives::nameEntries() const {
    QString line;
    for (const Channel &channel : m_channels) {
        line += QLatin1Char(';') + channel.name;
    }
    return line;
}

QString OtherDrives::unitEntries() const {
    QString line;
    for (const Channel &channel : m_channels) {
        line += QLatin1Char(';') + channel.unit;
    }
    return line;
}

QString OtherDrives::valueEntries() const {
    QString line;
    for (const Channel &channel : m_channels) {
        line += QLatin1Char(';') + m_lastText.value(key(channel.address, channel.position));
    }
    return line;
}

}  // namespace plotdata
