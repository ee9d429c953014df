#include "motionmodel.h"

#include <QtMath>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPolePairs = 2.0;
constexpr double kRampSeconds = 5.0;
constexpr double kIdleSeconds = 2.0;
constexpr double kHoldSeconds = 5.0;
// Stopped, starting, running, braking: a state register follows them when its list has them all.
constexpr std::array<quint16, 4> kStatePhases{0, 1, 2, 3};
constexpr quint32 kHourCounterStart = 65530;  // crosses into the high word after a few seconds

bool isSigned(const QString &visType) {
    return visType == QLatin1String("float") || visType == QLatin1String("integer");
}

}  // namespace

MotionModel::Cycle MotionModel::Cycle::forAddress(int address) {
    constexpr int kSetpointSteps = 5;
    constexpr double kSetpointStep = 0.25;
    constexpr double kOffsetStepSeconds = 3.7;
    const int step = std::max(0, address - 1);
    Cycle cycle;
    cycle.setpointRpm = kSetpointRpm * (1.0 + kSetpointStep * (step % kSetpointSteps));
    cycle.offsetSeconds = std::fmod(step * kOffsetStepSeconds, kCycleSeconds);
    return cycle;
}

MotionModel::MotionModel(const DriveProfile &profile, quint32 seed)
    : m_profile(profile), m_random(seed), m_cycle(Cycle::forAddress(int(seed))) {
    for (int i = 0; i < profile.inputs.size(); ++i) {
        m_kinds.append(kindOf(i));
    }
}

int MotionModel::state(double sinceReset, const Cycle &cycle) {
    const double t = std::fmod(std::max(0.0, sinceReset) + cycle.offsetSeconds, kCycleSeconds);
    const double rampUpEnd = kIdleSeconds + kRampSeconds;
    const double holdEnd = rampUpEnd + kHoldSeconds;
    if (t < kIdleSeconds || t >= holdEnd + kRampSeconds) {
        return 0;
    }
    if (t < rampUpEnd) {
        return 1;
    }
    return t < holdEnd ? 2 : 3;
}

double MotionModel::speedRpm(double sinceReset, const Cycle &cycle) {
    const double setpoint = cycle.setpointRpm;
    const double t = std::fmod(std::max(0.0, sinceReset) + cycle.offsetSeconds, kCycleSeconds);
    const double rampUpEnd = kIdleSeconds + kRampSeconds;
    const double holdEnd = rampUpEnd + kHoldSeconds;
    const double rampDownEnd = holdEnd + kRampSeconds;
    if (t < kIdleSeconds || t >= rampDownEnd) {
        return 0.0;
    }
    if (t < rampUpEnd) {
        return setpoint * (t - kIdleSeconds) / kRampSeconds;
    }
    if (t < holdEnd) {
        return setpoint;
    }
    return setpoint * (rampDownEnd - t) / kRampSeconds;
}

MotionModel::Kind MotionModel::kindOfVoltage(const QString &name) {
    // Most "V" registers of a drive are the DC bus; analogue inputs and the output voltage
    // are told apart by their names.
    const QString lower = name.toLower();
    if (lower.contains(QLatin1String("ain")) || lower.contains(QLatin1String("analog"))) {
        return Kind::AnalogVoltage;
    }
    if (lower.contains(QLatin1String("out"))) {
        return Kind::OutputVoltage;
    }
    return Kind::Voltage;
}

MotionModel::Kind MotionModel::kindOfUnit(const InputChannel &channel) {
    const QString u = channel.unit.trimmed();
    if (u.compare(QLatin1String("rpm"), Qt::CaseInsensitive) == 0) {
        return Kind::Speed;
    }
    if (u == QLatin1String("A")) {
        return Kind::Current;
    }
    if (u == QLatin1String("V")) {
        return kindOfVoltage(channel.name);
    }
    if (u == QLatin1String("W")) {
        return Kind::Power;
    }
    if (u.endsWith(QLatin1String("C")) && u.size() == 2 &&
        (u.at(0) == QChar(0xBA) || u.at(0) == QChar(0xB0))) {
        return Kind::Temperature;  // "ºC" as the maps write it, or "°C"
    }
    if (u == QLatin1String("Hz")) {
        return Kind::Frequency;
    }
    if (u == QLatin1String("%")) {
        return Kind::Percent;
    }
    return Kind::Fixed;
}

