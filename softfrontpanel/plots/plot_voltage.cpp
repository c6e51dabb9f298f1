#include "plot_voltage.h"

#include "axisConfigFft.h"
#include "chLabelFft.h"
#include "decimatedCurve.h"
#include "harmonicLabels.h"
#include "myQwtPlotPickerFft.h"
#include "myXQwtScaleDraw.h"
#include "myYQwtScaleDraw.h"
#include "partsLabel.h"
#include "plotHelpers.h"
#include "plotPictureBar.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QCoreApplication>
#include <QGridLayout>
#include <QScrollArea>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_engine.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

using sfpPlots::setHelp;

plot_voltage::plot_voltage(int cards, QAbstractButton *autoscaleToggle, const QString &xTitle,
                           const QString &yTitle, int type, QWidget *parent)
    : QWidget(parent), cards(cards), autoscaleToggle(autoscaleToggle), type(type),
      s(logicalDpiX() / 96.0), peakTitle(yTitle)
{
    for (int i = 0; i < cards * 16; ++i) {
        labels.append(new chLabelFft(i, this));
        connect(labels.last(), &chLabelFft::clicked, this, &plot_voltage::labelClicked);
    }
    curveOffsetDb.fill(0.0, labels.size());
    buildPlot(xTitle, yTitle);
    buildMarkers();
    harmonicMarks = new harmonicLabels(plot);
    controls = new fftViewControls(this);

    markerLabel = new partsLabel(this);
    setWidestReadout();
    setHelp(markerLabel, QStringLiteral("In order to set/move the markers hold Ctrl key and "
                                        "click the right and left mouse buttons."));
    snapBox = new QCheckBox(QStringLiteral("Snap to Sample"), this);
    snapBox->setChecked(true);
    setHelp(snapBox, QStringLiteral("Snaps the marker to the nearest sample (any channel)."));
    symbolSize = new QComboBox(this);
    symbolSize->addItem(QStringLiteral("None"), 0);
    symbolSize->addItem(QStringLiteral("Small"), 2);
    symbolSize->addItem(QStringLiteral("Medium"), 4);
    symbolSize->addItem(QStringLiteral("Large"), 8);
    setHelp(symbolSize, QStringLiteral("Sets size of the sample symbols on the plot."));
    connect(symbolSize, QOverload<int>::of(&QComboBox::activated), this,
            &plot_voltage::symbolSizeSlot);

    auto *topRow = new QHBoxLayout;
    topRow->addStretch();
    topRow->addWidget(markerLabel);
    topRow->addSpacing(int(25 * s));
    topRow->addWidget(snapBox);
    topRow->addWidget(new QLabel(QStringLiteral("Symbols:"), this));
    topRow->addWidget(symbolSize);
    topRow->addStretch();
    // The picture actions have a row of their own: the read-out row is as
    // wide as a small screen allows.
    pictureBar = new plotPictureBar(this);
    pictureBar->fileBaseName = QStringLiteral("spectrum");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pictureBar, 0, Qt::AlignRight);
    layout->addLayout(topRow);
    layout->addWidget(controls);
    layout->addWidget(plot, 1);
    layout->addWidget(sfpPlots::scrollingRows(buildCardRows(), cards));

    yAxisDlg = new axisConfigFft(this);
    yAxisDlg->rangeGroup->setCheckable(true);
    yAxisDlg->setLimitFormat(QStringLiteral(" dB "), 0, 1);
    yAxisDlg->setLimitRange(-300, 30);
    xAxisDlg = new axisConfigFft(this);
    xAxisDlg->setLimitFormat(QStringLiteral(" Hz "), 0, 1);
    xAxisDlg->setLimitRange(0, 1);

    if (autoscaleToggle)
        connect(autoscaleToggle, &QAbstractButton::toggled, this,
                &plot_voltage::autoScaleClicked);
    connect(controls, &fftViewControls::unitChanged, this, &plot_voltage::unitShown);
    readBounds();
    markerMoved(QPoint(0, 0));
}

plot_voltage::~plot_voltage()
{
    // The labels refer to a curve: they go first.
    delete harmonicMarks;
    // Detached curves belong to nobody else; attached ones leave the plot.
    qDeleteAll(curves);
}

