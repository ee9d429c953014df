#include "views/plotdata/historystore.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <limits>

namespace plotdata {

namespace {

constexpr qint64 kDayMs = 24 * 3600 * 1000LL;
constexpr float kEmptyLow = std::numeric_limits<float>::infinity();
constexpr float kEmptyHigh = -std::numeric_limits<float>::infinity();
constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();

double shown(float value) {
    return std::isfinite(value) ? double(value) : qQNaN();
}

}  // namespace

QVector<HistoryStore::Level> HistoryStore::defaultLevels() {
    // Each level keeps ten times the span of the one before at a tenth of the resolution.
    return {{1000, 8 * kDayMs}, {10000, 80 * kDayMs}, {100000, 800 * kDayMs}, {1000000, 8000 * kDayMs}};
}

HistoryStore::HistoryStore(int channels) : HistoryStore(channels, Options()) {}

HistoryStore::HistoryStore(int channels, Options options) : m_channels(channels), m_options(options) {
    for (const Level &spec : qAsConst(m_options.levels)) {
        Envelope level;
        level.spec = spec;
        m_levels.append(level);
    }
}

void HistoryStore::clear() {
    *this = HistoryStore(m_channels, m_options);
}

qint64 HistoryStore::oldestMs() const {
    qint64 oldest = m_times.empty() ? m_newestMs : m_times.front();
    for (const Envelope &level : m_levels) {
        if (!level.starts.empty()) {
            oldest = std::min(oldest, level.starts.front());
        }
    }
    return std::max(oldest, m_firstMs);
}

void HistoryStore::append(qint64 ms, const QVector<double> &values) {
    Q_ASSERT(values.size() == m_channels);
    ms = m_count == 0 ? ms : std::max(ms, m_newestMs);
    m_firstMs = m_count == 0 ? ms : m_firstMs;
    m_newestMs = ms;
    ++m_count;
    m_times.push_back(ms);
    for (double value : values) {
        m_values.push_back(float(value));
    }
    while (m_times.front() < ms - m_options.rawKeepMs) {
        m_times.pop_front();
        m_rawTrimmed = true;
        m_values.erase(m_values.begin(), m_values.begin() + m_channels);
    }
    for (Envelope &level : m_levels) {
        addToEnvelope(level, ms, values);
    }
}

void HistoryStore::appendGap(qint64 ms) {
    append(ms, QVector<double>(m_channels, qQNaN()));
}

void HistoryStore::addToEnvelope(Envelope &level, qint64 ms, const QVector<double> &values) {
    const qint64 start = ms - ms % level.spec.bucketMs;
    if (level.starts.empty() || level.starts.back() != start) {
        level.starts.push_back(start);
        level.low.insert(level.low.end(), m_channels, kEmptyLow);
        level.high.insert(level.high.end(), m_channels, kEmptyHigh);
        level.gap.insert(level.gap.end(), m_channels, false);
    }
    const auto low = level.low.end() - m_channels;
    const auto high = level.high.end() - m_channels;
    const auto gap = level.gap.end() - m_channels;
    // A channel without a value breaks only its own curve: P, Q and S are NaN all along when
    // the map has no d/q registers, and the other curves must still be drawn whole.
    for (int c = 0; c < m_channels; ++c) {
        const float value = float(values.at(c));
        if (std::isnan(value)) {
            gap[c] = true;
        } else {
            low[c] = std::min(low[c], value);
            high[c] = std::max(high[c], value);
        }
    }
    while (level.starts.front() < ms - level.spec.keepMs) {
        level.starts.pop_front();
        level.gap.erase(level.gap.begin(), level.gap.begin() + m_channels);
        level.low.erase(level.low.begin(), level.low.begin() + m_channels);
        level.high.erase(level.high.begin(), level.high.begin() + m_channels);
    }
}

qint64 HistoryStore::sourceOldest(int source) const {
    if (source < 0) {
        return m_times.empty() ? std::numeric_limits<qint64>::max() : m_times.front();
    }
    // A bucket may start before the first sample; nothing is drawn from before it.
    const Envelope &level = m_levels.at(source);
    return level.starts.empty() ? std::numeric_limits<qint64>::max()
                                : std::max(level.starts.front(), m_firstMs);
}

// The coarsest source fine enough for the screen draws the window; where it no longer
// reaches back, the next coarser (which keeps longer) takes over.
QVector<HistoryStore::Segment> HistoryStore::plan(qint64 fromMs, qint64 toMs, int pixels) const {
    int chosen = -1;
    const double perPixelMs = pixels > 0 ? double(toMs - fromMs) / pixels : 0.0;
    // Full resolution as long as it covers the window with few enough samples to draw.
    const auto rawFrom = std::lower_bound(m_times.begin(), m_times.end(), fromMs);
    const auto rawTo = std::upper_bound(m_times.begin(), m_times.end(), toMs);
    const bool rawCovers = !m_times.empty() && (m_times.front() <= fromMs || !m_rawTrimmed);
    const bool rawSuffices = pixels <= 0 || (rawCovers && (rawTo - rawFrom) <= 2 * pixels);
    for (int i = 0; i < m_levels.size() && !rawSuffices; ++i) {
        if (double(m_levels.at(i).spec.bucketMs) <= perPixelMs) {
            chosen = i;
        }
    }
    QVector<Segment> segments;
    qint64 end = toMs;
    for (int source = chosen; source < m_levels.size() && end > fromMs; ++source) {
        // The first source always takes part, so that a window beside the data still gets
        // the neighbouring point.
        const qint64 begin = std::min(end, std::max(fromMs, sourceOldest(source)));
        if (begin < end || segments.isEmpty()) {
            segments.prepend({source, begin, end});
            end = begin;
        }
    }
    return segments;
}

HistoryStore::Slice HistoryStore::slice(qint64 fromMs, qint64 toMs, int pixels) const {
    Slice out;
    out.values.resize(m_channels);
    if (isEmpty() || toMs < fromMs) {
        return out;
    }
    const QVector<Segment> segments = plan(fromMs, toMs, pixels);
    for (int i = 0; i < segments.size(); ++i) {
        Segment segment = segments.at(i);
        const bool last = i + 1 == segments.size();
        if (!last) {
            segment.toMs -= 1;  // the next source starts there
        }
        if (segment.source < 0) {
            takeRaw(segment, i == 0, last, &out);
        } else {
            takeEnvelope(segment, i == 0, last, &out);
            out.fullResolution = false;
        }
    }
    return out;
}

void HistoryStore::append(Slice *out, qint64 ms, qint64 limitMs, const float *values) const {
    // Keys stay ordered where two sources meet.
    if (!out->timesMs.isEmpty()) {
        ms = std::max(ms, out->timesMs.last());
    }
    out->timesMs.append(std::min(ms, limitMs));
    for (int c = 0; c < m_channels; ++c) {
        out->values[c].append(values ? shown(values[c]) : qQNaN());
    }
}

void HistoryStore::takeRaw(const Segment &segment, bool widenBefore, bool widenAfter, Slice *out) const {
    size_t lo = size_t(std::lower_bound(m_times.begin(), m_times.end(), segment.fromMs) - m_times.begin());
    size_t hi = size_t(std::upper_bound(m_times.begin(), m_times.end(), segment.toMs) - m_times.begin());
    lo = widenBefore && lo > 0 ? lo - 1 : lo;
    hi = widenAfter && hi < m_times.size() ? hi + 1 : hi;
    const qint64 limit = widenAfter ? std::numeric_limits<qint64>::max() : segment.toMs;
    QVarLengthArray<float, 32> values(m_channels);
    for (size_t i = lo; i < hi; ++i) {
        std::copy_n(m_values.begin() + qptrdiff(i * size_t(m_channels)), m_channels, values.data());
        append(out, m_times.at(i), limit, values.constData());
    }
}

void HistoryStore::takeEnvelope(const Segment &segment, bool widenBefore, bool widenAfter, Slice *out) const {
    const Envelope &level = m_levels.at(segment.source);
    const auto &starts = level.starts;
    size_t lo = size_t(std::upper_bound(starts.begin(), starts.end(), segment.fromMs) - starts.begin());
    size_t hi = size_t(std::upper_bound(starts.begin(), starts.end(), segment.toMs) - starts.begin());
    lo = lo > 0 ? lo - 1 : lo;  // the bucket holding the window's start
    lo = widenBefore && lo > 0 ? lo - 1 : lo;
    hi = widenAfter && hi < starts.size() ? hi + 1 : hi;
    const qint64 limit = widenAfter ? std::numeric_limits<qint64>::max() : segment.toMs;
    const qint64 width = level.spec.bucketMs;
    QVarLengthArray<float, 32> low(m_channels);
    QVarLengthArray<float, 32> high(m_channels);
    for (size_t i = lo; i < hi; ++i) {
        const qptrdiff at = qptrdiff(i * size_t(m_channels));
        std::copy_n(level.low.begin() + at, m_channels, low.data());
        std::copy_n(level.high.begin() + at, m_channels, high.data());
        append(out, starts.at(i), limit, low.constData());
        append(out, starts.at(i) + width / 2, limit, high.constData());
        bool anyGap = false;
        for (int c = 0; c < m_channels; ++c) {
            const bool gap = level.gap.at(size_t(at) + size_t(c));
            anyGap = anyGap || gap;
            high[c] = gap ? kNoValue : high[c];
        }
        if (anyGap) {
            append(out, starts.at(i) + width * 3 / 4, limit, high.constData());
        }
    }
}

HistoryStore::Reading HistoryStore::readingAt(int channel, qint64 ms) const {
    Reading reading;
    if (!m_times.empty() && ms >= m_times.front()) {
        const size_t i = size_t(std::upper_bound(m_times.begin(), m_times.end(), ms) - m_times.begin()) - 1;
        reading.found = true;
        reading.atMs = m_times.at(i);
        reading.min = reading.max = shown(m_values.at(i * size_t(m_channels) + size_t(channel)));
        return reading;
    }
    for (const Envelope &level : m_levels) {
        if (level.starts.empty() || ms < level.starts.front()) {
            continue;
        }
        const size_t i =
            size_t(std::upper_bound(level.starts.begin(), level.starts.end(), ms) - level.starts.begin()) - 1;
        const size_t at = i * size_t(m_channels) + size_t(channel);
        reading.found = true;
        reading.atMs = level.starts.at(i);
        reading.min = shown(level.low.at(at));
        reading.max = shown(level.high.at(at));
        return reading;
    }
    return reading;
}

}  // namespace plotdata
