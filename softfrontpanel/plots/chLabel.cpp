#include "chLabel.h"

#include "plotHelpers.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
chLabel::ColourChooser &colourChooser()
{
    static chLabel::ColourChooser chooser;
    return chooser;
}
} // namespace

QColor channelColour(int chIdx)
{
    const int card = chIdx / 16;
    QColor colour = QColor::fromHsvF(((chIdx + card + 8) % 16) / 17.0, 0.9, 0.9);
    if (card % 3 == 1 || card % 3 == 2)
        colour = colour.lighter(150);
    colour.setAlphaF(0.8);
    return colour;
}

QColor disabledChannelColour()
{
    return QColor(200, 200, 200);
}

chLabel::chLabel(int chIdx, QWidget *parent)
    : QLabel(parent), chIdx(chIdx), chColour(channelColour(chIdx)), enabled(chIdx % 16 == 0)
{
    setText(QString::number(chIdx % 16 + 1));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A framed label would indent its text by half an 'x' on top of the
    // frame; sixteen legends per row then no longer fit a small window.
    setIndent(0);
    setMargin(0);
    help = QStringLiteral("This legend shows which color is used to plot the "
                          "Channel %1 waveform from Function Card #%2. Right "
                          "click to change the color, left click to bold the "
                          "waveform")
               .arg(chIdx % 16 + 1)
               .arg(chIdx / 16 + 1);
    sfpPlots::setHelp(this, help);
    refreshLook();
}

void chLabel::setColourChooser(ColourChooser chooser)
{
    colourChooser() = std::move(chooser);
}

void chLabel::setChEnabled(bool on)
{
    enabled = on;
    if (!on)
        width = 1;
    refreshLook();
}

QString chLabel::overRangeToolTip()
{
    return QStringLiteral("Over range");
}

QColor chLabel::overRangeBackground()
{
    return QColor(255, 205, 205);
}

void chLabel::setOverRange(bool on)
{
    if (on == overRange)
        return;
    overRange = on;
    if (on) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, overRangeBackground());
        setPalette(pal);
    }
    setAutoFillBackground(on);
    setToolTip(on ? overRangeToolTip() : help);
}

void chLabel::setColour(const QColor &colour)
{
    chColour = colour;
    refreshLook();
}

void chLabel::setTextColour(const QColor &colour)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colour);
    setPalette(pal);
}

void chLabel::refreshLook()
{
    if (!enabled) {
        setFrameStyle(QFrame::Panel | QFrame::Plain);
        setTextColour(disabledChannelColour());
        return;
    }
    setFrameStyle(QFrame::Panel | (width == 3 ? QFrame::Sunken : QFrame::Raised));
    setTextColour(chColour);
}

void chLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!overRange)
        return;
    // A bar as well as the tint: the tint alone is faint behind light colours.
    QPainter painter(this);
    const QRect inside = contentsRect();
    const int bar = std::max(2, inside.height() / 8);
    painter.fillRect(QRect(inside.left(), inside.bottom() + 1 - bar, inside.width(), bar), QColor(Qt::red));
}

QColor chLabel::askColour()
{
    ColourRequest request;
    request.initial = chColour;
    request.title = QStringLiteral("Select Color");
    request.options = QColorDialog::DontUseNativeDialog;
    request.parent = this;
    if (colourChooser())
        return colourChooser()(request);
    return QColorDialog::getColor(request.initial, request.parent, request.title,
                                  request.options);
}

void chLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        const QColor chosen = askColour();
        if (!chosen.isValid())
            return;
        setColour(chosen);
        emit labMousePress();
    } else if (event->button() == Qt::LeftButton && enabled) {
        width = width == 3 ? 1 : 3;
        refreshLook();
        emit labMousePress();
    }
}
