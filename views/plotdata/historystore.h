#pragma once

#include <QVector>
#include <QtGlobal>
#include <deque>

// The sample history behind the time graph, for any number of channels sharing one time
// stamp per sample. Recent samples are kept at full resolution; every sample also goes into
// a few envelope levels (minimum and maximum per channel per time bucket, buckets of 1 s,
// 10 s, 100 s, 1000 s) that each keep a longer span, so memory is bounded however long the
// program runs and a window drawn at screen resolution still shows every peak.
namespace plotdata {

class HistoryStore {
  public:
    struct Level {
        qint64 bucketMs;
        qint64 keepMs;
    };
    struct Options {
        qint64 rawKeepMs = 3600 * 1000;  // full resolution for the last hour
        QVector<Level> levels = defaultLevels();
    };
    static QVector<Level> defaultLevels();

    // What drawing or exporting a time window needs: shared time stamps (ms since the epoch)
    // and one value series per channel. From an envelope level each bucket gives two points,
    // its minimum at the bucket's start and its maximum half a bucket later, and a bucket where
    // a channel had no value for a while a third point, three quarters in: NaN (a gap) in that
    // channel, the maximum again in the others.
    struct Slice {
        QVector<qint64> timesMs;
        QVector<QVector<double>> values;
        bool fullResolution = true;
    };

    // One channel at one moment: the sample at or before it, or the bucket holding it.
    struct Reading {
        bool found = false;
        qint64 atMs = 0;
        double min = 0.0;
        double max = 0.0;
        bool exact() const { return min == max; }
    };

    explicit HistoryStore(int channels);
    HistoryStore(int channels, Options options);

    int channelCount() const { return m_channels; }
    // One sample per channel (values.size() must be channelCount(); NaN for "no value").
    // A time before the newest is taken as the newest, so the history stays ordered.
    void append(qint64 ms, const QVector<double> &values);
    // A break in every curve, such as a communication outage.
    void appendGap(qint64 ms);
    void clear();

    bool isEmpty() const { return m_count == 0; }
    qint64 sampleCount() const { return m_count; }
    qint64 oldestMs() const;
    qint64 newestMs() const { return m_newestMs; }

    // The history over [fromMs, toMs] plus one point either side, at no finer resolution than
    // needed for `pixels` screen columns (0: the finest the history still holds).
    Slice slice(qint64 fromMs, qint64 toMs, int pixels) const;
    Reading readingAt(int channel, qint64 ms) const;

  private:
    struct Envelope {
        Level spec;
        std::deque<qint64> starts;
        std::deque<float> low;  // channels per bucket
        std::deque<float> high;
        std::deque<bool> gap;  // channels per bucket
    };
    // A span of one source (-1 = full resolution, else an envelope level).
    struct Segment {
        int source;
        qint64 fromMs;
        qint64 toMs;
    };

    void addToEnvelope(Envelope &level, qint64 ms, const QVector<double> &values);
    qint64 sourceOldest(int source) const;
    QVector<Segment> plan(qint64 fromMs, qint64 toMs, int pixels) const;
    void takeRaw(const Segment &segment, bool widenBefore, bool widenAfter, Slice *out) const;
    void takeEnvelope(const Segment &segment, bool widenBefore, bool widenAfter, Slice *out) const;
    void append(Slice *out, qint64 ms, qint64 limitMs, const float *values) const;

    int m_channels;
    Options m_options;
    std::deque<qint64> m_times;
    std::deque<float> m_values;  // channels per sample
    QVector<Envelope> m_levels;
    qint64 m_firstMs = 0;
    qint64 m_newestMs = 0;
    qint64 m_count = 0;
    bool m_rawTrimmed = false;  // older samples exist only in the envelope
};

}  // namespace plotdata
