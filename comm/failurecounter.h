#pragma once

// Counts failed reads and decides when lost contact is reported. "Quiet" is on while a run of
// consecutive failures has passed the limit; the next good reply ends it.
class FailureCounter {
  public:
    enum class Kind {
        Exception,      // the drive answered with an exception
        Other,          // time-out, bad frame, ... of an ordinary read
        SearchNoAnswer  // any error but an exception, of a search read
    };

    struct Outcome {
        bool countError = false;  // incErrorCnt
        bool limitRun = false;    // this failure is the one that passes the limit
    };

    int limit() const { return m_limit; }
    void setLimit(int limit) { m_limit = limit; }
    bool quiet() const { return m_quiet; }
    void setQuiet(bool quiet) { m_quiet = quiet; }
    int consecutive() const { return m_consecutive; }
    int errorCount() const { return m_errorCount; }
    void resetErrorCount() { m_errorCount = 0; }

    Outcome recordFailure(Kind kind);
    // A good reply; true when it ends a quiet period.
    bool recordSuccess();

  private:
    int m_limit = 5;
    int m_consecutive = 0;
    int m_errorCount = 0;
    bool m_quiet = true;
};
