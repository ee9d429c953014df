#pragma once

#include <QModbusRequest>
#include <QQueue>
#include <QString>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"

enum class WriteKind { Single, Device, Multiple, Password };

// One write waiting for the line, with the drive and the line session it was asked for in.
struct QueuedWrite {
    QModbusRequest request;
    WriteKind kind = WriteKind::Single;
    int target = 1;       // server address (the device address for WriteKind::Device)
    quint32 session = 0;  // the open of the line it belongs to
    int level = 0;        // the access level asked for, for WriteKind::Password
    quint64 ticket = 0;   // given by the queue; the write's result carries it
    bool fromSendList = false;
};

// The writes waiting for the line. No I/O: the worker pushes what is asked for and takes what
// goes out next. Stop commands go in a lane of their own that overtakes every other write; a
// parameter-file send list waits behind the queued writes, one record at a time. A write never
// outlives its session: clear() runs on every change of line or drive, and take() drops any
// write of another session it still finds.
class RequestQueue {
  public:
    enum class Lane { Normal, Priority };
    static constexpr int kNormalCapacity = 256;
    static constexpr int kPriorityCapacity = 16;

    // What clear() threw away.
    struct Dropped {
        int writes = 0;
        int sendRecords = 0;
        bool isEmpty() const { return writes == 0 && sendRecords == 0; }
        // "2 pending writes and 15 parameter-file records"
        QString describe() const;
    };

    // The write's ticket, or 0 when its lane is full.
    quint64 push(QueuedWrite write, Lane lane = Lane::Normal);
    // Replaces the send list: each record becomes a single-register write to `target`.
    void setSendList(const QVector<param_list_t> &records, int target, quint32 session);

    bool isEmpty() const;
    // Whether a stop command of `session` waits. Those of an ended session do not count: take()
    // drops them, and an ordinary write must not go out in their place.
    bool hasPriorityWrite(quint32 session) const;
    int queuedWrites() const { return m_priority.size() + m_normal.size(); }
    int sendRemaining() const { return m_sendList.size(); }
    int sendTotal() const { return m_sendTotal; }

    // The next write of `session`: the priority lane, then the normal lane, then the send
    // list. False when none is left.
    bool take(quint32 session, QueuedWrite *write);
    Dropped clear();

  private:
    bool takeFrom(QQueue<QueuedWrite> &lane, quint32 session, QueuedWrite *write);
    bool takeSendRecord(quint32 session, QueuedWrite *write);

    QQueue<QueuedWrite> m_priority;
    QQueue<QueuedWrite> m_normal;
    QVector<param_list_t> m_sendList;
    int m_sendTarget = 1;
    quint32 m_sendSession = 0;
    int m_sendTotal = 0;
    quint64 m_nextTicket = 1;
};
