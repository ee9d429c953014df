#pragma once

#include <QByteArray>
#include <QString>

// The drive's boot-loader side of firmware function 0x64: collects the blocks of the image
// being sent to the motor or the user controller. With an image directory the image
// received so far is kept in <dir>/motor.bin or <dir>/user.bin after every frame, so it can
// be compared byte for byte at any time.
class FirmwareReceiver {
  public:
    enum Controller { Motor = 0, User = 1 };

    struct Outcome {
        quint8 exceptionCode = 0;  // 0: accepted
        QString event;             // what happened, for the log; empty for plain blocks
    };

    FirmwareReceiver(const QString &imageDir, quint16 model);

    Outcome apply(const QByteArray &data);
    QByteArray image(Controller controller) const { return m_images[controller]; }
    static QString fileName(Controller controller);

  private:
    Outcome startImage(Controller controller, const char *what);
    Outcome storeBlock(Controller controller, const QByteArray &data);
    Outcome finish(Controller controller, const char *what);
    bool save(Controller controller, QString *error) const;
    Outcome saved(Controller controller, const QString &event) const;

    QString m_imageDir;
    quint16 m_model;
    Controller m_current = Motor;
    QByteArray m_images[2];
};
