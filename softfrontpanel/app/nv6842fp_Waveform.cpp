#include "nv6842fp_Waveform.h"

#include "acqSetup.h"
#include "analysisPool.h"
#include "axisConfig.h"
#include "chLabel.h"
#include "decimatedCurve.h"
#include "myQwtPlotPicker.h"
#include "nv6842.h"
#include "plotHelpers.h"
#include "plotPictureBar.h"
#include "timePlot.h"
#include "nv6842fp_App.h"
#include "nv6842fp_syncMethodDialog.h"
#include "nv9471fp_messages.h"

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>

namespace {

QPen curvePen(const chLabel *legend)
{
    QPen pen(legend->colour(), legend->penWidth(), Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    return pen;
}

} // namespace

nv6842fp_Waveform::nv6842fp_Waveform(nv6842fp_App *parent_)
    : QWidget(nullptr), parent(parent_), demoMode(parent_->demoMode), d_vi(parent_->d_vi),
      cardCount(parent_->cards()), lxiCarrier(parent_->lxiCarrier)
{
    // Allocated once and never touched before a block arrives, so the pages
    // cost address space only until an acquisition fills them.
    data.reset(new double[blockBufferValues]);
    times.reset(new double[blockBufferValues]);
    chanMask.fill(0, cardCount);

    QLayout *statusRow = buildStatusRow();

    auto *view = new timePlot;
    plot = view;
    picker = new myQwtPlotPicker(plot->canvas());
    picker->setTrackerMode(QwtPicker::AlwaysOn);
    picker->setTrackerPen(QPen(Qt::white));
    zoomer = new QwtPlotZoomer(QwtPlot::xBottom, QwtPlot::yLeft, plot->canvas(), true);
    zoomer->setRubberBandPen(QPen(Qt::white));
    zoomer->setTrackerMode(QwtPicker::AlwaysOff);
    grid = view->grid();

    blockSlider = new QSlider(Qt::Horizontal);
    blockSlider->setSingleStep(1);
    blockSlider->setPageStep(1);
    blockSlider->hide();
    positionLabel = new QLabel;
    positionLabel->hide();
    connect(blockSlider, &QSlider::valueChanged, this, &nv6842fp_Waveform::sliderChanged);
    auto *sliderRow = new QHBoxLayout;
    sliderRow->addWidget(blockSlider, 1);
    sliderRow->addWidget(positionLabel);

    pictureBar = new plotPictureBar;
    pictureBar->fileBaseName = QStringLiteral("waveforms");
    pictureBar->source = [this] { return timePicture(); };
    auto *topRow = new QHBoxLayout;
    topRow->addLayout(statusRow, 1);
    topRow->addWidget(pictureBar, 0, Qt::AlignRight);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(topRow);
    layout->addWidget(plot, 1);
    layout->addLayout(sliderRow);
    layout->addWidget(sfpPlots::scrollingRows(buildLegendFrame(), cardCount));

    for (int g = 0; g < legends.size(); ++g)
        curves.append(view->addChannelCurve(g, curvePen(legends[g])));

    refreshTimer = new QTimer(this);
    connect(refreshTimer, &QTimer::timeout, this, qOverload<>(&nv6842fp_Waveform::timerSlot));
    connect(&spectrumWatcher, &QFutureWatcherBase::finished, this, &nv6842fp_Waveform::spectrumReady);

    askSyncMethodIfHostsDiffer();

    QwtScaleWidget *left = plot->axisWidget(QwtPlot::yLeft);
    QwtScaleWidget *bottom = plot->axisWidget(QwtPlot::xBottom);
    left->setCursor(Qt::PointingHandCursor);
    bottom->setCursor(Qt::PointingHandCursor);
    left->setToolTip(QStringLiteral("Click to edit the range and displayed units."));
    bottom->setToolTip(QStringLiteral("Click to edit the range."));
    yAxisDlg = new axisConfig(true, parent, parent->autoscaleButton, this);
    yAxisDlg->configureVoltageAxis();
    xAxisDlg = new axisConfig(false, parent, parent->autoscaleButton, this);
    xAxisDlg->configureTimeAxis();
    // Accepting the voltage dialog switches autoscale, whose slot autoscales
    // the time axis too; the range the operator set survives that, on the
    // axis as well (a block of one scan has no span to put back).
    connect(yAxisDlg, &axisConfig::autoscaleAboutToChange, this, [this] {
        keptXRange = qMakePair(xLower, xUpper);
    });
    connect(yAxisDlg, &axisConfig::autoscaleChanged, this, [this] {
        xLower = keptXRange.first;
        xUpper = keptXRange.second;
        if (xUpper > xLower)
            plot->setAxisScale(QwtPlot::xBottom, xLower, xUpper);
    });
    yLower = yAxisDlg->lowerLimit->value();
    yUpper = yAxisDlg->upperLimit->value();
    unitOffset = yAxisDlg->acceptedOffset();
    unitMultiplier = yAxisDlg->acceptedMultiplier();
    xLower = xAxisDlg->lowerLimit->value();
    xUpper = xAxisDlg->upperLimit->value();
}

nv6842fp_Waveform::~nv6842fp_Waveform()
{
    refreshTimer->stop();
    // The driver holds the ring's address while streaming: stop it first.
    if (!demoMode && acqRunning)
        contEndStreaming(contParams, d_vi, acqReporter());
    // The transforms own their inputs: one that does not end soon is left
    // to finish on its own rather than hold up closing.
    if (spectrumRun && !spectrumRun->waitFor(analysisClosingWaitMs))
        spectrumRun->abandon();
    for (decimatedCurve *curve : qAsConst(curves)) {
        curve->detach();
        delete curve;
    }
    delete grid;
}

QWidget *nv6842fp_Waveform::buildLegendFrame()
{
    auto *frame = new QFrame;
    frame->setFrameStyle(QFrame::StyledPanel);
    auto *grid = new QGridLayout(frame);
    grid->setColumnMinimumWidth(0, 140);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(7);

    multEnv_t *multEnv = nullptr;
    if (!demoMode)
        reportDriver(viGetAttribute(d_vi, VI_ATTR_USER_DATA, &multEnv),
                     "viGetAttribute(d_vi, VI_ATTR_USER_DATA, &multEnv)");
    for (int k = 0; k < cardCount; ++k) {
        QString header;
        if (demoMode || !multEnv) {
            header = QStringLiteral("Function Card #%1 Channels:").arg(k + 1);
        } else {
            header = cardHeader(k, ViUInt16(multEnv->interfaceType),
                                ViUInt16(k < nv6842_MAX_CARDS ? multEnv->fcNumbers[k] : 0));
        }
        // Long carrier addresses wrap rather than widen the page.
        auto *headerLabel = new QLabel(header);
        headerLabel->setWordWrap(true);
        grid->addWidget(headerLabel, k, 0);
        for (int c = 0; c < 16; ++c) {
            auto *legend = new chLabel(k * 16 + c);
            connect(legend, &chLabel::labMousePress, this, &nv6842fp_Waveform::waveSlot);
            legends.append(legend);
            grid->addWidget(legend, k, c + 1);
        }
        // Queued layout requests are compared with each other: handing them
        // out per card keeps building many cards linear in their number.
        QCoreApplication::sendPostedEvents();
    }

    grid->addWidget(new QLabel(QStringLiteral("Symbols:")), 0, 17);
    symbolSize = new QComboBox;
    symbolSize->addItem(QStringLiteral("None"), 0);
    symbolSize->addItem(QStringLiteral("Small"), 2);
    symbolSize->addItem(QStringLiteral("Medium"), 4);
    symbolSize->addItem(QStringLiteral("Large"), 8);
    const QString help = QStringLiteral("Sets size of the sample symbols on the plot.");
    symbolSize->setToolTip(help);
    symbolSize->setWhatsThis(help);
    connect(symbolSize, qOverload<int>(&QComboBox::activated), this,
            &nv6842fp_Waveform::symbolSizeSlot);
    grid->addWidget(symbolSize, 0, 18);
    return frame;
}

QString nv6842fp_Waveform::cardHeader(int card, ViUInt16 intfType, ViUInt16 fcNumber)
{
    ViSession fcVi = 0;
    reportDriver(nv6842_getMultFCsession(d_vi, ViInt16(card), &fcVi),
                 "nv6842_getMultFCsession(d_vi, j, &fcVi)");
    if (intfType == VI_INTF_TCPIP) {
        ViChar buf[256] = {};
        reportDriver(viGetAttribute(fcVi, VI_ATTR_TCPIP_ADDR, buf),
                     "viGetAttribute(fcVi, VI_ATTR_TCPIP_ADDR , buf)");
        buf[sizeof buf - 1] = '\0';
        return QStringLiteral("<html><b>FC #%1</b>: TCPIP::%2::INSTR (FC %3) Channels:</html>")
            .arg(card + 1)
            .arg(QString::fromLatin1(buf))
            .arg(fcNumber);
    }
    ViUInt16 ifNum = 0;
    ViInt16 la = 0;
    reportDriver(viGetAttribute(fcVi, VI_ATTR_INTF_NUM, &ifNum),
                 "viGetAttribute(fcVi, VI_ATTR_INTF_NUM, &ifNum)");
    reportDriver(viGetAttribute(fcVi, VI_ATTR_VXI_LA, &la), "viGetAttribute(fcVi, VI_ATTR_VXI_LA, &la)");
    return QStringLiteral("<html><b>FC #%1</b>: VXI%2::%3::INSTR (FC %4) Channels:</html>")
        .arg(card + 1)
        .arg(ifNum)
        .arg(la)
        .arg(fcNumber);
}

void nv6842fp_Waveform::askSyncMethodIfHostsDiffer()
{
    if (cardCount < 2 || !lxiCarrier || demoMode)
        return;
    ViChar ipAd1[256] = {};
    ViChar ipAd2[256] = {};
    for (int i = 0; i < cardCount; ++i) {
        ViSession fc_vi = 0;
        reportDriver(nv6842_getMultFCsession(d_vi, ViInt16(i), &fc_vi),
                     "nv6842_getMultFCsession(d_vi, i, &fc_vi)");
        reportDriver(viGetAttribute(fc_vi, VI_ATTR_TCPIP_HOSTNAME, i ? ipAd2 : ipAd1),
                     "viGetAttribute(fc_vi, VI_ATTR_TCPIP_HOSTNAME, i ? ipAd2 : ipAd1)");
        ipAd1[sizeof ipAd1 - 1] = ipAd2[sizeof ipAd2 - 1] = '\0';
        if (i && std::strcmp(ipAd1, ipAd2) != 0) {
            syncMethod = nv6842fp_syncMethodDialog::run(parent, this);
            break;
        }
    }
}

void nv6842fp_Waveform::reportDriver(ViStatus status, const char *call)
{
    parent->displayError(status, call);
}

int nv6842fp_Waveform::enabledChannels() const
{
    int n = 0;
    for (quint16 mask : chanMask)
        n += qPopulationCount(mask);
    return n;
}

void nv6842fp_Waveform::updatePlot()
{
    for (int g = 0; g < curves.size(); ++g)
        if ((chanMask[g / 16] >> (g % 16)) & 1)
            curves[g]->setPen(curvePen(legends[g]));
    std::function<double(double)> convert;
    if (yAxisDlg->acceptedUnitsOn())
        convert = [this](double volts) { return yAxisDlg->toDisplay(volts); };
    timePlot::showBlock(curves, std::vector<uint16_t>(chanMask.begin(), chanMask.end()), times.get(),
                        data.get(), scans, convert);
    if (parent->autoscaleButton->isChecked())
        plot->setAxisAutoScale(QwtPlot::yLeft, true);
    plot->replot();

    const QPair<double, double> y = yAxisDlg->displayRange(-10.24, 10.24);
    const double y0 = y.first, y1 = y.second;
    const double x0 = scans > 0 ? times[0] : xLower;
    const double x1 = scans > 0 ? times[size_t(scans) - 1] : xUpper;
    zoomer->setZoomBase(QRectF(QPointF(x0, y0), QPointF(x1, y1)).normalized());
}

void nv6842fp_Waveform::waveSlot()
{
    updatePlot();
}

void nv6842fp_Waveform::asSlot(bool asOn)
{
    plot->setAxisAutoScale(QwtPlot::xBottom, asOn);
    plot->setAxisAutoScale(QwtPlot::yLeft, asOn);
    plot->updateAxes();
    const QwtInterval x = plot->axisInterval(QwtPlot::xBottom);
    xLower = x.minValue();
    xUpper = x.maxValue();
    plot->setAxisScale(QwtPlot::xBottom, xLower, xUpper);
    updatePlot();
}

void nv6842fp_Waveform::sliderChanged(int value)
{
    positionLabel->setText(
        QStringLiteral("<html><b>%1 / %2</b></html>").arg(value).arg(blockSlider->maximum()));
    if (sender() != blockSlider)
        return;
    // A slider moved by hand shows its block; it prepares the panel when no
    // start has, but starts no run that would move it on.
    if (!setupDone) {
        acqSettings settings;
        if (!prepareAcquisition(&settings))
            return;
    }
    timerSlot(false);
}

void nv6842fp_Waveform::symbolSizeSlot()
{
    const int s = symbolSize->currentData().toInt();
    for (decimatedCurve *curve : qAsConst(curves)) {
        auto *symbol = const_cast<QwtSymbol *>(curve->symbol());
        if (symbol)
            symbol->setSize(s, s);
        curve->itemChanged();
    }
    plot->replot();
}

void nv6842fp_Waveform::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint global = event->globalPos();
    auto over = [&](QwtScaleWidget *w) { return w->rect().contains(w->mapFromGlobal(global)); };
    if (over(plot->axisWidget(QwtPlot::yLeft)))
        openVoltageAxisDialog();
    else if (over(plot->axisWidget(QwtPlot::xBottom)))
        openTimeAxisDialog();
    QWidget::mouseReleaseEvent(event);
}

