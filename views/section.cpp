#include "views/section.h"

#include <QFrame>
#include <QGridLayout>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QToolButton>

namespace ui {

Section::Section(const QString &title, int animationDuration, QWidget *parent)
    : QWidget(parent),
      m_mainLayout(new QGridLayout(this)),
      m_toggleButton(new QToolButton(this)),
      m_headerLine(new QFrame(this)),
      m_toggleAnimation(new QParallelAnimationGroup(this)),
      m_contentArea(new QScrollArea(this)),
      m_animationDuration(animationDuration) {
    m_toggleButton->setStyleSheet(QStringLiteral("QToolButton {border: none;}"));
    m_toggleButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toggleButton->setArrowType(Qt::RightArrow);
    m_toggleButton->setText(title);
    m_toggleButton->setCheckable(true);
    m_toggleButton->setChecked(false);

    m_headerLine->setFrameShape(QFrame::HLine);
    m_headerLine->setFrameShadow(QFrame::Sunken);
    m_headerLine->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);

    m_contentArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_contentArea->setMaximumHeight(0);
    m_contentArea->setMinimumHeight(0);

    m_toggleAnimation->addAnimation(new QPropertyAnimation(this, "minimumHeight"));
    m_toggleAnimation->addAnimation(new QPropertyAnimation(this, "maximumHeight"));
    m_toggleAnimation->addAnimation(new QPropertyAnimation(m_contentArea, "maximumHeight"));

    m_mainLayout->setVerticalSpacing(0);
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_mainLayout->addWidget(m_toggleButton, 0, 0, 1, 1, Qt::AlignLeft);
    m_mainLayout->addWidget(m_headerLine, 0, 2, 1, 1);
    m_mainLayout->addWidget(m_contentArea, 1, 0, 1, 3);
    setLayout(m_mainLayout);

    connect(m_toggleButton, &QToolButton::toggled, this, &Section::toggle);
}

void Section::toggle(bool expanded) {
    m_toggleButton->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    m_toggleAnimation->setDirection(expanded ? QAbstractAnimation::Forward : QAbstractAnimation::Backward);
    m_toggleAnimation->start();
}

void Section::setContentLayout(QLayout *contentLayout) {
    delete m_contentArea->layout();
    m_contentArea->setLayout(contentLayout);
    const int collapsedHeight = sizeHint().height() - m_contentArea->maximumHeight();
    const int contentHeight = contentLayout->sizeHint().height();

    for (int i = 0; i < m_toggleAnimation->animationCount() - 1; ++i) {
        auto *animation = static_cast<QPropertyAnimation *>(m_toggleAnimation->animationAt(i));
        animation->setDuration(m_animationDuration);
        animation->setStartValue(collapsedHeight);
        animation->setEndValue(collapsedHeight + contentHeight);
    }
    auto *contentAnimation = static_cast<QPropertyAnimation *>(
        m_toggleAnimation->animationAt(m_toggleAnimation->animationCount() - 1));
    contentAnimation->setDuration(m_animationDuration);
    contentAnimation->setStartValue(0);
    contentAnimation->setEndValue(contentHeight);
}

}  // namespace ui