void plot_voltage::buildPlot(const QString &xTitle, const QString &yTitle)
{
    plot = new QwtPlot(this);
    plot->setFrameStyle(QFrame::NoFrame);
    plot->setCanvasBackground(QColor(Qt::darkBlue).darker(200).darker(200));
    plot->setMinimumHeight(int(100 * s));
    const QFont tickFont(QStringLiteral("courier"), 8);
    const QFont titleFont(QStringLiteral("arial"), 9, QFont::Bold);
    for (int axis : {int(QwtPlot::xBottom), int(QwtPlot::yLeft)})
        plot->setAxisFont(axis, tickFont);
    QwtText xText(xTitle);
    xText.setFont(titleFont);
    plot->setAxisTitle(QwtPlot::xBottom, xText);
    QwtText yText(yTitle);
    yText.setFont(titleFont);
    plot->setAxisTitle(QwtPlot::yLeft, yText);
    plot->setAxisMaxMajor(QwtPlot::xBottom, 5);

    auto *yEngine = new QwtLinearScaleEngine;
    yEngine->setMargins(0.1, 0.1);
    plot->setAxisScaleEngine(QwtPlot::yLeft, yEngine);
    auto *xEngine = new QwtLinearScaleEngine(10);
    xEngine->setAttribute(QwtScaleEngine::Floating, true);
    plot->setAxisScaleEngine(QwtPlot::xBottom, xEngine);
    plot->setAxisScale(QwtPlot::xBottom, 0, 1);
    plot->setAxisScale(QwtPlot::yLeft, -300, 30);

    yScaleDraw = new myYQwtScaleDraw;
    yScaleDraw->setTickLength(QwtScaleDiv::MajorTick, 8 * s);
    plot->setAxisScaleDraw(QwtPlot::yLeft, yScaleDraw);
    xScaleDraw = new myXQwtScaleDraw;
    xScaleDraw->setLabelAlignment(Qt::AlignLeft | Qt::AlignBottom);
    xScaleDraw->setTickLength(QwtScaleDiv::MajorTick, 8 * s);
    plot->setAxisScaleDraw(QwtPlot::xBottom, xScaleDraw);

    for (int i = 0; i < labels.size(); ++i) {
        const QColor colour = labels[i]->colour();
        auto *curve = new decimatedCurve(QStringLiteral("Ch %1").arg(i % 16 + 1));
        curve->setPen(QPen(colour, 1, Qt::SolidLine));
        curve->setSymbol(
            new QwtSymbol(QwtSymbol::Ellipse, QBrush(colour), QPen(colour, 1), QSize(0, 0)));
        curves.append(curve);
    }

    picker = new myQwtPlotPickerFft(type, plot->canvas());
    zoomer = new QwtPlotZoomer(QwtPlot::xBottom, QwtPlot::yLeft, plot->canvas(), true);
    zoomer->setRubberBandPen(QPen(Qt::white));
    zoomer->setTrackerMode(QwtPicker::AlwaysOff);
    connect(zoomer, &QwtPlotZoomer::zoomed, this, &plot_voltage::zoomed);

    grid = new QwtPlotGrid;
    grid->enableXMin(true);
    const QPen gridPen(QColor(Qt::darkGray).darker(200), 0, Qt::DotLine);
    grid->setMajorPen(gridPen);
    grid->setMinorPen(gridPen);
    grid->attach(plot);

    QwtScaleWidget *yWidget = plot->axisWidget(QwtPlot::yLeft);
    yWidget->setCursor(Qt::PointingHandCursor);
    yWidget->setToolTip(QStringLiteral("Click to edit the range and displayed units."));
    QwtScaleWidget *xWidget = plot->axisWidget(QwtPlot::xBottom);
    xWidget->setCursor(Qt::PointingHandCursor);
    xWidget->setToolTip(QStringLiteral("Click to edit the range."));
}

