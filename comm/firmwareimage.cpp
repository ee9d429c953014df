#include "comm/firmwareimage.h"

QByteArray FirmwareImage::block(int index) const {
    QByteArray data = m_bytes.mid(index * kBlockSize, kBlockSize);
    data.append(QByteArray(kBlockSize - data.size(), char(0xFF)));
    return data;
}

float FirmwareImage::progressAfterBlock(int index) const {
    if (index <= 0 || blockCount() == 0) {
        return 0.0f;
    }
    return float(index + 1) / float(blockCount()) * 100.0f;
}
