#include "plotHelpers.h"

#include "nv9471fp_messages.h"

#include <QDoubleSpinBox>
#include <QFrame>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>
#include <qwt_plot_curve.h>

#include <cmath>

#include <algorithm>

namespace sfpPlots {

void setHelp(QWidget *widget, const QString &text)
{
    widget->setToolTip(text);
    widget->setWhatsThis(text);
}

void cardWarning(const QString &text)
{
    sfp::MessageRequest request;
    request.icon = QMessageBox::Warning;
    request.title = QStringLiteral("Trellin 6842 SFP");
    request.text = text;
    request.buttons = QMessageBox::Ok;
    sfp::ask(request);
}

bool limitsAcceptable(const QDoubleSpinBox *lower, const QDoubleSpinBox *upper)
{
    if (lower->value() < upper->value())
        return true;
    const bool singlePoint = lower->minimum() == lower->maximum()
                             && upper->minimum() == upper->maximum()
                             && lower->minimum() == upper->minimum();
    return singlePoint && lower->value() == upper->value();
}

QScrollArea *scrollingRows(QWidget *rows, int rowCount, int maxRows)
{
    auto *area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setWidget(rows);
    const int height = rows->sizeHint().height();
    const int shown = rowCount > maxRows ? height * maxRows / std::max(1, rowCount) : height;
    // Room for a horizontal scroll bar, which appears in a narrow window.
    const int bar = area->horizontalScrollBar()->sizeHint().height();
    area->setMinimumHeight(shown + bar);
    area->setMaximumHeight(shown + bar);
    area->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return area;
}

int nearestSampleAt(const QwtPlotCurve *curve, double x)
{
    const size_t n = curve->dataSize();
    if (n == 0)
        return -1;
    const double first = curve->sample(0).x(), last = curve->sample(n - 1).x();
    const double half = n > 1 ? (last - first) / double(n - 1) / 2 : 0.0;
    if (x < first - half || x > last + half)
        return -1;
    size_t lo = 0, hi = n - 1;
    while (hi - lo > 1) {
        const size_t mid = (lo + hi) / 2;
        (curve->sample(mid).x() <= x ? lo : hi) = mid;
    }
    return int(std::fabs(curve->sample(hi).x() - x) < std::fabs(curve->sample(lo).x() - x) ? hi : lo);
}

} // namespace sfpPlots
