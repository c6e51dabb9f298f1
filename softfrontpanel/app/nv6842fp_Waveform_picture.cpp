// Pictures of the two plot pages: each drawn as it stands, with a legend of
// the channels it shows and the caption of the block behind it.
#include "nv6842fp_Waveform.h"

#include "axisConfig.h"
#include "decimatedCurve.h"
#include "nv6842fp_App.h"
#include "nv6842fp_globals.h"
#include "pictureCaption.h"
#include "plotPicture.h"
#include "plotPictureBar.h"
#include "plot_voltage.h"

#include <qwt_plot_curve.h>

#include <QFileInfo>

namespace {

pictureCaptionInput captionOf(const nv6842fp_Waveform::shownBlockInfo &block, std::vector<uint16_t> shown)
{
    pictureCaptionInput in;
    in.shownChannels = std::move(shown);
    in.rateHz = block.rateHz;
    in.scans = block.scans;
    in.block = block.number;
    in.hasStamp = block.hasStamp;
    in.stampSeconds = block.stampSeconds;
    in.stampNanos = block.stampNanos;
    in.acquired = block.acquired;
    if (fileModeActive()) {
        in.blockCount = int64_t(StoredFileInfo.blockCount);
        in.fileName = QFileInfo(QString::fromLocal8Bit(StoredFileInfo.path)).fileName();
    }
    return in;
}

} // namespace

void nv6842fp_Waveform::connectSpectrumPictures()
{
    parent->spectrumPlot->pictureBar->source = [this] { return spectrumPicture(); };
}

void nv6842fp_Waveform::noteBlockShown(int64_t number, bool hasStamp, int32_t seconds, int32_t nanos)
{
    blockShown.masks.assign(chanMask.begin(), chanMask.end());
    blockShown.rateHz = freq;
    blockShown.scans = scans;
    blockShown.number = number;
    blockShown.hasStamp = hasStamp;
    blockShown.stampSeconds = seconds;
    blockShown.stampNanos = nanos;
    // A stored file does not say when its blocks were acquired.
    blockShown.acquired = fileModeActive() && demoMode ? QDateTime() : QDateTime::currentDateTime();
}

pictureContent nv6842fp_Waveform::timePicture() const
{
    pictureContent content;
    content.plot = plot;
    const QVector<const QwtPlotCurve *> shown = pictureCurves(curves);
    content.legend = pictureLegendOf(shown);
    pictureCaptionInput in = captionOf(blockShown, pictureShownChannels(shown));
    in.customUnit = yAxisDlg->acceptedUnitsOn();
    in.unitName = yAxisDlg->acceptedUnitName();
    in.unitOffset = yAxisDlg->acceptedOffset();
    in.unitMultiplier = yAxisDlg->acceptedMultiplier();
    content.caption = pictureCaption(in);
    return content;
}

pictureContent nv6842fp_Waveform::spectrumPicture() const
{
    const plot_voltage *spectrum = parent->spectrumPlot;
    pictureContent content;
    content.plot = spectrum->plot;
    const QVector<const QwtPlotCurve *> shown = pictureCurves(spectrum->curves);
    content.legend = pictureLegendOf(shown);
    content.readout = spectrum->markerText();
    pictureCaptionInput in = captionOf(spectrumBlock, pictureShownChannels(shown));
    in.spectrum = true;
    in.windowName = pictureWindowName(spectrumWindowType);
    in.padding = spectrumPadding;
    in.spectrumMode = spectrum->displayInForceText();
    content.caption = pictureCaption(in);
    return content;
}
