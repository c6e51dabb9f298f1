// Axis dialog of the time plot: a custom range and, for the voltage axis, a
// custom unit display, Result = (Measured - Offset) * Multiplier.
//
// The plot must use the ACCEPTED unit settings only (acceptedUnitsOn() and
// friends, toDisplay(), toVolts(), displayRange()), never the live controls:
// Cancel puts the controls back to what they were when the dialog was opened,
// so the axis title and the plotted values always agree.
//
// Accepting with a checkable range group sets the autoscale button to the
// opposite of "Custom Range". The waveform panel's slot on that button
// overwrites its time range; it saves it on autoscaleAboutToChange() and
// restores it on autoscaleChanged().
#ifndef AXISCONFIG_H
#define AXISCONFIG_H

#include <QDialog>
#include <QPair>
#include <QString>

class QAbstractButton;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class nv9471fp_digitCtrl;

class axisConfig : public QDialog
{
    Q_OBJECT
public:
    // withUnits: the voltage axis (adds the unit group). mainWindow: gives the
    // icon. autoscaleButton: the frame's Autoscale switch (may be null).
    axisConfig(bool withUnits, QWidget *mainWindow, QAbstractButton *autoscaleButton,
               QWidget *parent = nullptr);

    // The panel's set-up of its two dialogs: voltage limits " V " -10.24..10.24
    // with a checkable range; time limits " sec " whose range is set per opening.
    void configureVoltageAxis();
    void configureTimeAxis();

    bool hasUnits() const { return withUnits; }

    // The unit settings of the last accepted OK (off, "", 0 V, 1 at first).
    bool acceptedUnitsOn() const { return accUnitsOn; }
    QString acceptedUnitName() const { return accName; }
    double acceptedOffset() const { return accOffset; }
    double acceptedMultiplier() const { return accMultiplier; }

    // Volts to the displayed unit and back, with the accepted settings
    // (identity while the accepted unit display is off).
    double toDisplay(double volts) const;
    double toVolts(double display) const;
    // Both ends converted and ordered, lower first: a negative multiplier
    // turns the axis over.
    QPair<double, double> displayRange(double lowerVolts, double upperVolts) const;
    QPair<double, double> voltsRange(double lowerDisplay, double upperDisplay) const;

    QGroupBox *rangeGroup;
    QDoubleSpinBox *lowerLimit;
    QDoubleSpinBox *upperLimit;
    QPushButton *maxButton;
    QGroupBox *unitGroup; // exists always; shown only with units
    QLineEdit *unitName;
    QDoubleSpinBox *offset;
    nv9471fp_digitCtrl *multiplier;
    QLabel *rangeLabel;
    QPushButton *okButton;
    QPushButton *cancelButton;

signals:
    void autoscaleAboutToChange();
    void autoscaleChanged();

public slots:
    void checkValuesAndAccept();
    void updateLimits();
    void setMaxSlot();
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct UnitControls {
        bool on = false;
        QString name;
        double offset = 0;
        double multiplier = 1;
    };
    UnitControls currentUnits() const;
    void applyUnits(const UnitControls &units);

    bool withUnits;
    QAbstractButton *autoscaleButton;
    UnitControls opened; // the controls when the dialog was last shown
    bool accUnitsOn = false;
    QString accName;
    double accOffset = 0;
    double accMultiplier = 1;
};

#endif
