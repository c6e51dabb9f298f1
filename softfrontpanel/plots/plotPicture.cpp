#include "plotPicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_renderer.h>

#include <cmath>

QVector<pictureLegendEntry> pictureLegendOf(const QVector<const QwtPlotCurve *> &curves)
{
    QVector<pictureLegendEntry> legend;
    for (int g = 0; g < curves.size(); ++g) {
        const QwtPlotCurve *curve = curves[g];
        if (curve->plot() && curve->dataSize() > 0)
            legend.append({QStringLiteral("FC%1 Ch %2").arg(g / 16 + 1).arg(g % 16 + 1), curve->pen().color()});
    }
    return legend;
}

std::vector<uint16_t> pictureShownChannels(const QVector<const QwtPlotCurve *> &curves)
{
    std::vector<uint16_t> masks(size_t((curves.size() + 15) / 16), 0);
    for (int g = 0; g < curves.size(); ++g)
        if (curves[g]->plot() && curves[g]->dataSize() > 0)
            masks[size_t(g / 16)] |= uint16_t(1u << (g % 16));
    return masks;
}

pictureFormat pictureFormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return pictureFormat::png;
    if (suffix == QLatin1String("svg"))
        return pictureFormat::svg;
    if (suffix == QLatin1String("pdf"))
        return pictureFormat::pdf;
    return pictureFormat::unknown;
}

namespace {

constexpr double margin = 12;
constexpr double swatchLength = 24;
constexpr double legendGap = 18;

// Where everything goes, in logical units. Text is measured at the plot's
// own resolution, which every device of a picture is given, so that Qwt
// draws the plot as on screen and fonts keep their screen size.
struct Layout {
    QFont titleFont, textFont;
    QRectF title, plot, readout;
    QVector<QPointF> legendAt; // top-left corner of each entry
    double legendRowHeight = 0;
    QVector<QRectF> captionRects;
    QStringList captionLines;
    double height = 0;
};

// A device of the given resolution that only measures.
QImage measuringDevice(int dpi)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    return image;
}

// The caption's parts, as many to a line as fit.
QStringList captionLines(const QString &caption, const QFontMetricsF &metrics, double width)
{
    QStringList lines;
    const QString separator = QStringLiteral(" | ");
    for (const QString &part : caption.split(separator, Qt::SkipEmptyParts)) {
        if (!lines.isEmpty() && metrics.horizontalAdvance(lines.last() + separator + part) <= width)
            lines.last() += separator + part;
        else
            lines << part;
    }
    return lines;
}

Layout layOut(const pictureContent &content, int dpi)
{
    Layout l;
    QImage device = measuringDevice(dpi);
    l.textFont = QFont(QStringLiteral("arial"), 9);
    l.titleFont = QFont(QStringLiteral("arial"), 12, QFont::Bold);
    const QFontMetricsF text(l.textFont, &device);
    const double width = pictureLogicalWidth - 2 * margin;
    double y = margin;
    if (!content.title.isEmpty()) {
        const QFontMetricsF title(l.titleFont, &device);
        const QRectF needed = title.boundingRect(QRectF(margin, y, width, 1e6), Qt::AlignHCenter | Qt::TextWordWrap,
                                                 content.title);
        l.title = QRectF(margin, y, width, needed.height());
        y += needed.height() + margin / 2;
    }
    l.plot = QRectF(0, y, pictureLogicalWidth - margin, pictureLogicalPlotHeight);
    y += pictureLogicalPlotHeight + margin / 2;
    if (!content.readout.isEmpty()) {
        const QRectF needed = text.boundingRect(QRectF(margin, y, width, 1e6), Qt::TextWordWrap, content.readout);
        l.readout = QRectF(margin, y, width, needed.height());
        y += needed.height() + margin / 2;
    }
    l.legendRowHeight = text.height() * 1.3;
    double x = margin;
    for (const pictureLegendEntry &entry : content.legend) {
        const double entryWidth = swatchLength + 6 + text.horizontalAdvance(entry.text);
        if (x > margin && x + entryWidth > margin + width) {
            x = margin;
            y += l.legendRowHeight;
        }
        l.legendAt.append(QPointF(x, y));
        x += entryWidth + legendGap;
    }
    if (!content.legend.isEmpty())
        y += l.legendRowHeight + margin / 2;
    l.captionLines = captionLines(content.caption, text, width);
    for (const QString &line : qAsConst(l.captionLines)) {
        const QRectF needed = text.boundingRect(QRectF(margin, y, width, 1e6), Qt::TextWordWrap, line);
        l.captionRects.append(QRectF(margin, y, width, needed.height()));
        y += needed.height();
    }
    l.height = std::ceil(y + margin);
    return l;
}

