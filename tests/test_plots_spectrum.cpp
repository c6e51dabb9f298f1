// The spectrum plot: its curves and legends, All/None, the markers' read-out,
// snapping to the nearest sample (points computed from the plot's own scale
// maps), new data moving snapped markers, zoom and autoscale, the frequency
// range of a spectrum update, axis precision, and the axis dialogs opened by
// clicking an axis; the read-out keeps its shape whatever it reads.
#include "axisConfigFft.h"
#include "chLabelFft.h"
#include "messagerecorder.h"
#include "myQwtPlotPickerFft.h"
#include "myXQwtScaleDraw.h"
#include "myYQwtScaleDraw.h"
#include "partsLabel.h"
#include "plot_voltage.h"
#include "test_connect_modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_picker.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

namespace {

// Two cards, an Autoscale switch that is on, the plot shown at a fixed size.
struct Fixture {
    QPushButton autoscale;
    std::unique_ptr<plot_voltage> pv;
    Fixture()
    {
        autoscale.setCheckable(true);
        autoscale.setChecked(true);
        pv = std::make_unique<plot_voltage>(2, &autoscale, QStringLiteral("Hz"),
                                            QStringLiteral("Magnitude [dB]"), 1);
        pv->resize(900, 600);
        pv->show();
        exposed = QTest::qWaitForWindowExposed(pv.get());
    }
    bool exposed = false;
};

// 100 bins 50 Hz apart; curve i gets the magnitudes base - k / 10 - 30 * i.
void fillSpectrum(plot_voltage &pv, int curve, double base)
{
    QVector<double> f(100), db(100);
    for (int k = 0; k < 100; ++k) {
        f[k] = 50.0 * k;
        db[k] = base - k / 10.0 - 30.0 * curve;
    }
    pv.curves[curve]->setSamples(f, db);
}

// Channels 1 and 2 of card 1 filled and shown over the whole range.
void showTwoSpectra(plot_voltage &pv)
{
    for (int c : {0, 1}) {
        fillSpectrum(pv, c, -10);
        pv.curves[c]->attach(pv.plot);
    }
    pv.setFrequencyRange(0, 4950, true);
}

QPoint pixelOf(const plot_voltage &pv, double x, double y, int dx = 0, int dy = 0)
{
    return QPoint(int(pv.plot->canvasMap(QwtPlot::xBottom).transform(x)) + dx,
                  int(pv.plot->canvasMap(QwtPlot::yLeft).transform(y)) + dy);
}

// A marker's picker with its pixel signals (QwtPlotPicker hides them behind
// its own overloads in plot coordinates).
QwtPicker *pixelPicker(plot_voltage &pv, int marker)
{
    return pv.markerPicker[marker];
}

void clickAxis(plot_voltage &pv, int axis)
{
    QwtScaleWidget *widget = pv.plot->axisWidget(axis);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

} // namespace

class TestPlotsSpectrum : public QObject
{
    Q_OBJECT
private slots:
    void createdEmpty();
    void allAndNone();
    void labelClickTogglesChannels();
    void snapWithoutCurveLeavesMarker();
    void snapsToNearestSample();
    void markersAtSameX();
    void newDataMovesSnappedMarkers();
    void freeMarkerAtPointer();
    void readoutKeepsItsShape_data();
    void readoutKeepsItsShape();
    void zoomUnchecksAutoscale();
    void frequencyRange();
    void precision_data();
    void precision();
    void symbolSizes();
    void yAxisDialog();
    void xAxisDialog();
};

void TestPlotsSpectrum::createdEmpty()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    QCOMPARE(pv.curves.size(), 32);
    QCOMPARE(pv.labels.size(), 32);
    for (int i = 0; i < 32; ++i) {
        QVERIFY(!pv.curves[i]->plot());
        QCOMPARE(pv.curves[i]->title().text(), QStringLiteral("Ch %1").arg(i % 16 + 1));
        QCOMPARE(pv.curves[i]->pen().color(), pv.labels[i]->colour());
        QVERIFY(!pv.labels[i]->isSelected());
        QCOMPARE(pv.labels[i]->isChEnabled(), i % 16 == 0);
    }
    QCOMPARE(pv.markerText(), QStringLiteral("Markers: (0.0 Hz, 0.0 dB), (0.0 Hz, 0.0 dB)  |  "
                                             "df = 0.0 Hz, dMagnitude = 0.0 dB"));
    QVERIFY(pv.snapBox->isChecked());
    QCOMPARE(pv.plot->axisInterval(QwtPlot::yLeft).minValue(), -300.0);
    QCOMPARE(pv.plot->axisInterval(QwtPlot::xBottom).maxValue(), 1.0);
    QCOMPARE(pv.xAxisDlg->lowerLimit->suffix(), QStringLiteral(" Hz "));
    QVERIFY(pv.yAxisDlg->rangeGroup->isCheckable());
    QVERIFY(!pv.xAxisDlg->rangeGroup->isCheckable());
    QCOMPARE(pv.yAxisDlg->lowerLimit->minimum(), -300.0);
    QCOMPARE(pv.yAxisDlg->upperLimit->maximum(), 30.0);
    QCOMPARE(pv.markerPicker[1]->mousePattern()[QwtEventPattern::MouseSelect1].button,
             Qt::RightButton);
    QCOMPARE(pv.markerPicker[0]->mousePattern()[QwtEventPattern::MouseSelect1].modifiers,
             Qt::KeyboardModifiers(Qt::ControlModifier));
}

