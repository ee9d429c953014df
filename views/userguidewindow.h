#pragma once

#include <QWidget>

class QTextBrowser;

// The user guide, the README rendered as a document in a window of its own.
class UserGuideWindow : public QWidget {
    Q_OBJECT
  public:
    // A missing guide shows where it was looked for.
    UserGuideWindow(const QString &guidePath, const QStringList &searched, QWidget *parent = nullptr);

    QString text() const;

  private:
    QTextBrowser *m_browser;
};
