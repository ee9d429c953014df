#include "comm/splitread.h"

#include <algorithm>

SplitRead::SplitRead(int start, int count) : m_start(start) {
    for (int offset = 0; offset < count; offset += kMaxRegistersPerRead) {
        m_parts.append({start + offset, std::min(kMaxRegistersPerRead, count - offset)});
    }
    m_words.resize(m_parts.size());
    m_missing = m_parts.size();
}

bool SplitRead::accept(int part, const QVector<uint16_t> &words) {
    if (part < 0 || part >= m_parts.size() || words.size() != m_parts.at(part).count) {
        m_failed = true;
        return false;
    }
    if (m_words[part].isEmpty()) {
        --m_missing;
    }
    m_words[part] = words;
    return true;
}

QVector<uint16_t> SplitRead::words() const {
    QVector<uint16_t> all;
    for (const QVector<uint16_t> &part : m_words) {
        all += part;
    }
    return all;
}
