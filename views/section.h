#pragma once

#include <QWidget>

class QFrame;
class QGridLayout;
class QLayout;
class QParallelAnimationGroup;
class QScrollArea;
class QToolButton;

namespace ui {

// A collapsible block: a title button with an arrow, a line beside it and an animated area
// below that holds the content. Starts collapsed.
class Section : public QWidget {
    Q_OBJECT
  public:
    explicit Section(const QString &title = QString(), int animationDuration = 300,
                     QWidget *parent = nullptr);

    // Replaces the content layout and recomputes the heights the animation runs between.
    void setContentLayout(QLayout *contentLayout);

    QToolButton *toggleButton() const { return m_toggleButton; }
    QScrollArea *contentArea() const { return m_contentArea; }
    int animationDuration() const { return m_animationDuration; }

  public slots:
    void toggle(bool expanded);

  private:
    QGridLayout *m_mainLayout;
    QToolButton *m_toggleButton;
    QFrame *m_headerLine;
    QParallelAnimationGroup *m_toggleAnimation;
    QScrollArea *m_contentArea;
    int m_animationDuration;
};

}  // namespace ui
