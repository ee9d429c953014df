#pragma once

// Decides what a poll tick sends. No I/O: the worker tells it how the line stands and does
// what it says.
//
// The policy: one request at a time; the firmware sequence has the line to itself; a stop
// command goes first; other writes go out while the drive answers, but never more than
// kWritesBetweenReads in a row, so the measurements keep coming during a long parameter
// send; and after an exchange that got no answer, writes wait while the poll cycle's reads
// find out whether the drive is still there (the failure limit then trips within its count).
class PollScheduler {
  public:
    enum class Next {
        Wait,   // a request is on the line, or there is no line
        Write,  // the next queued write
        Cycle   // the poll state's own request
    };

    struct Line {
        bool busy = false;           // a request is in flight or no client exists
        bool flashing = false;       // the firmware sequence runs
        bool priorityWrite = false;  // a stop command waits
        bool write = false;          // another write waits
        bool answering = true;       // the last exchange got an answer
    };

    static constexpr int kWritesBetweenReads = 4;

    Next next(const Line &line);
    // The ordinary cycle after a write: the input read when more writes wait, so that the
    // drive's state is seen between them, else the holding read that shows what the drive took.
    static bool readInputsAfterWrite(bool deviceWrite, bool moreWrites);
    void reset() { m_writesInARow = 0; }

  private:
    int m_writesInARow = 0;
};