void nv6842fp_Waveform::openVoltageAxisDialog()
{
    const QwtInterval y = plot->axisInterval(QwtPlot::yLeft);
    const QPair<double, double> volts = yAxisDlg->voltsRange(y.minValue(), y.maxValue());
    yLower = volts.first;
    yUpper = volts.second;
    yAxisDlg->lowerLimit->setValue(yLower);
    yAxisDlg->upperLimit->setValue(yUpper);
    yAxisDlg->rangeGroup->setChecked(!parent->autoscaleButton->isChecked());
    if (yAxisDlg->exec() == QDialog::Accepted) {
        if (yAxisDlg->rangeGroup->isChecked()) {
            yLower = yAxisDlg->lowerLimit->value();
            yUpper = yAxisDlg->upperLimit->value();
        }
        unitOffset = yAxisDlg->acceptedOffset();
        unitMultiplier = yAxisDlg->acceptedMultiplier();
        const QPair<double, double> shown = yAxisDlg->displayRange(yLower, yUpper);
        const double lo = shown.first, hi = shown.second;
        plot->setAxisScale(QwtPlot::yLeft, lo, hi);
        picker->setYRange(lo, hi);
        updatePlot();
    }
    QFont titleFont(QStringLiteral("arial"), 10);
    titleFont.setBold(true);
    const bool units = yAxisDlg->acceptedUnitsOn();
    QwtText title(units ? yAxisDlg->acceptedUnitName() : QStringLiteral("Volts"));
    title.setFont(titleFont);
    plot->setAxisTitle(QwtPlot::yLeft, title);
    picker->setUnitName(units ? yAxisDlg->acceptedUnitName() : QString());
    plot->replot();
}

void nv6842fp_Waveform::openTimeAxisDialog()
{
    const QwtInterval x = plot->axisInterval(QwtPlot::xBottom);
    const double first = scans >= 1 ? times[0] : x.minValue();
    const double last = scans >= 1 ? times[size_t(scans) - 1] : x.maxValue();
    xAxisDlg->lowerLimit->setRange(first, last);
    xAxisDlg->upperLimit->setRange(first, last);
    xLower = x.minValue();
    xUpper = x.maxValue();
    xAxisDlg->lowerLimit->setValue(xLower);
    xAxisDlg->upperLimit->setValue(xUpper);
    if (xAxisDlg->exec() == QDialog::Accepted) {
        xLower = xAxisDlg->lowerLimit->value();
        xUpper = xAxisDlg->upperLimit->value();
        // A block of one scan has a single time: the axis keeps its span.
        if (xUpper > xLower)
            plot->setAxisScale(QwtPlot::xBottom, xLower, xUpper);
        picker->setXRange(xLower, xUpper);
        updatePlot();
    }
    plot->replot();
}
