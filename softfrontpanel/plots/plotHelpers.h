// Small helpers shared by the plot widgets and their dialogs.
#ifndef PLOTHELPERS_H
#define PLOTHELPERS_H

#include <QString>

class QDoubleSpinBox;
class QwtPlotCurve;
class QScrollArea;
class QWidget;

namespace sfpPlots {

// A control's tool tip and What's This text always read the same.
void setHelp(QWidget *widget, const QString &text);

// The card's own warning box ("Trellin 6842 SFP", OK), parented to the active window.
void cardWarning(const QString &text);

// The limit check of the axis dialogs. Equal limits are accepted only when
// the spin boxes cannot hold anything else (a block of one scan, a spectrum
// of one bin): otherwise such a dialog could never be left with OK.
bool limitsAcceptable(const QDoubleSpinBox *lower, const QDoubleSpinBox *upper);

// Legend rows, one per card, inside a scroll area: all rows show while there
// are at most maxRows of them, more scroll, and a narrow window scrolls
// sideways, so a page fits a small screen whatever the card count.
QScrollArea *scrollingRows(QWidget *rows, int rowCount, int maxRows = 4);

// The sample of a spectrum curve (rising, equally spaced frequencies) nearest
// frequency x; -1 when x lies outside the curve by more than half a bin.
int nearestSampleAt(const QwtPlotCurve *curve, double x);

} // namespace sfpPlots

#endif
