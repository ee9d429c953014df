#pragma once

#include <QHash>
#include <QModbusPdu>
#include <QVector>
#include <optional>

#include "driveprofile.h"

// The drive's side of the access levels: the level each holding needs (its map `level`), the
// level granted so far, and the refusal of writes that need more.
//
// A refused write is answered with exception 1, illegal function. The Modbus application
// protocol gives that code to a server "in the wrong state to process a request of this
// type", which is what a write below the needed level is: the same request is carried out
// once the level is granted. It also keeps the refusal apart from exception 2 (no such
// register) and 3 (a value the drive does not take, as with firmware frames of another model).
class AccessLevels {
  public:
    static constexpr quint8 kRefusalException = QModbusPdu::IllegalFunction;
    static constexpr int kHighestLevel = 3;

    AccessLevels(const QVector<HoldingDefault> &holdings, int powerUpLevel);

    int granted() const { return m_granted; }
    int powerUpLevel() const { return m_powerUpLevel; }
    void grant(int level) { m_granted = level; }

    // The exception for a register write that needs more than the granted level.
    std::optional<quint8> refusal(const QModbusPdu &request) const;

  private:
    QHash<int, int> m_needed;  // holding address -> level
    int m_powerUpLevel;
    int m_granted;
};
