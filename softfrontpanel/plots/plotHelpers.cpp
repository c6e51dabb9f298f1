#include "plotHelpers.h"

#include "nv9471fp_messages.h"

#include <QDoubleSpinBox>
#include <QWidget>

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

} // namespace sfpPlots