void plot_voltage::buildMarkers()
{
    const Qt::MouseButton buttons[2] = {Qt::LeftButton, Qt::RightButton};
    const int symbolSide = int(9 * s);
    for (int m = 0; m < 2; ++m) {
        marker[m] = new QwtPlotMarker;
        marker[m]->setLineStyle(QwtPlotMarker::VLine);
        marker[m]->setLinePen(QPen(Qt::white, 0, Qt::DashDotLine));
        marker[m]->setLabelAlignment(Qt::AlignRight | Qt::AlignBottom);
        marker[m]->setSymbol(new QwtSymbol(QwtSymbol::XCross, QBrush(Qt::white),
                                           QPen(Qt::white), QSize(symbolSide, symbolSide)));
        marker[m]->attach(plot);

        markerPicker[m] = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft,
                                            QwtPicker::NoRubberBand, QwtPicker::AlwaysOff,
                                            plot->canvas());
        markerPicker[m]->setStateMachine(new QwtPickerDragPointMachine);
        markerPicker[m]->setTrackerPen(QPen(Qt::white));
        markerPicker[m]->setMousePattern(QwtEventPattern::MouseSelect1, buttons[m],
                                         Qt::ControlModifier);
        connect(markerPicker[m], QOverload<const QPoint &>::of(&QwtPicker::appended), this,
                &plot_voltage::markerMoved);
        connect(markerPicker[m], QOverload<const QPoint &>::of(&QwtPicker::moved), this,
                &plot_voltage::markerMoved);
    }
}

QWidget *plot_voltage::buildCardRows()
{
    auto *rows = new QWidget;
    auto *rowsGrid = new QGridLayout(rows);
    rowsGrid->setContentsMargins(0, 0, 0, 0);
    rowsGrid->setSpacing(int(2 * s));
    for (int card = 0; card < cards; ++card) {
        rowsGrid->addWidget(new QLabel(QStringLiteral("Function Card #%1 ").arg(card + 1), rows),
                        card, 0);
        rowsGrid->addWidget(new QLabel(QStringLiteral(" Channels:"), rows), card, 1);
        auto *frame = new QFrame(rows);
        auto *row = new QHBoxLayout(frame);
        row->setSpacing(int(7 * s));
        const int margin = int(2 * s);
        row->setContentsMargins(margin, margin, margin, margin);
        for (int c = 0; c < 16; ++c) {
            labels[card * 16 + c]->setParent(frame);
            row->addWidget(labels[card * 16 + c]);
        }
        rowsGrid->addWidget(frame, card, 2);
        auto *all = new QPushButton(QStringLiteral("All"), rows);
        all->setToolTip(QStringLiteral("Show all channels"));
        auto *none = new QPushButton(QStringLiteral("None"), rows);
        none->setToolTip(QStringLiteral("Hide all channels"));
        connect(all, &QPushButton::clicked, this, [this, card]() { selectAll(card); });
        connect(none, &QPushButton::clicked, this, [this, card]() { deselectAll(card); });
        // Narrow buttons keep the row within a small window.
        for (QPushButton *button : {all, none})
            button->setMaximumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("None")) + int(24 * s));
        rowsGrid->addWidget(all, card, 3);
        rowsGrid->addWidget(none, card, 4);
        allButtons.append(all);
        noneButtons.append(none);
        // Queued layout requests are compared with each other: handing them
        // out per card keeps building many cards linear in their number.
        QCoreApplication::sendPostedEvents();
    }
    return rows;
}

void plot_voltage::setFrequencyRange(double f0, double f1, bool autoscaleOn)
{
    if (autoscaleOn) {
        plot->setAxisAutoScale(QwtPlot::xBottom, false);
        plot->setAxisScale(QwtPlot::xBottom, f0, f1);
    }
    plot->setAxisAutoScale(QwtPlot::yLeft, autoscaleOn);
    xAxisDlg->setLimitRange(f0, f1);
    harmonicMarks->follow();
    plot->replot();
    scaleUpdate();
    updateZoomBase();
    plot->replot();
    markerMoved(QPoint(-1, 0));
}

QString plot_voltage::markerText() const
{
    return markerLabel->text();
}

void plot_voltage::readBounds()
{
    const QwtInterval x = plot->axisInterval(QwtPlot::xBottom);
    const QwtInterval y = plot->axisInterval(QwtPlot::yLeft);
    xLo = x.minValue();
    xHi = x.maxValue();
    yLo = y.minValue();
    yHi = y.maxValue();
}

