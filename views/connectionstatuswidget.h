#pragma once

#include <QDateTime>
#include <QWidget>

class QLabel;
class QTimer;

// The status bar's permanent summary: port, line, address, connection state, age of the last
// reply and the access level the drive granted. The window feeds it; the reply age ticks on
// by itself once a second.
class ConnectionStatusWidget : public QWidget {
    Q_OBJECT
  public:
    explicit ConnectionStatusWidget(QWidget *parent = nullptr);

    void setLine(const QString &port, int speed, int framingIndex);
    void setAddress(int address);
    void setConnected(bool connected);
    // Between Connect and the worker's answer.
    void setConnecting();
    // While a lost line is tried again: "reconnecting (attempt n, next in s)".
    void setReconnecting(const QString &text);
    void setLastReply(const QDateTime &when);
    void setAccessLevel(int level);

    // The whole summary as one line, as shown.
    QString text() const;

  private:
    QLabel *addLabel(const QString &objectName);
    void showReplyAge();

    QLabel *m_port;
    QLabel *m_line;
    QLabel *m_address;
    QLabel *m_state;
    QLabel *m_reply;
    QLabel *m_level;
    QTimer *m_ageTimer;
    QDateTime m_lastReply;
};
