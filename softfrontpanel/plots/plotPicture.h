// Pictures of a plot for reports: the plot as shown (curves, zoom, axis
// titles and units, markers), drawn by Qwt's own renderer, with an optional
// title above, the marker read-out, a legend of the channels shown in their
// colours and a caption line below. The "Waveforms" and "FFT Amplitude
// Spectrum" pages and sfpplot all make their pictures here.
//
// Layout: a fixed logical width of pictureLogicalWidth units, the plot
// pictureLogicalPlotHeight units high, the text lines below it as high as
// their fonts need; fonts are those of the screen's resolution. A PNG of
// width W scales the whole picture by W / pictureLogicalWidth, so that it
// looks the same at every width; SVG and PDF are vectors of the logical size.
#ifndef PLOTPICTURE_H
#define PLOTPICTURE_H

#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>

#include <cstdint>
#include <vector>

class QwtPlot;
class QwtPlotCurve;

constexpr int pictureLogicalWidth = 1000;
constexpr int pictureLogicalPlotHeight = 560;
constexpr int pictureDefaultWidth = 1600; // PNG, pixels
constexpr int pictureMinimumWidth = 200;
constexpr int pictureMaximumWidth = 10000;

struct pictureLegendEntry {
    QString text; // "FC1 Ch 3"
    QColor colour;
};

struct pictureContent {
    QwtPlot *plot = nullptr; // rendered as it stands; not owned
    QVector<pictureLegendEntry> legend;
    QString readout; // marker read-out, empty for none
    QString caption;
    QString title;   // a heading above the plot, empty for none

    // Nothing acquired or shown: such a plot is not drawn.
    bool isEmpty() const { return !plot || legend.isEmpty(); }
};

// A page's curves, index card * 16 + channel, as the two functions below take them.
template <class Curve>
QVector<const QwtPlotCurve *> pictureCurves(const QVector<Curve *> &curves)
{
    return QVector<const QwtPlotCurve *>(curves.begin(), curves.end());
}
// The legend of those curves: every curve attached to a plot that holds
// samples, in index order, "FC%1 Ch %2", in its pen's colour.
QVector<pictureLegendEntry> pictureLegendOf(const QVector<const QwtPlotCurve *> &curves);
// Which of them are shown, as one channel mask per card.
std::vector<uint16_t> pictureShownChannels(const QVector<const QwtPlotCurve *> &curves);

enum class pictureFormat { unknown, png, svg, pdf };
// By the path's extension, in any case.
pictureFormat pictureFormatOf(const QString &path);

// The picture as a PNG image widthPx pixels wide.
QImage renderPictureImage(const pictureContent &content, int widthPx);

// Writes the picture to path in the format its extension names (PNG
// widthPx wide). A regular file appears only complete: it is written beside
// and renamed over path at the end, so a full disk or a failed write leaves
// no partial file and keeps an older one; a device (/dev/null) is written
// directly. Returns false with *error a sentence saying why (an unknown
// extension, the system's reason).
bool savePicture(const pictureContent &content, const QString &path, int widthPx, QString *error);

#endif