void TestPlotsSpectrum::allAndNone()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    QSignalSpy toggled(&pv, &plot_voltage::toggleChannels);
    pv.allButtons[1]->click();
    QCOMPARE(toggled.count(), 1);
    for (int i = 0; i < 32; ++i)
        QCOMPARE(pv.labels[i]->isSelected(), i >= 16);
    pv.noneButtons[1]->click();
    QCOMPARE(toggled.count(), 2);
    for (int i = 0; i < 32; ++i)
        QVERIFY(!pv.labels[i]->isSelected());
}

void TestPlotsSpectrum::labelClickTogglesChannels()
{
    Fixture fx;
    QSignalSpy toggled(fx.pv.get(), &plot_voltage::toggleChannels);
    QTest::mouseClick(fx.pv->labels[3], Qt::LeftButton);
    QVERIFY(fx.pv->labels[3]->isSelected());
    QCOMPARE(toggled.count(), 1);
    fx.pv->labels[20]->setChEnabled(true);
    QCOMPARE(toggled.count(), 2);
    fx.pv->labels[20]->setChEnabled(true); // no change, nothing to redo
    QCOMPARE(toggled.count(), 2);
}

void TestPlotsSpectrum::snapWithoutCurveLeavesMarker()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    fillSpectrum(pv, 0, -10); // data, but the curve is not shown
    pv.markerMoved(QPoint(200, 100));
    QCOMPARE(pv.marker[1]->value(), QPointF(0, 0));
    QVERIFY(pv.markerTitle[1].isEmpty());
}

void TestPlotsSpectrum::snapsToNearestSample()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    showTwoSpectra(pv);

    // Off bin 40 of channel 1 (-14 dB) by less than half the bin spacing
    // (some 5 to 8 pixels, depending on the fonts around the canvas).
    pv.markerMoved(pixelOf(pv, 2000, -14, 1, -2));
    QCOMPARE(pv.marker[1]->value(), QPointF(2000, -14));
    QCOMPARE(pv.markerTitle[1], QStringLiteral("Ch 1"));
    QCOMPARE(pv.markerCurve[1], 0);
    QCOMPARE(pv.markerSample[1], 40);

    // Near bin 60 of channel 2 (-10 - 6 - 30 dB), through marker 1's picker.
    emit pixelPicker(pv, 0)->appended(pixelOf(pv, 3000, -46, -1, 1));
    QCOMPARE(pv.marker[0]->value(), QPointF(3000, -46));
    QCOMPARE(pv.markerTitle[0], QStringLiteral("Ch 2"));
    QCOMPARE(pv.markerSample[0], 60);
    QCOMPARE(pv.markerText(), QStringLiteral("Markers: (2000.0 Hz, [Ch 1] -14.0 dB), "
                                             "(3000.0 Hz, [Ch 2] -46.0 dB)  |  "
                                             "df = 1000.0 Hz, dMagnitude = 32.0 dB"));
}

void TestPlotsSpectrum::markersAtSameX()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    showTwoSpectra(pv);
    emit pixelPicker(pv, 0)->moved(pixelOf(pv, 1000, -12));
    pv.markerMoved(pixelOf(pv, 1000, -42));
    QCOMPARE(pv.marker[0]->xValue(), pv.marker[1]->xValue());
    QCOMPARE(pv.markerText(), QStringLiteral("Markers: (1000.0 Hz, [Ch 2] -42.0 dB), "
                                             "(1000.0 Hz, [Ch 1] -12.0 dB)  |  "
                                             "df = 0.0 Hz, dMagnitude = 30.0 dB"));
}

