// Axis dialog of the spectrum plot: "Custom Range" with two limits, "Max",
// OK and Cancel. OK is refused with a warning unless lower < upper, or the
// range group is checkable and unchecked.
#ifndef AXISCONFIGFFT_H
#define AXISCONFIGFFT_H

#include <QDialog>

class QDoubleSpinBox;
class QGroupBox;
class QPushButton;

class axisConfigFft : public QDialog
{
    Q_OBJECT
public:
    explicit axisConfigFft(QWidget *parent = nullptr);

    // Suffix, decimals, step and range of both limit spin boxes.
    void setLimitFormat(const QString &suffix, int decimals, double step);
    void setLimitRange(double minimum, double maximum);
    // Puts the limits in (clamped to the spin boxes' range).
    void setLimits(double lower, double upper);

    QGroupBox *rangeGroup;
    QDoubleSpinBox *lowerLimit;
    QDoubleSpinBox *upperLimit;
    QPushButton *maxButton;
    QPushButton *okButton;
    QPushButton *cancelButton;

public slots:
    void checkValuesAndAccept();
    void setMaxSlot();
};

#endif
