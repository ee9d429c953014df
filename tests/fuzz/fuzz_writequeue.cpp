// The write queue and the poll scheduler driven as the worker drives them, by an arbitrary
// sequence of writes in both lanes, parameter-file send lists, ticks with the line busy, idle,
// answering or not, takes for this and other sessions, clears, reconnects and address changes.
// No write ever comes out for another drive or another session than it was queued for; the
// lanes keep their bounds; a stop command overtakes every other write; within a lane and in
// the send list, writes go out in the order they were asked for; and no more than a few
// ordinary writes go out between two poll reads.
#include <QVector>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "comm/pdubuilder.h"
#include "comm/pollscheduler.h"
#include "comm/requestqueue.h"
#include "fuzzsupport.h"

namespace {

struct Expected {
    quint64 ticket = 0;
    int target = 0;
    quint32 session = 0;
};

// What the worker would have in the queue, kept independently of it.
struct Model {
    std::deque<Expected> priority;
    std::deque<Expected> normal;
    std::deque<param_list_t> sendList;
    int sendTarget = 0;
    quint32 sendSession = 0;
    quint64 lastTicket = 0;

    // The first write of session in a lane, dropping those of other sessions before it.
    static bool takeFrom(std::deque<Expected> &lane, quint32 session, Expected *write) {
        while (!lane.empty()) {
            const Expected next = lane.front();
            lane.pop_front();
            if (next.session == session) {
                *write = next;
                return true;
            }
        }
        return false;
    }
    bool hasPriorityOf(quint32 session) const {
        for (const Expected &write : priority) {
            if (write.session == session) {
                return true;
            }
        }
        return false;
    }
};

class Driver {
  public:
    explicit Driver(FuzzedDataProvider &in) : m_in(in) {}

    void run() {
        while (m_in.remaining_bytes() > 0) {
            step();
            FUZZ_CHECK(
                m_queue.queuedWrites() <= RequestQueue::kNormalCapacity + RequestQueue::kPriorityCapacity,
                "the lanes stay within their bounds");
            FUZZ_CHECK(m_queue.queuedWrites() == int(m_model.priority.size() + m_model.normal.size()),
                       "every write pushed is queued until taken or cleared");
            FUZZ_CHECK(m_queue.sendRemaining() == int(m_model.sendList.size()), "send list as set");
        }
    }

  private:
    enum Op { PushNormal, PushPriority, SendList, Tick, TakeOther, Clear, Reconnect, Address, kOps };

    void step() {
        switch (m_in.ConsumeIntegralInRange<int>(0, kOps - 1)) {
            case PushNormal:
                push(RequestQueue::Lane::Normal, m_model.normal, RequestQueue::kNormalCapacity);
                break;
            case PushPriority:
                push(RequestQueue::Lane::Priority, m_model.priority, RequestQueue::kPriorityCapacity);
                break;
            case SendList:
                setSendList();
                break;
            case Tick:
                tick();
                break;
            case TakeOther:
                take(m_in.ConsumeIntegralInRange<quint32>(0, m_session + 1));
                break;
            case Clear:
                clear();
                break;
            case Reconnect:
                ++m_session;
                m_scheduler.reset();
                m_writesInARow = 0;
                if (m_in.ConsumeBool()) {
                    clear();
                }
                break;
            case Address:
                // The worker clears the queue on a new address; what is left goes where it was asked.
                m_address = m_in.ConsumeIntegralInRange(1, 247);
                if (m_in.ConsumeBool()) {
                    clear();
                }
                break;
        }
    }

    void push(RequestQueue::Lane lane, std::deque<Expected> &model, int capacity) {
        QueuedWrite write;
        write.request =
            pdu::writeSingleRegister(m_in.ConsumeIntegral<uint16_t>(), m_in.ConsumeIntegral<uint16_t>());
        write.target = m_address;
        // A write asked for just before a reconnect arrives with the session it was asked in.
        write.session = m_in.ConsumeBool() && m_session > 0 ? m_session - 1 : m_session;
        const quint64 ticket = m_queue.push(write, lane);
        if (int(model.size()) >= capacity) {
            FUZZ_CHECK(ticket == 0, "a full lane refuses a write");
            return;
        }
        FUZZ_CHECK(ticket > m_model.lastTicket, "tickets are new and increasing");
        m_model.lastTicket = ticket;
        model.push_back({ticket, write.target, write.session});
    }

