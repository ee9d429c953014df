#pragma once

#include <QDateTime>
#include <QTextBrowser>

// The "Information" log browser: status lines, the text progress line that is redrawn in
// place, and a context menu to select, copy and clear.
class LogArea : public QTextBrowser {
    Q_OBJECT
  public:
    explicit LogArea(QWidget *parent = nullptr);

    // "[dd/MM/yyyy - hh:mm:ss.zzz] text" with a timestamp, the text alone without.
    static QString statusLine(bool timestamp, const QString &text, const QDateTime &now);
    // "[" + 50 cells, '=' up to percent / 2 + "] %1%" with one decimal.
    static QString progressLine(float percent);

    void appendLine(const QString &line);
    // A new progress line (startNew) or the last line replaced by the new percentage.
    void showProgress(float percent, bool startNew);
    void setInteractionDisabled(bool disabled);

  public slots:
    void onRightButtonTestInfo(const QPoint &pos);

  private:
    void followNewestLine();
    void replaceLastBlock(const QString &line);

    bool m_following = true;
};
