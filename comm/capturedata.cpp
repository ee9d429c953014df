#include "comm/capturedata.h"

#include <QDebug>
#include <QLoggingCategory>
#include <algorithm>

namespace {

// Off unless enabled (QT_LOGGING_RULES="mvx.capture.debug=true"): a capture logs 1536 samples.
Q_LOGGING_CATEGORY(lcCapture, "mvx.capture", QtInfoMsg)

QVector<double> indexSeries(int count) {
    QVector<double> series(count);
    for (int i = 0; i < count; ++i) {
        series[i] = i;
    }
    return series;
}

void addChannel(QVector<int> *channels, int channel) {
    if (!channels->contains(channel)) {
        channels->append(channel);
    }
}

}  // namespace

CaptureData::CaptureData()
    : m_bufferIndex(indexSeries(tracedecode::kBufferSamples)),
      m_accelerometerIndex(indexSeries(tracedecode::kAccelerometerSamples)) {
    for (int channel = 0; channel < tracedecode::kChannels; ++channel) {
        m_buffers[channel] = QVector<double>(tracedecode::kBufferSamples, 0.0);
        m_accelerometer[channel] = QVector<double>(tracedecode::kAccelerometerSamples, 0.0);
    }
}

CaptureData::Applied CaptureData::apply(int startReg, const QVector<uint16_t> &words) {
    Applied applied;
    applied.kind = tracedecode::kindOf(startReg);
    if (applied.kind == tracedecode::Kind::Buffer) {
        for (const tracedecode::Sample &s : tracedecode::decodeBufferReply(startReg, words)) {
            m_buffers[s.channel][s.index] = s.value;
            addChannel(&applied.channels, s.channel);
            qCDebug(lcCapture) << "startReg: " << s.index << "fl: " << s.value;
        }
    } else if (applied.kind == tracedecode::Kind::Accelerometer) {
        if (startReg < tracedecode::kAccelerometerBase + tracedecode::kBlockSize) {
            qCDebug(lcCapture) << "(startReg >= 0x4000)&&(startReg < 0x4400)";
        }
        for (const tracedecode::Sample &s : tracedecode::decodeAccelerometerReply(startReg, words)) {
            m_accelerometer[s.channel][s.index] = s.value;
            if (s.index < tracedecode::kBufferSamples) {
                m_buffers[s.channel][s.index] = s.value;
            }
            addChannel(&applied.channels, s.channel);
        }
    }
    std::sort(applied.channels.begin(), applied.channels.end());
    return applied;
}

QString CaptureData::clipboardText() const {
    QString text;
    text.reserve(tracedecode::kBufferSamples * 40);
    for (int k = 0; k < tracedecode::kBufferSamples; ++k) {
        text += QStringLiteral("%1;%2;%3;%4\r\n")
                    .arg(k)
                    .arg(m_buffers[0].at(k), 0, 'g', 6)
                    .arg(m_buffers[1].at(k), 0, 'g', 6)
                    .arg(m_buffers[2].at(k), 0, 'g', 6);
    }
    return text;
}