void paint(QPainter *painter, const pictureContent &content, const Layout &l)
{
    painter->fillRect(QRectF(0, 0, pictureLogicalWidth, l.height), Qt::white);
    painter->setPen(Qt::black);
    if (!content.title.isEmpty()) {
        painter->setFont(l.titleFont);
        painter->drawText(l.title, Qt::AlignHCenter | Qt::TextWordWrap, content.title);
    }
    // The plot widget's own background is left out: the page is white.
    QwtPlotRenderer renderer;
    renderer.setDiscardFlag(QwtPlotRenderer::DiscardBackground);
    painter->save();
    renderer.render(content.plot, painter, l.plot);
    painter->restore();

    painter->setFont(l.textFont);
    painter->setPen(Qt::black);
    if (!content.readout.isEmpty())
        painter->drawText(l.readout, Qt::TextWordWrap, content.readout);
    for (int i = 0; i < content.legend.size(); ++i) {
        const pictureLegendEntry &entry = content.legend[i];
        const QPointF at = l.legendAt[i];
        const double middle = at.y() + l.legendRowHeight / 2;
        // Opaque on paper: the curves' translucency is for the dark canvas.
        QColor colour = entry.colour;
        colour.setAlpha(255);
        painter->setPen(QPen(colour, 3, Qt::SolidLine, Qt::FlatCap));
        painter->drawLine(QPointF(at.x(), middle), QPointF(at.x() + swatchLength, middle));
        painter->setPen(Qt::black);
        painter->drawText(QRectF(at.x() + swatchLength + 6, at.y(), 1e4, l.legendRowHeight),
                          Qt::AlignLeft | Qt::AlignVCenter, entry.text);
    }
    for (int i = 0; i < l.captionLines.size(); ++i)
        painter->drawText(l.captionRects[i], Qt::TextWordWrap, l.captionLines[i]);
}

int plotDpi(const pictureContent &content)
{
    return content.plot ? content.plot->logicalDpiX() : 96;
}

QImage renderImage(const pictureContent &content, int widthPx, const Layout &l, int dpi)
{
    const double scale = double(widthPx) / pictureLogicalWidth;
    QImage image(widthPx, int(std::lround(l.height * scale)), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paint(&painter, content, l);
    return image;
}

bool encode(const pictureContent &content, pictureFormat format, int widthPx, QByteArray *bytes)
{
    const int dpi = plotDpi(content);
    const Layout l = layOut(content, dpi);
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == pictureFormat::png)
        return renderImage(content, widthPx, l, dpi).save(&buffer, "PNG");
    if (format == pictureFormat::svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setResolution(dpi);
        svg.setSize(QSize(pictureLogicalWidth, int(l.height)));
        svg.setViewBox(QRectF(0, 0, pictureLogicalWidth, l.height));
        svg.setTitle(content.title.isEmpty() ? content.caption : content.title);
        svg.setDescription(content.caption);
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        paint(&painter, content, l);
        return painter.end();
    }
    QPdfWriter pdf(&buffer);
    pdf.setResolution(dpi);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(pictureLogicalWidth, l.height) * 72.0 / dpi, QPageSize::Point,
                              QString(), QPageSize::ExactMatch));
    pdf.setTitle(content.title.isEmpty() ? content.caption : content.title);
    pdf.setCreator(QStringLiteral("Trellin 6842 Soft Front Panel"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    // The page holds the logical size up to the rounding of points.
    const double scale = pdf.width() / double(pictureLogicalWidth);
    painter.scale(scale, scale);
    paint(&painter, content, l);
    return painter.end();
}

bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

QImage renderPictureImage(const pictureContent &content, int widthPx)
{
    const int dpi = plotDpi(content);
    return renderImage(content, widthPx, layOut(content, dpi), dpi);
}

bool savePicture(const pictureContent &content, const QString &path, int widthPx, QString *error)
{
    const pictureFormat format = pictureFormatOf(path);
    if (format == pictureFormat::unknown) {
        *error = QStringLiteral("Pictures are saved as PNG, SVG or PDF: the file name must end in "
                                ".png, .svg or .pdf.");
        return false;
    }
    QByteArray bytes;
    if (!encode(content, format, widthPx, &bytes)) {
        *error = QStringLiteral("The picture could not be drawn.");
        return false;
    }
    const QFileInfo target(path);
    if (target.isDir()) {
        *error = QStringLiteral("It is a folder.");
        return false;
    }
    if (target.exists() && !target.isFile()) {
        // A device or pipe: nothing can be renamed over it.
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly) || !writeAll(device, bytes)) {
            *error = device.errorString();
            return false;
        }
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !writeAll(file, bytes) || !file.commit()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
