#include "axisConfigFft.h"

#include "plotHelpers.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

axisConfigFft::axisConfigFft(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Axis Configuration"));
    setModal(true);

    rangeGroup = new QGroupBox(QStringLiteral("Custom Range"), this);
    lowerLimit = new QDoubleSpinBox(rangeGroup);
    upperLimit = new QDoubleSpinBox(rangeGroup);
    maxButton = new QPushButton(QStringLiteral("Max"), rangeGroup);
    maxButton->setToolTip(QStringLiteral("Sets the maximum range."));
    auto *grid = new QGridLayout(rangeGroup);
    grid->addWidget(new QLabel(QStringLiteral("Lower Limit:"), rangeGroup), 0, 0);
    grid->addWidget(lowerLimit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Upper Limit:"), rangeGroup), 1, 0);
    grid->addWidget(upperLimit, 1, 1);
    grid->addWidget(maxButton, 0, 2, 2, 1);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *top = new QVBoxLayout(this);
    top->addWidget(rangeGroup);
    top->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &axisConfigFft::checkValuesAndAccept);
    connect(cancelButton, &QPushButton::clicked, this, &axisConfigFft::reject);
    connect(maxButton, &QPushButton::clicked, this, &axisConfigFft::setMaxSlot);
}

void axisConfigFft::setLimitFormat(const QString &suffix, int decimals, double step)
{
    for (QDoubleSpinBox *box : {lowerLimit, upperLimit}) {
        box->setSuffix(suffix);
        box->setDecimals(decimals);
        box->setSingleStep(step);
    }
    // Same minimum width for both, whichever text is longer.
    const int width = qMax(lowerLimit->sizeHint().width(), upperLimit->sizeHint().width());
    lowerLimit->setMinimumWidth(width);
    upperLimit->setMinimumWidth(width);
}

void axisConfigFft::setLimitRange(double minimum, double maximum)
{
    lowerLimit->setRange(minimum, maximum);
    upperLimit->setRange(minimum, maximum);
}

void axisConfigFft::setLimits(double lower, double upper)
{
    lowerLimit->setValue(lower);
    upperLimit->setValue(upper);
}

void axisConfigFft::checkValuesAndAccept()
{
    const bool rangeOff = rangeGroup->isCheckable() && !rangeGroup->isChecked();
    if (!rangeOff && !sfpPlots::limitsAcceptable(lowerLimit, upperLimit)) {
        sfpPlots::cardWarning(QStringLiteral("The lower limit must be below the upper limit."));
        return;
    }
    accept();
}

void axisConfigFft::setMaxSlot()
{
    lowerLimit->setValue(lowerLimit->minimum());
    upperLimit->setValue(upperLimit->maximum());
}
