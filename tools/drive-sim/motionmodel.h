#pragma once

#include <QPair>
#include <QRandomGenerator>
#include <QVector>
#include <optional>

#include "driveprofile.h"

// Values that move like a running motor: the speed ramps up to a setpoint, holds, ramps
// back to standstill and starts over; currents, voltages, power, frequency and
// temperatures follow it with some noise. Which quantity a register carries is guessed
// from its unit and presentation type; d/q registers are the ones the map names. A state
// register (a list named "status" or "state" with the choices 0 to 3) follows the cycle: 0 stopped, 1
// starting, 2 running, 3 braking. Each address of a simulated bus runs its own cycle: address 1 the plain
// one, the others a higher setpoint and a later start, so that drives compared side by side differ.
class MotionModel {
  public:
    struct Word {
        int position;
        quint16 value;
    };

    static constexpr double kSetpointRpm = 1500.0;
    static constexpr double kCycleSeconds = 20.0;

    // The cycle of the drive at `address`.
    struct Cycle {
        double setpointRpm = kSetpointRpm;
        double offsetSeconds = 0.0;
        static Cycle forAddress(int address);
    };

    explicit MotionModel(const DriveProfile &profile, quint32 seed = 1);

    // Words for every moving register, `sinceReset` seconds after the last reset command and
    // `poweredSeconds` after start-up (counters keep counting across resets). Registers with
    // fixed roles (version, model, capture status, access level) are never included.
    QVector<Word> sample(double sinceReset, double poweredSeconds);

    static double speedRpm(double sinceReset, const Cycle &cycle);
    // 0 stopped, 1 starting, 2 running, 3 braking.
    static int state(double sinceReset, const Cycle &cycle);

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
        PairLow,
        State
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
    Cycle m_cycle;
};