void plot_voltage::scaleUpdate()
{
    readBounds();
    picker->setXRange(xLo, xHi);
    picker->setYRange(yLo, yHi);
    setAxisPrecision(xLo, xHi, yLo, yHi);
}

void plot_voltage::updateZoomBase()
{
    zoomer->setZoomBase(QRectF(QPointF(xLo, yLo), QPointF(xHi, yHi)));
    setAxisPrecision(xLo, xHi, yLo, yHi);
}

void plot_voltage::setSelection(int card, bool on)
{
    if (card < 0 || card >= cards)
        return;
    batching = true;
    for (int c = 0; c < 16; ++c)
        labels[card * 16 + c]->setSelected(on);
    batching = false;
    emit toggleChannels();
}

void plot_voltage::selectAll(int card)
{
    setSelection(card, true);
}

void plot_voltage::deselectAll(int card)
{
    setSelection(card, false);
}

void plot_voltage::labelClicked()
{
    if (!batching)
        emit toggleChannels();
}

void plot_voltage::symbolSizeSlot()
{
    const int size = int(symbolSize->currentData().toInt() * s);
    for (QwtPlotCurve *curve : curves) {
        const QwtSymbol *old = curve->symbol();
        curve->setSymbol(new QwtSymbol(old ? old->style() : QwtSymbol::Ellipse,
                                       old ? old->brush() : QBrush(curve->pen().color()),
                                       old ? old->pen() : curve->pen(), QSize(size, size)));
    }
    plot->replot();
}

void plot_voltage::markerMoved(QPoint p)
{
    const int m = sender() == markerPicker[0] ? 0 : 1;
    if (p.x() >= 0) {
        if (snapBox->isChecked()) {
            int bestCurve = -1;
            int bestSample = -1;
            double bestDistance = 0;
            for (int i = 0; i < curves.size(); ++i) {
                double distance = 0;
                const auto *fast = dynamic_cast<const decimatedCurve *>(curves[i]);
                const int sample = fast ? fast->closestSample(p, &distance)
                                        : curves[i]->closestPoint(p, &distance);
                if (sample >= 0 && (bestCurve < 0 || distance < bestDistance)) {
                    bestCurve = i;
                    bestSample = sample;
                    bestDistance = distance;
                }
            }
            if (bestCurve >= 0) {
                marker[m]->setValue(curves[bestCurve]->sample(size_t(bestSample)));
                markerTitle[m] = curves[bestCurve]->title().text();
                markerCurve[m] = bestCurve;
                markerSample[m] = bestSample;
                plot->replot();
                setMarkedCurve(bestCurve);
            }
        } else {
            marker[m]->setValue(plot->invTransform(QwtPlot::xBottom, p.x()),
                                plot->invTransform(QwtPlot::yLeft, p.y()));
            markerTitle[m].clear();
            plot->replot();
            setMarkedCurve(-1);
        }
    } else if (snapBox->isChecked()) {
        // New data: a snapped marker keeps its frequency (the padding or the
        // rate may have changed the bins) and takes that bin's new magnitude.
        for (int k = 0; k < 2; ++k) {
            const int c = markerCurve[k];
            if (c < 0 || c >= curves.size() || markerSample[k] < 0)
                continue;
            const int sample = sfpPlots::nearestSampleAt(curves[c], marker[k]->xValue());
            if (sample >= 0) {
                markerSample[k] = sample;
                marker[k]->setValue(curves[c]->sample(size_t(sample)));
            }
        }
    }
    updateMarkerText();
}

QStringList plot_voltage::markerReadoutParts(const MarkerReading &left,
                                             const MarkerReading &right) const
{
    const SpectrumUnit unit = controls ? controls->settings().unit : SpectrumUnit::dBPeak;
    const QString suffix = QLatin1Char(' ') + QString::fromStdString(spectrumUnitSuffix(unit));
    auto hz = [](double v) { return QString::number(v, 'f', 1) + QStringLiteral(" Hz"); };
    auto value = [&](double v) {
        QString text = QString::number(v, 'f', 1) + suffix;
        // A density reads in volts per root hertz too.
        if (unit == SpectrumUnit::noiseDensity)
            text += QStringLiteral(" (") + QString::fromStdString(densityText(v)) + QLatin1Char(')');
        return text;
    };
    // A difference of two levels is a ratio in dB, whatever the unit.
    auto db = [](double v) { return QString::number(v, 'f', 1) + QStringLiteral(" dB"); };
    // The lines may break after each of these parts only.
    return {QStringLiteral("Markers: (%1, %2%3), ").arg(hz(left.x), left.prefix, value(left.y)),
            QStringLiteral("(%1, %2%3)  |  ").arg(hz(right.x), right.prefix, value(right.y)),
            QStringLiteral("df = %1, ").arg(hz(std::fabs(left.x - right.x))),
            QStringLiteral("dMagnitude = %1").arg(db(std::fabs(left.y - right.y)))};
}

