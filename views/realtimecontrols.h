#pragma once

#include <QVector>
#include <QWidget>

#include "views/plotdata/powercalc.h"
#include "views/plotdata/realtimeaxes.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

// The controls under the realtime plot: the Time row and one row per value axis (check
// box = automatic scaling, else the min/max fields fix the axis), and the P, Q, S labels.
class RealtimeControls : public QWidget {
    Q_OBJECT
  public:
    explicit RealtimeControls(QWidget *parent = nullptr);

    int timeMin() const;
    int timeMax() const;
    bool isAutomatic(int axis) const;
    realtimeaxes::Range fixedRange(int axis) const;

    void showPower(const power::PowerValues &values);
    void resetPower();

    QLineEdit *timeMinEdit() const { return m_timeMin; }
    QLineEdit *timeMaxEdit() const { return m_timeMax; }
    QCheckBox *automaticBox(int axis) const { return m_rows.at(axis).automatic; }
    QLineEdit *minEdit(int axis) const { return m_rows.at(axis).min; }
    QLineEdit *maxEdit(int axis) const { return m_rows.at(axis).max; }
    // The P, Q, S labels together, beside the scale rows unless a panel places them elsewhere.
    QWidget *powerPanel() const { return m_power; }
    QLabel *activePowerLabel() const { return m_p; }
    QLabel *reactivePowerLabel() const { return m_q; }
    QLabel *apparentPowerLabel() const { return m_s; }

  signals:
    // A min/max field finished editing or a check box changed.
    void scaleChanged();

  private:
    struct AxisRow {
        QCheckBox *automatic = nullptr;
        QLineEdit *min = nullptr;
        QLineEdit *max = nullptr;
    };

    QLineEdit *newField(int initial);
    QLabel *newPowerLabel(const QString &text);
    void addRow(QGridLayout *grid, int row, QWidget *title, QLineEdit *min, QLineEdit *max);
    void updateFieldStates();

    QLineEdit *m_timeMin;
    QLineEdit *m_timeMax;
    QVector<AxisRow> m_rows;
    QWidget *m_power;
    QLabel *m_p;
    QLabel *m_q;
    QLabel *m_s;
};
