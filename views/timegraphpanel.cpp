#include "views/timegraphpanel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "views/ramparamtable.h"

namespace {
constexpr int kRamParamsMinimumWidth = 170;
}  // namespace

TimeGraphPanel::TimeGraphPanel(QWidget *parent)
    : QWidget(parent),
      m_plotLayout(new QVBoxLayout()),
      m_controlRow(new QHBoxLayout()),
      m_commandColumn(new QVBoxLayout()),
      m_ramParams(new RamParamTable(this)),
      m_stop(newCommandButton(tr("Stop"), QStringLiteral("btnStop"))),
      m_reset(newCommandButton(tr("Reset"), QStringLiteral("btnReset"))),
      m_test(newCommandButton(tr("Test"), QStringLiteral("btnTest"))) {
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_plotLayout, 1);
    layout->addLayout(m_controlRow);

    m_commandColumn->addWidget(m_stop);
    m_commandColumn->addWidget(m_reset);
    m_commandColumn->addWidget(m_test);
    m_commandColumn->addStretch(1);
    // Narrower than its columns: it scrolls sideways rather than hold the graph wide.
    m_ramParams->setMinimumWidth(kRamParamsMinimumWidth);
    m_controlRow->addWidget(m_ramParams);
    m_controlRow->addLayout(m_commandColumn);
    m_controlRow->addStretch(1);
}

void TimeGraphPanel::placePowerPanel(QWidget *panel) {
    if (QWidget *holder = panel->parentWidget(); holder != nullptr && holder->layout() != nullptr) {
        holder->layout()->removeWidget(panel);
    }
    m_commandColumn->insertWidget(m_commandColumn->count() - 1, panel);
}

QPushButton *TimeGraphPanel::newCommandButton(const QString &text, const QString &objectName) {
    auto *button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setStyleSheet(QStringLiteral("font: bold;font-size: 16px;height: 32px;width: 64px;"));
    return button;
}
