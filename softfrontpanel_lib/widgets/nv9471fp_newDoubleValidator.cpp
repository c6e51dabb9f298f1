#include "nv9471fp_newDoubleValidator.h"

#include <limits>

// No limit on the decimals: a limit of a few would reject texts the control
// shows itself ("%g" of 0.0001234) and so freeze them against any edit.
nv9471fp_newDoubleValidator::nv9471fp_newDoubleValidator(QObject *parent)
    : QDoubleValidator(-std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::infinity(), 1000, parent)
{
    // The control prints with printf, which always uses '.'.
    setLocale(QLocale::c());
}

QValidator::State nv9471fp_newDoubleValidator::validate(QString &input, int &pos) const
{
    // Blanks come from a width or the ' ' flag of the display format.
    QString number = input.trimmed();
    int numberPos = qMin(pos, number.size());
    const State state = QDoubleValidator::validate(number, numberPos);
    return state == Invalid ? Invalid : Acceptable;
}
