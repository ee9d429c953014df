#include "comm/requestqueue.h"

#include <QCoreApplication>
#include <algorithm>

#include "comm/pdubuilder.h"

QString RequestQueue::Dropped::describe() const {
    const QString writesText =
        writes == 1 ? QCoreApplication::translate("RequestQueue", "1 pending write")
                    : QCoreApplication::translate("RequestQueue", "%1 pending writes").arg(writes);
    const QString recordsText =
        sendRecords == 1
            ? QCoreApplication::translate("RequestQueue", "1 parameter-file record")
            : QCoreApplication::translate("RequestQueue", "%1 parameter-file records").arg(sendRecords);
    if (sendRecords == 0) {
        return writesText;
    }
    if (writes == 0) {
        return recordsText;
    }
    return writesText + QCoreApplication::translate("RequestQueue", " and ") + recordsText;
}

quint64 RequestQueue::push(QueuedWrite write, Lane lane) {
    QQueue<QueuedWrite> &queue = lane == Lane::Priority ? m_priority : m_normal;
    const int capacity = lane == Lane::Priority ? kPriorityCapacity : kNormalCapacity;
    if (queue.size() >= capacity) {
        return 0;
    }
    write.ticket = m_nextTicket++;
    queue.enqueue(write);
    return write.ticket;
}

void RequestQueue::setSendList(const QVector<param_list_t> &records, int target, quint32 session) {
    m_sendList = records;
    m_sendTotal = records.size();
    m_sendTarget = target;
    m_sendSession = session;
}

bool RequestQueue::isEmpty() const {
    return m_priority.isEmpty() && m_normal.isEmpty() && m_sendList.isEmpty();
}

bool RequestQueue::hasPriorityWrite(quint32 session) const {
    return std::any_of(m_priority.cbegin(), m_priority.cend(),
                       [session](const QueuedWrite &write) { return write.session == session; });
}

bool RequestQueue::take(quint32 session, QueuedWrite *write) {
    return takeFrom(m_priority, session, write) || takeFrom(m_normal, session, write) ||
           takeSendRecord(session, write);
}

bool RequestQueue::takeFrom(QQueue<QueuedWrite> &lane, quint32 session, QueuedWrite *write) {
    while (!lane.isEmpty()) {
        const QueuedWrite next = lane.dequeue();
        if (next.session == session) {
            *write = next;
            return true;
        }
    }
    return false;
}

bool RequestQueue::takeSendRecord(quint32 session, QueuedWrite *write) {
    if (m_sendList.isEmpty()) {
        return false;
    }
    if (m_sendSession != session) {
        m_sendList.clear();
        return false;
    }
    const param_list_t record = m_sendList.takeFirst();
    QueuedWrite next;
    next.request = pdu::writeSingleRegister(record.add, record.value);
    next.target = m_sendTarget;
    next.session = session;
    next.ticket = m_nextTicket++;
    next.fromSendList = true;
    *write = next;
    return true;
}

RequestQueue::Dropped RequestQueue::clear() {
    Dropped dropped;
    dropped.writes = queuedWrites();
    dropped.sendRecords = m_sendList.size();
    m_priority.clear();
    m_normal.clear();
    m_sendList.clear();
    return dropped;
}
