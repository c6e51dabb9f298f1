#include "axisConfig.h"

#include "nv9471fp_digitCtrl.h"
#include "plotHelpers.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using sfpPlots::setHelp;

axisConfig::axisConfig(bool withUnits, QWidget *mainWindow, QAbstractButton *autoscaleButton,
                       QWidget *parent)
    : QDialog(parent), withUnits(withUnits), autoscaleButton(autoscaleButton)
{
    const double s = logicalDpiX() / 96.0;
    setWindowTitle(QStringLiteral("Axis Configuration"));
    setModal(true);
    if (mainWindow)
        setWindowIcon(mainWindow->windowIcon());

    rangeGroup = new QGroupBox(QStringLiteral("Custom Range"), this);
    lowerLimit = new QDoubleSpinBox(rangeGroup);
    upperLimit = new QDoubleSpinBox(rangeGroup);
    maxButton = new QPushButton(QStringLiteral("Max"), rangeGroup);
    maxButton->setToolTip(QStringLiteral("Sets the maximum range."));
    auto *rangeRow = new QHBoxLayout(rangeGroup);
    rangeRow->addWidget(new QLabel(QStringLiteral("Lower Limit"), rangeGroup));
    rangeRow->addWidget(lowerLimit);
    rangeRow->addSpacing(int(10 * s));
    rangeRow->addWidget(new QLabel(QStringLiteral("Upper Limit"), rangeGroup));
    rangeRow->addWidget(upperLimit);
    rangeRow->addSpacing(int(10 * s));
    rangeRow->addWidget(maxButton);

    unitGroup = new QGroupBox(QStringLiteral("Custom Unit Display"), this);
    unitGroup->setCheckable(true);
    unitGroup->setChecked(false);
    unitGroup->setToolTip(QStringLiteral(
        "<html>Allows conversion from measured voltage to any arbitrary units. Linear "
        "conversion is assumed, therefore only the voltage offset and multiplication factor "
        "are required.</html>"));
    unitName = new QLineEdit(unitGroup);
    offset = new QDoubleSpinBox(unitGroup);
    offset->setSuffix(QStringLiteral(" V"));
    offset->setDecimals(9);
    offset->setRange(-10.24, 10.24);
    offset->setSingleStep(0.001);
    offset->setValue(0);
    offset->setToolTip(QStringLiteral("The offset voltage value is subtracted from the measured "
                                      "values.<br><b>Result = (Measured-Offset)*Multiplier</b>"
                                      "</hmtl>"));
    multiplier = new nv9471fp_digitCtrl(-1e12, 1e12, 1e-12, QStringLiteral("%g"), unitGroup);
    multiplier->setMinimumWidth(int(120 * s));
    multiplier->setValue(1.0);
    multiplier->setToolTip(
        QStringLiteral("<html>{unit}/V<br><b>Result = (Measured-Offset)*Multiplier</b></hmtl>"));
    rangeLabel = new QLabel(unitGroup);
    QFont bold = rangeLabel->font();
    bold.setBold(true);
    rangeLabel->setFont(bold);
    rangeLabel->hide();
    auto *unitGrid = new QGridLayout(unitGroup);
    unitGrid->addWidget(new QLabel(QStringLiteral("Unit Name"), unitGroup), 0, 0);
    unitGrid->addWidget(unitName, 0, 1, 1, 4);
    unitGrid->addWidget(new QLabel(QStringLiteral("Offset"), unitGroup), 1, 0);
    unitGrid->addWidget(offset, 1, 1);
    unitGrid->setColumnMinimumWidth(2, int(10 * s));
    unitGrid->addWidget(new QLabel(QStringLiteral("Multiplier"), unitGroup), 1, 3);
    unitGrid->addWidget(multiplier, 1, 4);
    unitGrid->addWidget(rangeLabel, 2, 0, 1, 5);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(okButton);
    buttonRow->addWidget(cancelButton);

    auto *top = new QVBoxLayout(this);
    top->addWidget(rangeGroup);
    if (withUnits)
        top->addWidget(unitGroup);
    else
        unitGroup->hide();
    top->addLayout(buttonRow);

    connect(okButton, &QPushButton::clicked, this, &axisConfig::checkValuesAndAccept);
    connect(cancelButton, &QPushButton::clicked, this, &axisConfig::reject);
    connect(maxButton, &QPushButton::clicked, this, &axisConfig::setMaxSlot);
    connect(unitName, &QLineEdit::textChanged, this, &axisConfig::updateLimits);
    for (QDoubleSpinBox *box : {lowerLimit, upperLimit, offset})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &axisConfig::updateLimits);
    connect(multiplier, QOverload<double>::of(&nv9471fp_digitCtrl::valueChanged), this,
            &axisConfig::updateLimits);
    connect(unitGroup, &QGroupBox::toggled, this, &axisConfig::updateLimits);
    updateLimits();
}

