#include "plotHelpers.h"

#include "nv9471fp_messages.h"

#include <QDoubleSpinBox>
#include <QFrame>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

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

} // namespace sfpPlots