MotionModel::Kind MotionModel::kindOf(int position) const {
    const InputChannel &channel = m_profile.inputs.at(position);
    if (position <= 1 || position == m_profile.flagsPosition || position == m_profile.accessLevelPosition) {
        return Kind::Fixed;
    }
    if (channel.visType == QLatin1String("list")) {
        const bool state = channel.name == QLatin1String("status") || channel.name == QLatin1String("state");
        const bool hasPhases = std::all_of(kStatePhases.begin(), kStatePhases.end(),
                                           [&](quint16 phase) { return channel.listValues.contains(phase); });
        return state && hasPhases ? Kind::State : Kind::List;
    }
    if (channel.visType == QLatin1String("float32L") || channel.visType == QLatin1String("uint32L")) {
        return Kind::PairLow;
    }
    const bool hasNext = position + 1 < m_profile.inputs.size();
    const QString nextType = hasNext ? m_profile.inputs.at(position + 1).visType : QString();
    if (channel.visType == QLatin1String("float32H") && nextType == QLatin1String("float32L")) {
        return Kind::Float32High;
    }
    if (channel.visType == QLatin1String("uint32H") && nextType == QLatin1String("uint32L")) {
        return Kind::Uint32High;
    }
    if (position == m_profile.powerId) {
        return Kind::Id;
    }
    if (position == m_profile.powerIq) {
        return Kind::Iq;
    }
    if (position == m_profile.powerVd) {
        return Kind::Vd;
    }
    if (position == m_profile.powerVq) {
        return Kind::Vq;
    }
    return kindOfUnit(channel);
}

double MotionModel::noise(double amplitude) {
    return (m_random.generateDouble() * 2.0 - 1.0) * amplitude;
}

std::optional<double> MotionModel::quantity(Kind kind, int position, double t) {
    const double speed = speedRpm(t, m_cycle);
    const double load = speed / m_cycle.setpointRpm;
    const double id = -1.5 * load;
    const double iq = 2.0 + 12.0 * load;
    const double vd = -30.0 * load;
    const double vq = 320.0 * load;
    switch (kind) {
        case Kind::Speed:
            return speed + (load > 0 ? noise(2.0) : 0.0);
        case Kind::Current:
            return iq + 0.6 * std::sin(2 * M_PI * t / 3.0 + position * 2 * M_PI / 3.0) + noise(0.15);
        case Kind::Voltage:
            return 540.0 - 6.0 * load + noise(2.0);
        case Kind::AnalogVoltage:
            return 5.0 + 4.0 * std::sin(2 * M_PI * t / 30.0 + position) + noise(0.02);
        case Kind::OutputVoltage:
            return 400.0 * load + noise(1.0);
        case Kind::Power:
            return 1.5 * (vd * id + vq * iq) + noise(20.0);
        case Kind::Temperature:
            return 25.0 + 2.0 * (position % 5) + 20.0 * (1.0 - std::exp(-t / 120.0)) +
                   1.5 * std::sin(2 * M_PI * t / 90.0);
        case Kind::Frequency:
            return speed / 60.0 * kPolePairs;
        case Kind::Percent:
            return 100.0 * load;
        case Kind::Id:
            return id + noise(0.05);
        case Kind::Iq:
            return iq + noise(0.1);
        case Kind::Vd:
            return vd + noise(0.5);
        case Kind::Vq:
            return vq + noise(1.0);
        default:
            return std::nullopt;
    }
}

quint16 MotionModel::toWord(double shown, const InputChannel &channel) {
    const double multiplier = channel.multiplier != 0.0f ? double(channel.multiplier) : 1.0;
    const double raw = std::round(shown / multiplier);
    if (isSigned(channel.visType)) {
        return quint16(qint16(qBound(-32768.0, raw, 32767.0)));
    }
    return quint16(qBound(0.0, raw, 65535.0));
}

void MotionModel::appendPair(QVector<Word> *out, int position, quint32 bits) {
    out->append({position, quint16(bits & 0xFFFF)});  // low half in the H register
    out->append({position + 1, quint16(bits >> 16)});
}

QVector<MotionModel::Word> MotionModel::sample(double sinceReset, double poweredSeconds) {
    QVector<Word> words;
    for (int i = 0; i < m_kinds.size(); ++i) {
        const Kind kind = m_kinds.at(i);
        const InputChannel &channel = m_profile.inputs.at(i);
        if (kind == Kind::State) {
            words.append({i, quint16(state(sinceReset, m_cycle))});
        } else if (kind == Kind::List) {
            words.append({i, channel.listWord.value_or(channel.initialWord)});
        } else if (kind == Kind::Float32High) {
            const Kind carried = kindOfUnit(channel);
            const float value =
                float(quantity(carried, i, sinceReset).value_or(100.0 + poweredSeconds / 36.0));
            quint32 bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            appendPair(&words, i, bits);
        } else if (kind == Kind::Uint32High) {
            appendPair(&words, i, kHourCounterStart + quint32(poweredSeconds));
        } else if (const auto shown = quantity(kind, i, sinceReset)) {
            words.append({i, toWord(*shown, channel)});
        }
    }
    return words;
}
