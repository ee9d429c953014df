#pragma once

#include <QVector>
#include <cstdint>

// One logical register read carried by as many Modbus reads as needed (at most 125 registers
// each). The words are released only when every part has arrived with the expected count.
class SplitRead {
  public:
    static constexpr int kMaxRegistersPerRead = 125;

    struct Part {
        int start = 0;
        int count = 0;
    };

    SplitRead(int start, int count);

    int start() const { return m_start; }
    const QVector<Part> &parts() const { return m_parts; }
    // Stores the words of one part; false (and the read failed) when the count is wrong.
    bool accept(int part, const QVector<uint16_t> &words);
    void markFailed() { m_failed = true; }
    bool failed() const { return m_failed; }
    bool complete() const { return !m_failed && m_missing == 0; }
    // All words in register order; meaningful once complete().
    QVector<uint16_t> words() const;

  private:
    int m_start;
    QVector<Part> m_parts;
    QVector<QVector<uint16_t>> m_words;
    int m_missing;
    bool m_failed = false;
};
