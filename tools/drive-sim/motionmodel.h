#pragma once

#include <QPair>
#include <QRandomGenerator>
#include <QVector>
#include <optional>

#include "driveprofile.h"

// Values that move like a running motor: the speed ramps up to a setpoint, holds, ramps
// back to standstill and starts over; currents, voltages, power, frequency and
// temperatures follow it with some noise. Which quantity a register carries is guessed
// from its unit and presentation type; d/q registers are the ones the map names.
class MotionModel {
  public:
    struct Word {
        int position;
        quint16 value;
    };

    static constexpr double kSetpointRpm = 1500.0;
    static constexpr double kCycleSeconds = 20.0;

    explicit MotionModel(const DriveProfile &profile, quint32 seed = 1);

    // Words for every moving register, `sinceReset` seconds after the last reset command and
    // `poweredSeconds` after start-up (counters keep counting across resets). Registers with
    // fixed roles (version, model, capture status, access level) are never included.
    QVector<Word> sample(double sinceReset, double poweredSeconds);

    static double speedRpm(double sinceReset);

  private:
    enum class Kind {
        Fixed,
        List,
        Speed,
        Current,
        Voltage,
        AnalogVoltage,
        OutputVoltage,
        Power,
        Temperature,
        Frequency,
        Percent,
        Id,
        Iq,
        Vd,
        Vq,
        Float32High,
        Uint32High,
        PairLow
    };

    Kind kindOf(int position) const;
    static Kind kindOfUnit(const InputChannel &channel);
    static Kind kindOfVoltage(const QString &name);
    std::optional<double> quantity(Kind kind, int position, double t);
    double noise(double amplitude);
    static quint16 toWord(double shown, const InputChannel &channel);
    static void appendPair(QVector<Word> *out, int position, quint32 bits);

    const DriveProfile &m_profile;
    QVector<Kind> m_kinds;
    QRandomGenerator m_random;
};
