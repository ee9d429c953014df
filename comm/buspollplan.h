#pragma once

#include <QHash>
#include <QVector>

// Which request the line carries next when several drives on it are watched. The selected
// drive (the one in the address field) keeps its own poll cycle; the other drives of the poll
// list share the line time it leaves free in a round-robin overview read. No I/O: the worker
// asks and reports each exchange's outcome.
//
// Fast mode: one overview request after each request of the selected drive. Tick mode: overview
// requests only while the one expected to take longest still ends well before the next tick.
// Every listed drive's identification is read once, the selected drive's too (it is then left
// to its own cycle). A drive that fails kAbsentAfter times in a row is asked only once every
// kAbsentRetryRounds rounds, so an absent drive costs the others little line time; its first answer ends
// that.
class BusPollPlan {
  public:
    static constexpr int kAbsentAfter = 3;
    static constexpr int kAbsentRetryRounds = 8;
    // An overview request goes out in tick mode only when this much more than its expected time
    // is left before the next tick.
    static constexpr double kTickMarginMs = 3.0;
    static constexpr double kTickMarginFactor = 1.5;
    // Nor is an answer waited for less than this: a loaded machine or a gateway can take that long.
    static constexpr double kShortestTimeoutMs = 20.0;

    enum class Request {
        Selected,  // the selected drive's poll cycle (or a write)
        Identify,  // the identification holdings of a drive not yet identified
        Overview   // the overview input registers of a drive
    };
    struct Next {
        Request request = Request::Selected;
        int address = 0;
        // Tick mode: the longest the answer may take so that the next tick finds the line free.
        double timeoutMs = 0.0;
    };

    // Keeps the order, drops duplicates and addresses outside 1..247.
    void setPollList(const QVector<int> &addresses);
    QVector<int> pollList() const { return m_list; }
    void setSelected(int address);
    int selected() const { return m_selected; }
    // A listed drive besides the selected one.
    bool hasOverview() const;

    // The time an overview exchange takes on the line (request, answer, silences, the drive's
    // processing); 0 when the line's timing is unknown (a gateway). Measured times refine it.
    void setExpectedExchangeMs(double ms);
    double expectedExchangeMs() const { return m_expectedMs; }

    Next nextFast();
    // The overview request that fits in the time left before the next tick; address 0 when none.
    Next nextInFreeTime(double msUntilTick, double responseTimeoutMs);

    void recordAnswer(int address, double exchangeMs);
    void recordIdentified(int address) { m_drives[address].identified = true; }
    void recordFailure(int address);
    int failures(int address) const { return m_drives.value(address).failures; }
    bool isAbsent(int address) const { return m_drives.value(address).consecutive >= kAbsentAfter; }

  private:
    struct Drive {
        int failures = 0;
        int consecutive = 0;
        bool identified = false;
    };

    // The next overview drive in turn, or 0; advances the round-robin.
    int takeOverviewDrive();
    Next requestFor(int address) const;

    QVector<int> m_list;
    QHash<int, Drive> m_drives;
    int m_selected = 1;
    int m_cursor = 0;
    int m_round = 0;
    bool m_overviewTurn = false;
    double m_expectedMs = 0.0;
};
