#include "nv9471fp_led.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextDocument>
#include <QWhatsThis>

nv9471fp_led::nv9471fp_led(const QString &label, const QColor &onColour, const QColor &offColour,
                           QWidget *parent)
    : QWidget(parent), on(onColour), off(offColour), labelText(label)
{
    offIsWindow = offColour == QColor(Qt::magenta);
    initialise();
}

nv9471fp_led::nv9471fp_led(const QString &label, const QString &onColourName, QWidget *parent)
    : QWidget(parent),
      on(onColourName.isNull() ? QStringLiteral("#FF0000") : onColourName),
      offIsWindow(true),
      labelText(label)
{
    initialise();
}

void nv9471fp_led::initialise()
{
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
}

QColor nv9471fp_led::offColour() const
{
    return offIsWindow ? palette().color(QPalette::Window) : off;
}

QColor nv9471fp_led::stateColour() const
{
    if (ledValue == 0)
        return offColour();
    if (ledValue == 2 && thirdSet)
        return third;
    return on;
}

void nv9471fp_led::setValue(int value)
{
    if (value == ledValue)
        return;
    ledValue = value;
    update();
}

void nv9471fp_led::toggleValue()
{
    ledValue = ledValue == 0 ? 1 : 0;
    update();
    emit valueToggled();
}

void nv9471fp_led::setLabel(const QString &text)
{
    if (text == labelText)
        return;
    labelText = text;
    updateGeometry();
    update();
}

void nv9471fp_led::setOnColour(const QColor &colour)
{
    on = colour;
    update();
}

void nv9471fp_led::setOffColour(const QColor &colour)
{
    off = colour;
    offIsWindow = false;
    update();
}

void nv9471fp_led::setThirdColour(const QColor &colour)
{
    third = colour;
    thirdSet = true;
    update();
}

QSize nv9471fp_led::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int h = metrics.height();
    return QSize(h + metrics.horizontalAdvance(labelText) + (h + 1) / 2 + 1, h + 2);
}

QString nv9471fp_led::whatsThisLayout(const QString &text)
{
    if (Qt::mightBeRichText(text))
        return text;
    const QString lines = text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return QStringLiteral("<p style=\"white-space:pre\">") + lines + QStringLiteral("</p>");
}

bool nv9471fp_led::event(QEvent *event)
{
    if (event->type() == QEvent::WhatsThis && !whatsThis().isEmpty()) {
        QWhatsThis::showText(static_cast<QHelpEvent *>(event)->globalPos(),
                             whatsThisLayout(whatsThis()), this);
        return true;
    }
    return QWidget::event(event);
}

void nv9471fp_led::paintEvent(QPaintEvent *)
{
    const int h = fontMetrics().height();
    const int b = (width() - minimumSizeHint().width()) / 2;
    const QColor colour = stateColour();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawText(b + h + h / 2 + 2, h - 1, labelText);

    if (!isBevelled(h)) {
        painter.setPen(colour);
        painter.setBrush(colour);
        painter.drawEllipse(b + 2, 0, h, h);
        return;
    }

    const QColor background = painter.background().color();
    const QColor light = background.lighter(150);
    const QColor dark = background.darker(200);
    painter.setBrush(Qt::NoBrush);
    // Qt measures arcs in sixteenths of a degree.
    painter.setPen(light);
    painter.drawArc(b + 2, 0, h, h, 45 * 16, 180 * 16);
    painter.drawArc(b + 4, 2, h - 4, h - 4, 45 * 16, 180 * 16);
    painter.setPen(dark);
    painter.drawArc(b + 2, 0, h, h, 225 * 16, 180 * 16);
    painter.drawArc(b + 4, 2, h - 4, h - 4, 225 * 16, 180 * 16);
    painter.setPen(background);
    painter.drawEllipse(b + 3, 1, h - 2, h - 2);
    painter.setPen(colour);
    painter.setBrush(colour);
    painter.drawEllipse(b + 5, 3, h - 6, h - 6);
}
