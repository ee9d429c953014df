#include "views/timegraphpanel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "views/ramparamtable.h"

TimeGraphPanel::TimeGraphPanel(QWidget *parent)
    : QWidget(parent),
      m_plotLayout(new QVBoxLayout()),
      m_controlRow(new QHBoxLayout()),
      m_ramParams(new RamParamTable(this)),
      m_stop(newCommandButton(QStringLiteral("Stop"), QStringLiteral("btnStop"))),
      m_reset(newCommandButton(QStringLiteral("Reset"), QStringLiteral("btnReset"))),
      m_test(newCommandButton(QStringLiteral("Test"), QStringLiteral("btnTest"))) {
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_plotLayout, 1);
    layout->addLayout(m_controlRow);

    auto *buttons = new QVBoxLayout();
    buttons->addWidget(m_stop);
    buttons->addWidget(m_reset);
    buttons->addWidget(m_test);
    m_controlRow->addWidget(m_ramParams);
    m_controlRow->addLayout(buttons);
    m_controlRow->addStretch(1);
}

QPushButton *TimeGraphPanel::newCommandButton(const QString &text, const QString &objectName) {
    auto *button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setStyleSheet(QStringLiteral("font: bold;font-size: 24px;height: 48px;width: 100px;"));
    return button;
}