    void setSendList() {
        QVector<param_list_t> records;
        for (int i = m_in.ConsumeIntegralInRange(0, 40); i > 0; --i) {
            param_list_t record;
            record.add = m_in.ConsumeIntegral<uint8_t>();
            record.value = m_in.ConsumeIntegral<uint16_t>();
            records << record;
        }
        m_queue.setSendList(records, m_address, m_session);
        m_model.sendList.assign(records.begin(), records.end());
        m_model.sendTarget = m_address;
        m_model.sendSession = m_session;
    }

    void tick() {
        PollScheduler::Line line;
        line.busy = m_in.ConsumeBool();
        line.flashing = m_in.ConsumeIntegralInRange(0, 7) == 0;
        line.priorityWrite = m_queue.hasPriorityWrite(m_session);
        line.write = !m_queue.isEmpty();
        line.answering = m_in.ConsumeIntegralInRange(0, 3) != 0;
        const PollScheduler::Next next = m_scheduler.next(line);
        if (line.busy) {
            FUZZ_CHECK(next == PollScheduler::Next::Wait, "nothing is sent while a request is on the line");
            return;
        }
        FUZZ_CHECK(next != PollScheduler::Next::Wait, "a free line is used");
        if (line.flashing) {
            FUZZ_CHECK(next == PollScheduler::Next::Cycle, "the firmware sequence has the line to itself");
            m_writesInARow = 0;
            return;
        }
        if (line.priorityWrite) {
            FUZZ_CHECK(next == PollScheduler::Next::Write, "a stop command goes first");
        }
        if (next != PollScheduler::Next::Write) {
            m_writesInARow = 0;
            return;
        }
        const bool onlyStops = !line.answering || m_writesInARow >= PollScheduler::kWritesBetweenReads;
        ++m_writesInARow;
        const Source source = take(m_session);
        FUZZ_CHECK(source == Source::Priority || source == Source::None || !onlyStops,
                   "only a stop command goes to a silent drive or past the reads' turn");
    }

    enum class Source { None, Priority, Normal, SendList };

    Source take(quint32 session) {
        const bool priorityWaits = m_model.hasPriorityOf(session);
        Expected expected;
        const bool fromPriority = Model::takeFrom(m_model.priority, session, &expected);
        const bool fromLane = fromPriority || Model::takeFrom(m_model.normal, session, &expected);
        const bool fromList = !fromLane && !m_model.sendList.empty() && m_model.sendSession == session;
        QueuedWrite write;
        const bool taken = m_queue.take(session, &write);
        FUZZ_CHECK(taken == (fromLane || fromList),
                   "a write comes out exactly when one of its session waits");
        if (!fromLane && m_model.sendSession != session) {
            m_model.sendList.clear();  // a send list of another session is dropped when reached
        }
        if (!taken) {
            return Source::None;
        }
        FUZZ_CHECK(write.session == session, "no write goes out in another session");
        if (fromLane) {
            FUZZ_CHECK(!write.fromSendList, "a queued write is not a send-list record");
            FUZZ_CHECK(write.ticket == expected.ticket,
                       "writes go out in the order asked, stop commands first");
            FUZZ_CHECK(write.target == expected.target, "a write goes to the drive it was queued for");
            return fromPriority ? Source::Priority : Source::Normal;
        }
        const param_list_t record = m_model.sendList.front();
        m_model.sendList.pop_front();
        FUZZ_CHECK(!priorityWaits, "a stop command overtakes the send list");
        FUZZ_CHECK(write.fromSendList, "the send list comes after the queued writes");
        FUZZ_CHECK(write.target == m_model.sendTarget, "a record goes to the drive the list was set for");
        const QModbusRequest request = pdu::writeSingleRegister(record.add, record.value);
        FUZZ_CHECK(
            write.request.functionCode() == request.functionCode() && write.request.data() == request.data(),
            "records go out in their order, each as its register and value");
        FUZZ_CHECK(write.ticket > m_model.lastTicket, "a record's ticket is new");
        m_model.lastTicket = write.ticket;
        return Source::SendList;
    }

    void clear() {
        const RequestQueue::Dropped dropped = m_queue.clear();
        FUZZ_CHECK(dropped.writes == int(m_model.priority.size() + m_model.normal.size()),
                   "clear counts the writes");
        FUZZ_CHECK(dropped.sendRecords == int(m_model.sendList.size()), "clear counts the records");
        FUZZ_CHECK(m_queue.isEmpty(), "nothing outlives a clear");
        m_model.priority.clear();
        m_model.normal.clear();
        m_model.sendList.clear();
    }

    FuzzedDataProvider &m_in;
    RequestQueue m_queue;
    PollScheduler m_scheduler;
    Model m_model;
    quint32 m_session = 1;
    int m_address = 1;
    int m_writesInARow = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    Driver(in).run();
    return 0;
}
