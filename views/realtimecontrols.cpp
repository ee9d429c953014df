#include "views/realtimecontrols.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// The fields show five digits and a sign; longer values scroll inside them.
const char *const kWidestShownField = "-99999";
constexpr int kFieldPadding = 12;
constexpr int kPowerFontPixels = 16;
// The widest reading the labels keep room for, so that the row does not jump as values change.
const char *const kWidestPower = "Q = -99999.9 VAr";

}  // namespace

RealtimeControls::RealtimeControls(QWidget *parent)
    : QWidget(parent),
      m_timeMin(newField(realtimeaxes::kInitialTimeMin)),
      m_timeMax(newField(realtimeaxes::kInitialTimeMax)),
      m_power(new QWidget(this)),
      m_p(newPowerLabel(QStringLiteral("P = 0.0 W"))),
      m_q(newPowerLabel(QStringLiteral("Q = 0.0 VAr"))),
      m_s(newPowerLabel(QStringLiteral("S = 0.0 VA"))) {
    auto *grid = new QGridLayout();
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    auto *legend = new QLabel(tr("Auto scale"), this);
    legend->setObjectName(QStringLiteral("labAutoScale"));
    legend->setToolTip(tr("Checked: the axis scales itself to what is shown"));
    grid->addWidget(legend, 0, 0);
    grid->addWidget(new QLabel(tr("min"), this), 0, 1, Qt::AlignCenter);
    grid->addWidget(new QLabel(tr("max"), this), 0, 2, Qt::AlignCenter);
    addRow(grid, 1, new QLabel(tr("Time"), this), m_timeMin, m_timeMax);
    for (const realtimeaxes::AxisSpec &spec : realtimeaxes::axes()) {
        AxisRow row;
        const QString rowTitle =
            QCoreApplication::translate("realtimeaxes", spec.rowTitle.toUtf8().constData());
        row.automatic = new QCheckBox(rowTitle, this);
        row.automatic->setChecked(true);
        row.automatic->setToolTip(tr("Automatic scale of the %1 axis. Clear it to fix the axis to min..max")
                                      .arg(rowTitle.toLower()));
        row.min = newField(spec.initialMin);
        row.max = newField(spec.initialMax);
        addRow(grid, m_rows.size() + 2, row.automatic, row.min, row.max);
        connect(row.automatic, &QCheckBox::stateChanged, this, [this] {
            updateFieldStates();
            emit scaleChanged();
        });
        m_rows.append(row);
    }

    auto *powerColumn = new QVBoxLayout(m_power);
    powerColumn->setContentsMargins(0, 0, 0, 0);
    powerColumn->addWidget(m_p);
    powerColumn->addWidget(m_q);
    powerColumn->addWidget(m_s);
    powerColumn->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(grid);
    layout->addSpacing(10);
    layout->addWidget(m_power);
    layout->addStretch(1);
    updateFieldStates();
}

QLineEdit *RealtimeControls::newField(int initial) {
    auto *field = new QLineEdit(QString::number(initial), this);
    field->setValidator(new QIntValidator(realtimeaxes::kFieldMinimum, realtimeaxes::kFieldMaximum, field));
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QLatin1String(kWidestShownField)) +
                         kFieldPadding);
    connect(field, &QLineEdit::editingFinished, this, &RealtimeControls::scaleChanged);
    return field;
}

QLabel *RealtimeControls::newPowerLabel(const QString &text) {
    auto *label = new QLabel(text, m_power);
    QFont big = label->font();
    big.setBold(true);
    big.setPixelSize(kPowerFontPixels);
    label->setFont(big);
    label->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QLatin1String(kWidestPower)));
    return label;
}

void RealtimeControls::addRow(QGridLayout *grid, int row, QWidget *title, QLineEdit *min, QLineEdit *max) {
    grid->addWidget(title, row, 0);
    grid->addWidget(min, row, 1);
    grid->addWidget(max, row, 2);
}

void RealtimeControls::updateFieldStates() {
    for (const AxisRow &row : qAsConst(m_rows)) {
        const bool fixed = !row.automatic->isChecked();
        row.min->setEnabled(fixed);
        row.max->setEnabled(fixed);
    }
}

int RealtimeControls::timeMin() const {
    return realtimeaxes::fieldValue(m_timeMin->text());
}

int RealtimeControls::timeMax() const {
    return realtimeaxes::fieldValue(m_timeMax->text());
}

bool RealtimeControls::isAutomatic(int axis) const {
    return m_rows.at(axis).automatic->isChecked();
}

realtimeaxes::Range RealtimeControls::fixedRange(int axis) const {
    const AxisRow &row = m_rows.at(axis);
    return realtimeaxes::fixedRange(realtimeaxes::fieldValue(row.min->text()),
                                    realtimeaxes::fieldValue(row.max->text()));
}

void RealtimeControls::showPower(const power::PowerValues &values) {
    m_p->setText(power::activeText(values.p));
    m_q->setText(power::reactiveText(values.q));
    m_s->setText(power::apparentText(values.s));
}

void RealtimeControls::resetPower() {
    showPower(power::PowerValues{});
}