void plot_voltage::updateMarkerText()
{
    const int left = marker[0]->xValue() < marker[1]->xValue() ? 0 : 1;
    auto reading = [this](int m) {
        return MarkerReading{marker[m]->xValue(),
                             markerTitle[m].isEmpty()
                                 ? QString()
                                 : QStringLiteral("[") + markerTitle[m] + QStringLiteral("] "),
                             marker[m]->yValue()};
    };
    markerLabel->setParts(markerReadoutParts(reading(left), reading(1 - left)));
}

void plot_voltage::zoomed(QRectF)
{
    if (autoscaleToggle)
        autoscaleToggle->setChecked(false);
    readBounds();
    picker->setXRange(xLo, xHi);
    picker->setYRange(yLo, yHi);
    setAxisPrecision(xLo, xHi, yLo, yHi);
    plot->replot();
}

void plot_voltage::applyXPrecision(double lower, double upper)
{
    if (lower == upper)
        return;
    const double span = std::fabs(upper - lower);
    if (span >= 1)
        xScaleDraw->setPrecision(1);
    else
        xScaleDraw->setPrecision(upper < 86400 && span < 0.1 ? 6 : 3);
    xScaleDraw->invalidateCache();
}

void plot_voltage::applyYPrecision(double lower, double upper)
{
    yScaleDraw->setPrecision(std::fabs(upper - lower) < 1 ? 5 : 3);
    yScaleDraw->invalidateCache();
}

void plot_voltage::setAxisPrecision(double xLower, double xUpper, double yLower, double yUpper)
{
    applyXPrecision(xLower, xUpper);
    applyYPrecision(yLower, yUpper);
}

bool plot_voltage::over(QWidget *widget, const QPoint &pos) const
{
    return widget->isVisible() && widget->rect().contains(widget->mapFrom(this, pos));
}

void plot_voltage::mouseReleaseEvent(QMouseEvent *event)
{
    readBounds();
    if (over(plot->axisWidget(QwtPlot::yLeft), event->pos())) {
        fitYDialogToUnit();
        yAxisDlg->setLimits(yLo, yHi);
        yAxisDlg->rangeGroup->setChecked(!autoscaleToggle || !autoscaleToggle->isChecked());
        if (yAxisDlg->exec() == QDialog::Accepted) {
            const bool custom = yAxisDlg->rangeGroup->isChecked();
            if (autoscaleToggle)
                autoscaleToggle->setChecked(!custom);
            if (custom) {
                const double lo = yAxisDlg->lowerLimit->value();
                const double hi = yAxisDlg->upperLimit->value();
                plot->setAxisScale(QwtPlot::yLeft, lo, hi);
                picker->setYRange(lo, hi);
                applyYPrecision(lo, hi);
            } else {
                // Autoscale is on again: the axis follows the data.
                plot->setAxisAutoScale(QwtPlot::yLeft, true);
            }
        }
    } else if (over(plot->axisWidget(QwtPlot::xBottom), event->pos())) {
        xAxisDlg->setLimits(xLo, xHi);
        if (xAxisDlg->exec() == QDialog::Accepted) {
            if (autoscaleToggle)
                autoscaleToggle->setChecked(false);
            const double lo = xAxisDlg->lowerLimit->value();
            const double hi = xAxisDlg->upperLimit->value();
            plot->setAxisScale(QwtPlot::xBottom, lo, hi);
            picker->setXRange(lo, hi);
        }
    }
    plot->replot();
    QWidget::mouseReleaseEvent(event);
}
