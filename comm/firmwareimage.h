#pragma once

#include <QByteArray>
#include <cstdint>

// A firmware file held in memory and cut into 128-byte blocks, the last one padded with 0xFF.
class FirmwareImage {
  public:
    static constexpr int kBlockSize = 128;
    // Block numbers travel in 16 bits.
    static constexpr qint64 kMaxSize = qint64(65536) * kBlockSize;

    FirmwareImage() = default;
    explicit FirmwareImage(const QByteArray &bytes) : m_bytes(bytes) {}

    int size() const { return m_bytes.size(); }
    int blockCount() const { return (m_bytes.size() + kBlockSize - 1) / kBlockSize; }
    QByteArray block(int index) const;
    // Percentage shown after block `index` has been handed over (0 for the first block).
    float progressAfterBlock(int index) const;

  private:
    QByteArray m_bytes;
};
