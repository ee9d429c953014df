#pragma once

#include <QObject>

class QWidget;

// The keyboard trigger of the production test, for bench scanners and foot switches: an
// apostrophe or an exclamation mark arms it, and a Return or Enter while armed fires it
// (that key press is consumed; the arming keys pass on). It watches every key press aimed
// at the window or its children, wherever the focus is, but keys typed into a text field
// neither arm nor fire it, so that typing a value and pressing Return never starts a test.
// Any other key disarms it.
class KeyTrigger : public QObject {
    Q_OBJECT
  public:
    explicit KeyTrigger(QWidget *window);

    bool isArmed() const { return m_armed; }

  signals:
    void triggered();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    bool belongsToWindow(QObject *watched) const;

    QWidget *m_window;
    bool m_armed = false;
};
