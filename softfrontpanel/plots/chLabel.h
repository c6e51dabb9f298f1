// The coloured legend of one channel of the time plot: its number in the
// channel's colour, a pen width (1, or 3 for a bold waveform) and an enabled
// flag that follows the channel panel. The colour is that of the global
// channel index card * 16 + channel.
#ifndef CHLABEL_H
#define CHLABEL_H

#include <QColor>
#include <QColorDialog>
#include <QLabel>
#include <QString>
#include <functional>

// Colour of global channel index chIdx (card = chIdx / 16): HSV hue
// ((chIdx + card + 8) mod 16) / 17, saturation and value 0.9, lightened by 150 %
// on cards 1 and 2 of every three, alpha 0.8.
QColor channelColour(int chIdx);

// Text colour of a disabled channel's legend.
QColor disabledChannelColour();

class chLabel : public QLabel
{
    Q_OBJECT
public:
    chLabel(int chIdx, QWidget *parent = nullptr);

    int channelIndex() const { return chIdx; }
    QColor colour() const { return chColour; }
    // 1 or 3 (bold waveform).
    int penWidth() const { return width; }
    bool isChEnabled() const { return enabled; }

    // Enabling shows the colour; disabling also resets the width to 1.
    virtual void setChEnabled(bool on);
    // Marks the channel as over range while acquiring: a pale red background
    // with a red bar along the bottom, and the tool tip overRangeToolTip();
    // apart from the frame and text colour, which tell enabled and bold.
    void setOverRange(bool on);
    bool isOverRange() const { return overRange; }
    static QString overRangeToolTip();
    static QColor overRangeBackground();
    void setColour(const QColor &colour);

    // The colour dialog is modal; tests (and only they) answer it through a
    // chooser. An empty chooser restores the real dialog.
    struct ColourRequest {
        QColor initial;
        QString title;
        QColorDialog::ColorDialogOptions options;
        QWidget *parent = nullptr;
    };
    using ColourChooser = std::function<QColor(const ColourRequest &)>;
    static void setColourChooser(ColourChooser chooser);

signals:
    // A colour or width change: the plot is to be redrawn.
    void labMousePress();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // Opens "Select Color" on the current colour; invalid when cancelled.
    QColor askColour();
    // Frame and text colour for the current state.
    virtual void refreshLook();
    void setTextColour(const QColor &colour);

    int chIdx;
    QColor chColour;
    int width = 1;
    bool enabled = false;

private:
    QString help; // tool tip and What's This
    bool overRange = false;
};

#endif