void TestPlotsSpectrum::newDataMovesSnappedMarkers()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    fillSpectrum(pv, 0, -10);
    pv.curves[0]->attach(pv.plot);
    pv.setFrequencyRange(0, 4950, true);
    // Never placed: both markers refer to sample 0 of the first curve.
    QCOMPARE(pv.marker[0]->value(), QPointF(0, -10));
    QCOMPARE(pv.marker[1]->value(), QPointF(0, -10));

    pv.markerMoved(pixelOf(pv, 2500, -15));
    QCOMPARE(pv.markerSample[1], 50);
    // The next spectrum: bin 50 is at the floor the spectrum code gives empty bins.
    QVector<double> f(100), db(100, -20.0);
    for (int k = 0; k < 100; ++k)
        f[k] = 50.0 * k;
    db[50] = -400.0;
    pv.curves[0]->setSamples(f, db);
    pv.setFrequencyRange(0, 4950, true);
    QCOMPARE(pv.marker[1]->value(), QPointF(2500, -400));
    QCOMPARE(pv.marker[0]->value(), QPointF(0, -20));
    QCOMPARE(pv.markerText(), QStringLiteral("Markers: (0.0 Hz, -20.0 dB), (2500.0 Hz, [Ch 1] "
                                             "-400.0 dB)  |  df = 2500.0 Hz, "
                                             "dMagnitude = 380.0 dB"));

    // Ten times the padding: ten times the bins, 5 Hz apart. The marker stays
    // at 2500 Hz (now bin 500) and reads that bin.
    QVector<double> fineF(1000), fineDb(1000);
    for (int k = 0; k < 1000; ++k) {
        fineF[k] = 5.0 * k;
        fineDb[k] = -k / 100.0;
    }
    pv.curves[0]->setSamples(fineF, fineDb);
    pv.setFrequencyRange(0, 4995, true);
    QCOMPARE(pv.marker[1]->value(), QPointF(2500, -5));
    QCOMPARE(pv.markerSample[1], 500);
    QCOMPARE(pv.marker[0]->value(), QPointF(0, 0));

    // A marker beyond the new spectrum stays.
    pv.curves[0]->setSamples(f.mid(0, 10), db.mid(0, 10));
    pv.setFrequencyRange(0, 450, true);
    QCOMPARE(pv.marker[1]->value(), QPointF(2500, -5));
}

void TestPlotsSpectrum::freeMarkerAtPointer()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    fillSpectrum(pv, 0, -10);
    pv.curves[0]->attach(pv.plot);
    pv.setFrequencyRange(0, 4950, true);
    pv.snapBox->setChecked(false);
    const QPoint p(321, 123);
    pv.markerMoved(p);
    QCOMPARE(pv.marker[1]->xValue(), pv.plot->canvasMap(QwtPlot::xBottom).invTransform(p.x()));
    QCOMPARE(pv.marker[1]->yValue(), pv.plot->canvasMap(QwtPlot::yLeft).invTransform(p.y()));
    QVERIFY(pv.markerTitle[1].isEmpty());
    QVERIFY(!pv.markerText().contains(QLatin1Char('[')));
}

void TestPlotsSpectrum::readoutKeepsItsShape_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("narrow") << 600;
    QTest::newRow("wide") << 1600;
}