void axisConfig::configureVoltageAxis()
{
    for (QDoubleSpinBox *box : {lowerLimit, upperLimit}) {
        box->setSuffix(QStringLiteral(" V "));
        box->setDecimals(9);
        box->setRange(-10.24, 10.24);
        box->setSingleStep(0.001);
    }
    lowerLimit->setValue(-10.24);
    upperLimit->setValue(10.24);
    rangeGroup->setCheckable(true);
}

void axisConfig::configureTimeAxis()
{
    for (QDoubleSpinBox *box : {lowerLimit, upperLimit}) {
        box->setSuffix(QStringLiteral(" sec "));
        box->setDecimals(6);
        box->setRange(0, 1);
        box->setSingleStep(0.000001);
    }
    lowerLimit->setValue(0);
    upperLimit->setValue(1);
    rangeGroup->setCheckable(false);
}

double axisConfig::toDisplay(double volts) const
{
    if (!accUnitsOn)
        return volts;
    return (volts - accOffset) * accMultiplier;
}

double axisConfig::toVolts(double display) const
{
    // A zero multiplier cannot be accepted with the unit display on.
    if (!accUnitsOn || accMultiplier == 0)
        return display;
    return accOffset + display / accMultiplier;
}

QPair<double, double> axisConfig::displayRange(double lowerVolts, double upperVolts) const
{
    const double a = toDisplay(lowerVolts);
    const double b = toDisplay(upperVolts);
    return qMakePair(std::min(a, b), std::max(a, b));
}

QPair<double, double> axisConfig::voltsRange(double lowerDisplay, double upperDisplay) const
{
    const double a = toVolts(lowerDisplay);
    const double b = toVolts(upperDisplay);
    return qMakePair(std::min(a, b), std::max(a, b));
}

void axisConfig::updateLimits()
{
    const double off = offset->value();
    const double mul = multiplier->doublevalue();
    const double a = (lowerLimit->value() - off) * mul;
    const double b = (upperLimit->value() - off) * mul;
    rangeLabel->setText(QString::asprintf("Range:  %.6lf .. %.6lf  %s", std::min(a, b),
                                          std::max(a, b), unitName->text().toLocal8Bit().constData()));
    if (sender() == unitGroup)
        rangeLabel->setVisible(unitGroup->isChecked());
}

void axisConfig::setMaxSlot()
{
    lowerLimit->setValue(lowerLimit->minimum());
    upperLimit->setValue(upperLimit->maximum());
}

void axisConfig::checkValuesAndAccept()
{
    const bool rangeOff = rangeGroup->isCheckable() && !rangeGroup->isChecked();
    if (!rangeOff && !sfpPlots::limitsAcceptable(lowerLimit, upperLimit)) {
        sfpPlots::cardWarning(QStringLiteral("The lower limit must be below the upper limit."));
        return;
    }
    // Reopening divides by the multiplier.
    if (withUnits && unitGroup->isChecked() && multiplier->doublevalue() == 0) {
        sfpPlots::cardWarning(QStringLiteral("The multiplier must not be zero."));
        return;
    }
    if (rangeGroup->isCheckable() && autoscaleButton) {
        emit autoscaleAboutToChange();
        autoscaleButton->setChecked(!rangeGroup->isChecked());
        emit autoscaleChanged();
    }
    if (withUnits) {
        const UnitControls units = currentUnits();
        accUnitsOn = units.on;
        accName = units.name;
        accOffset = units.offset;
        accMultiplier = units.multiplier;
    }
    opened = currentUnits();
    accept();
}

void axisConfig::reject()
{
    applyUnits(opened);
    QDialog::reject();
}

void axisConfig::showEvent(QShowEvent *event)
{
    opened = currentUnits();
    QDialog::showEvent(event);
}

axisConfig::UnitControls axisConfig::currentUnits() const
{
    UnitControls units;
    units.on = unitGroup->isChecked();
    units.name = unitName->text();
    units.offset = offset->value();
    units.multiplier = multiplier->doublevalue();
    return units;
}

void axisConfig::applyUnits(const UnitControls &units)
{
    unitGroup->setChecked(units.on);
    unitName->setText(units.name);
    offset->setValue(units.offset);
    multiplier->setValue(units.multiplier);
}