void TestPlotsSpectrum::readoutKeepsItsShape()
{
    // Whatever the markers read, the plot below the read-out stays where it
    // is, and the lines break only where a part of the read-out ends: after
    // the first marker, after the bar, before "dMagnitude".
    QFETCH(int, width);
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    pv.resize(width, 600);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QRect plotPlace = pv.plot->geometry(); // both markers at 0.0 Hz, 0.0 dB
    const struct { double x0, y0, x1, y1; const char *title0, *title1; } readings[] = {
        {24999.9, -299.9, 12.5, -3.1, "Ch 16", "Ch 9"}, {120, -60.2, 4100, -8, "", "Ch 1"}};
    for (const auto &r : readings) {
        pv.marker[0]->setValue(r.x0, r.y0);
        pv.marker[1]->setValue(r.x1, r.y1);
        pv.markerTitle[0] = QString::fromLatin1(r.title0);
        pv.markerTitle[1] = QString::fromLatin1(r.title1);
        pv.markerMoved(QPoint(-1, 0));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(pv.plot->geometry(), plotPlace);

        const QString text = pv.markerText();
        const QList<int> partEnds = {int(text.indexOf(QLatin1String("), (")) + 3),
                                     int(text.indexOf(QLatin1String("  |  ")) + 5),
                                     int(text.indexOf(QLatin1String("dMagnitude = ")))};
        int at = 0;
        for (const QString &line : pv.markerLabel->lines()) {
            QVERIFY2(at == 0 || partEnds.contains(at), qPrintable(line));
            QVERIFY2(text.midRef(at).startsWith(line), qPrintable(line));
            QVERIFY(pv.markerLabel->fontMetrics().horizontalAdvance(line)
                    <= pv.markerLabel->contentsRect().width());
            at += line.size();
            while (at < text.size() && text[at] == QLatin1Char(' '))
                ++at;
        }
        QCOMPARE(at, text.size());
    }
}

void TestPlotsSpectrum::zoomUnchecksAutoscale()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    QSignalSpy autoscaleSpy(&pv, &plot_voltage::autoScaleClicked);
    pv.zoomer->zoom(QRectF(QPointF(0.25, -200), QPointF(0.5, -100)));
    QVERIFY(!fx.autoscale.isChecked());
    QCOMPARE(autoscaleSpy.count(), 1);
    QCOMPARE(autoscaleSpy.at(0).at(0).toBool(), false);
    const QwtInterval x = pv.plot->axisInterval(QwtPlot::xBottom);
    QCOMPARE(pv.picker->xLower(), x.minValue());
    QCOMPARE(pv.picker->xUpper(), x.maxValue());
    QVERIFY(x.maxValue() <= 0.5 + 1e-9);
}

void TestPlotsSpectrum::frequencyRange()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    pv.setFrequencyRange(0, 24999.5, true);
    QCOMPARE(pv.plot->axisInterval(QwtPlot::xBottom).minValue(), 0.0);
    QCOMPARE(pv.plot->axisInterval(QwtPlot::xBottom).maxValue(), 24999.5);
    QVERIFY(pv.plot->axisAutoScale(QwtPlot::yLeft));
    QVERIFY(!pv.plot->axisAutoScale(QwtPlot::xBottom));
    QCOMPARE(pv.xAxisDlg->upperLimit->maximum(), 25000.0); // 0 decimals
    QCOMPARE(pv.picker->xUpper(), 24999.5);
    QVERIFY(fx.autoscale.isChecked()); // a new zoom base is no zoom
    QCOMPARE(pv.zoomer->zoomBase().right(), 24999.5);

    // Autoscale off: the x axis stays where the operator put it.
    pv.plot->setAxisScale(QwtPlot::xBottom, 100, 200);
    pv.setFrequencyRange(0, 5000, false);
    QCOMPARE(pv.plot->axisInterval(QwtPlot::xBottom).maxValue(), 200.0);
    QVERIFY(!pv.plot->axisAutoScale(QwtPlot::yLeft));
    QCOMPARE(pv.xAxisDlg->upperLimit->maximum(), 5000.0);
}

void TestPlotsSpectrum::precision_data()
{
    QTest::addColumn<double>("xLo");
    QTest::addColumn<double>("xHi");
    QTest::addColumn<double>("yLo");
    QTest::addColumn<double>("yHi");
    QTest::addColumn<int>("xDecimals");
    QTest::addColumn<int>("yDecimals");
    QTest::newRow("wide") << 0.0 << 25000.0 << -120.0 << 0.0 << 1 << 3;
    QTest::newRow("span 1") << 10.0 << 11.0 << -1.0 << 0.0 << 1 << 3;
    QTest::newRow("narrow") << 10.0 << 10.05 << -0.5 << 0.4 << 6 << 5;
    QTest::newRow("medium") << 10.0 << 10.5 << 0.0 << 0.999 << 3 << 5;
    QTest::newRow("narrow, far") << 90000.0 << 90000.05 << 0.0 << 2.0 << 3 << 3;
    QTest::newRow("equal x keeps x") << 5.0 << 5.0 << 0.0 << 0.5 << -1 << 5;
}

void TestPlotsSpectrum::precision()
{
    QFETCH(double, xLo);
    QFETCH(double, xHi);
    QFETCH(double, yLo);
    QFETCH(double, yHi);
    QFETCH(int, xDecimals);
    QFETCH(int, yDecimals);
    Fixture fx;
    fx.pv->xScaleDraw->setPrecision(-1);
    fx.pv->setAxisPrecision(xLo, xHi, yLo, yHi);
    QCOMPARE(fx.pv->xScaleDraw->precision(), xDecimals);
    QCOMPARE(fx.pv->yScaleDraw->precision(), yDecimals);
    QCOMPARE(fx.pv->plot->axisScaleDraw(QwtPlot::yLeft), fx.pv->yScaleDraw);
}

void TestPlotsSpectrum::symbolSizes()
{
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    QCOMPARE(pv.curves[5]->symbol()->size(), QSize(0, 0));
    pv.symbolSize->setCurrentIndex(2);
    pv.symbolSizeSlot();
    const int side = int(4 * pv.pixelScale());
    for (QwtPlotCurve *curve : pv.curves)
        QCOMPARE(curve->symbol()->size(), QSize(side, side));
    QCOMPARE(pv.curves[5]->symbol()->brush().color(), pv.labels[5]->colour());
}

void TestPlotsSpectrum::yAxisDialog()
{
    MessageRecorder recorder;
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    // Custom range with equal limits is refused, then a valid range is taken.
    auto watch = whenModal<axisConfigFft>([&recorder](axisConfigFft *dlg) {
        QVERIFY(!dlg->rangeGroup->isChecked()); // autoscale is on
        dlg->rangeGroup->setChecked(true);
        dlg->setLimits(-50, -50);
        dlg->okButton->click();
        QCOMPARE(recorder.count(), 1);
        dlg->setLimits(-80, -20);
        dlg->okButton->click();
    });
    clickAxis(pv, QwtPlot::yLeft);
    QCOMPARE(watch->acted, 1);
    QVERIFY(!fx.autoscale.isChecked());
    QCOMPARE(pv.plot->axisInterval(QwtPlot::yLeft).minValue(), -80.0);
    QCOMPARE(pv.plot->axisInterval(QwtPlot::yLeft).maxValue(), -20.0);
    QCOMPARE(pv.picker->yLower(), -80.0);

    // Without a custom range equal limits are accepted and autoscale comes back.
    watch = whenModal<axisConfigFft>([](axisConfigFft *dlg) {
        QVERIFY(dlg->rangeGroup->isChecked()); // autoscale is off now
        dlg->setLimits(-50, -50);
        dlg->rangeGroup->setChecked(false);
        dlg->okButton->click();
    });
    clickAxis(pv, QwtPlot::yLeft);
    QCOMPARE(watch->acted, 1);
    QVERIFY(fx.autoscale.isChecked());
    QVERIFY(pv.plot->axisAutoScale(QwtPlot::yLeft));
    QCOMPARE(recorder.count(), 1);
}

void TestPlotsSpectrum::xAxisDialog()
{
    MessageRecorder recorder;
    Fixture fx;
    QVERIFY(fx.exposed);
    plot_voltage &pv = *fx.pv;
    pv.setFrequencyRange(0, 5000, true);
    auto watch = whenModal<axisConfigFft>([](axisConfigFft *dlg) {
        QCOMPARE(dlg->lowerLimit->value(), 0.0);
        QCOMPARE(dlg->upperLimit->value(), 5000.0);
        dlg->setLimits(1000, 2000);
        dlg->okButton->click();
    });
    clickAxis(pv, QwtPlot::xBottom);
    QCOMPARE(watch->acted, 1);
    QVERIFY(!fx.autoscale.isChecked());
    QCOMPARE(pv.plot->axisInterval(QwtPlot::xBottom).minValue(), 1000.0);
    QCOMPARE(pv.plot->axisInterval(QwtPlot::xBottom).maxValue(), 2000.0);
    QCOMPARE(pv.picker->xUpper(), 2000.0);

    // Cancel changes nothing.
    watch = whenModal<axisConfigFft>([](axisConfigFft *dlg) {
        dlg->setLimits(0, 100);
        dlg->cancelButton->click();
    });
    clickAxis(pv, QwtPlot::xBottom);
    QCOMPARE(watch->acted, 1);
    QCOMPARE(pv.plot->axisInterval(QwtPlot::xBottom).maxValue(), 2000.0);
    QCOMPARE(recorder.count(), 0);
}

QTEST_MAIN(TestPlotsSpectrum)
#include "test_plots_spectrum.moc"
