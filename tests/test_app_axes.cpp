// The axis dialogs of the time plot in the card window, opened as an operator
// does (a mouse release over an axis) on a stored file of known samples:
// autoscale and the time range, refused entries, custom units on the samples,
// the zoom base and the tracker, reopening after an accepted conversion, the
// "Max" buttons, and a block of one scan.
#include "axisConfig.h"
#include "datafile_writer.h"
#include "decimatedCurve.h"
#include "messagerecorder.h"
#include "myQwtPlotPicker.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_globals.h"
#include "nv9471fp_app.h"
#include "nv9471fp_digitCtrl.h"
#include "test_app_window.h"

#include <qwt_plot.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_widget.h>

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <functional>

namespace {

// Block b (1-based) of the stored file: channel 1 holds 3 V, channel 3 a ramp
// of 10 mV per scan from 1 V; 1000 scans per second, so block b starts at
// (b - 1) * scans / 1000 s.
const double rate = 1000.0;
const double channel1Volts = 3.0;

QString writeStoredFile(const QString &path, int scans, int blocks)
{
    return writeStoredFile(path, rate, scans, {0x0005}, blocks, [](int, int o, int s) {
        return o == 0 ? channel1Volts : 1.0 + 0.01 * s;
    });
}

// The offline viewer on that file, shown, with block `block` on the plot.
Window viewBlock(const QString &path, int block)
{
    Window w = openStoredFile(path);
    if (!w)
        return nullptr;
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        return nullptr;
    nv6842fp_Waveform *wave = w->waveform;
    // Moving the slider shows its block at once.
    if (wave->blockSlider->value() == block)
        wave->blockSlider->setValue(block == 1 ? 2 : 1);
    wave->blockSlider->setValue(block);
    if (!waitForEnd(w.get()) || wave->blockSlider->value() != block)
        return nullptr;
    return w;
}

// Releases the mouse over the axis and runs `action` on the dialog that it
// opens; a dialog the action leaves open is cancelled. Returns the dialog
// that was shown, null when none was.
axisConfig *clickAxis(nv6842fp_App *w, int axis, std::function<void(axisConfig *)> action = {})
{
    axisConfig *shown = nullptr;
    auto watch = whenModal<axisConfig>([&](axisConfig *d) {
        shown = d;
        if (action)
            action(d);
        if (d->isVisible())
            d->cancelButton->click();
    });
    QwtScaleWidget *scale = w->waveform->plot->axisWidget(axis);
    QTest::mouseRelease(scale, Qt::LeftButton, Qt::NoModifier, scale->rect().center());
    return shown;
}

// The voltage dialog's entries: a custom range (or none) and custom units (or none).
struct Entries {
    bool range = false;
    double lower = 0, upper = 0;
    bool units = false;
    QString name;
    double offset = 0, multiplier = 1;
};

void enter(axisConfig *d, const Entries &e)
{
    d->rangeGroup->setChecked(e.range);
    if (e.range) {
        d->lowerLimit->setValue(e.lower);
        d->upperLimit->setValue(e.upper);
    }
    d->unitGroup->setChecked(e.units);
    if (e.units) {
        d->unitName->setText(e.name);
        d->offset->setValue(e.offset);
        d->multiplier->setValue(e.multiplier);
    }
}

QPair<double, double> interval(nv6842fp_App *w, int axis)
{
    const QwtInterval i = w->waveform->plot->axisInterval(axis);
    return qMakePair(i.minValue(), i.maxValue());
}

QString leftTitle(nv6842fp_App *w)
{
    return w->waveform->plot->axisTitle(QwtPlot::yLeft).text();
}

// Every plotted value of channel 1 (curve 0) equals `value`.
bool channel1Shows(nv6842fp_App *w, double value)
{
    const decimatedCurve *curve = w->waveform->curves[0];
    if (curve->dataSize() == 0)
        return false;
    for (size_t i = 0; i < curve->dataSize(); ++i)
        if (std::abs(curve->sample(int(i)).y() - value) > 1e-12)
            return false;
    return true;
}

bool near(double a, double b)
{
    return std::abs(a - b) < 1e-9;
}

} // namespace

class TestAppAxes : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString twoBlocks;

private slots:
    void initTestCase()
    {
        sfp::setMessageCard(&gl_fc);
        twoBlocks = writeStoredFile(dir.filePath("two.bin6842"), 50, 2);
        QVERIFY(!twoBlocks.isEmpty());
    }

    void cleanup() { StoredFileInfo = StoredFileInfo_t{}; }

    void releaseOverAnAxisOpensItsDialog()
    {
        MessageRecorder recorder;
        Window w = viewBlock(twoBlocks, 1);
        QVERIFY(w);
        QCOMPARE(clickAxis(w.get(), QwtPlot::yLeft), w->waveform->yAxisDlg);
        QCOMPARE(clickAxis(w.get(), QwtPlot::xBottom), w->waveform->xAxisDlg);
        QCOMPARE(w->waveform->yAxisDlg->windowTitle(), QStringLiteral("Axis Configuration"));
        QWidget *canvas = w->waveform->plot->canvas();
        auto watch = whenModal<axisConfig>([](axisConfig *d) { d->reject(); });
        QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, canvas->rect().center());
        QCOMPARE(watch->acted, 0);
        QCOMPARE(recorder.count(), 0);
    }

    void dialogsBeforeAnyBlockTakeOk()
    {
        MessageRecorder recorder;
        Window w = demoWindow(1);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
            bool closed = false;
            QVERIFY(clickAxis(w.get(), axis, [&](axisConfig *d) {
                d->okButton->click();
                closed = !d->isVisible();
            }));
            QVERIFY2(closed, qPrintable(QString::number(axis)));
        }
        QCOMPARE(recorder.count(), 0);
        QCOMPARE(leftTitle(w.get()), QStringLiteral("Volts"));
    }

    void rangeOffTurnsAutoscaleOnAndKeepsTheTimeRange()
    {
        MessageRecorder recorder;
        Window w = viewBlock(twoBlocks, 2);
        QVERIFY(w);
        QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [](axisConfig *d) {
            enter(d, {true, -1.0, 1.0, false, QString(), 0.0, 1.0});
            d->okButton->click();
        }));
        QVERIFY(!w->autoscaleButton->isChecked());
        QCOMPARE(interval(w.get(), QwtPlot::yLeft), qMakePair(-1.0, 1.0));
        QVERIFY(clickAxis(w.get(), QwtPlot::xBottom, [](axisConfig *d) {
            d->lowerLimit->setValue(0.06);
            d->upperLimit->setValue(0.08);
            d->okButton->click();
        }));
        QCOMPARE(interval(w.get(), QwtPlot::xBottom), qMakePair(0.06, 0.08));

        bool rangeShown = false;
        QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [&](axisConfig *d) {
            rangeShown = d->rangeGroup->isChecked(); // autoscale is off
            enter(d, {});
            d->okButton->click();
        }));
        QVERIFY(rangeShown);
        QVERIFY(w->autoscaleButton->isChecked());
        QVERIFY(w->waveform->plot->axisAutoScale(QwtPlot::yLeft));
        // Autoscaled over the block: 3 V and the ramp 1.5 ... 1.99 V.
        const QPair<double, double> y = interval(w.get(), QwtPlot::yLeft);
        QVERIFY2(y.first <= 1.5 && y.second >= 3.0, qPrintable(QString("%1 .. %2").arg(y.first).arg(y.second)));
        QCOMPARE(interval(w.get(), QwtPlot::xBottom), qMakePair(0.06, 0.08));
        QCOMPARE(qMakePair(w->waveform->xLower, w->waveform->xUpper), qMakePair(0.06, 0.08));
        QCOMPARE(recorder.count(), 0);
    }

    void refusedEntries_data()
    {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("multiplier");
        QTest::addColumn<QString>("warning");
        const QString order = QStringLiteral("The lower limit must be below the upper limit.");
        QTest::newRow("equal limits") << 1.0 << 1.0 << 1.0 << order;
        QTest::newRow("lower above upper") << 2.0 << -2.0 << 1.0 << order;
        QTest::newRow("zero multiplier") << 2.0 << 3.0 << 0.0 << QString();
    }

    void refusedEntries()
    {
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(double, multiplier);
        QFETCH(QString, warning);
        MessageRecorder recorder;
        Window w = viewBlock(twoBlocks, 1);
        QVERIFY(w);
        bool stayedOpen = false;
        QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [&](axisConfig *d) {
            enter(d, {true, lower, upper, true, QStringLiteral("mA"), 2.5, multiplier});
            d->okButton->click();
            stayedOpen = d->isVisible();
        }));
        QVERIFY(stayedOpen);
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().icon, QMessageBox::Warning);
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP"));
        if (!warning.isEmpty())
            QCOMPARE(recorder.last().text, warning);
        // Nothing of the refused entries reached the plot.
        QVERIFY(w->autoscaleButton->isChecked());
        QVERIFY(channel1Shows(w.get(), channel1Volts));
        QCOMPARE(leftTitle(w.get()), QStringLiteral("Volts"));
    }

    void customUnitsConvertSamplesZoomBaseAndTracker()
    {
        MessageRecorder recorder;
        Window w = viewBlock(twoBlocks, 1);
        QVERIFY(w);
        QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [](axisConfig *d) {
            enter(d, {false, 0, 0, true, QStringLiteral("mA"), 2.5, 4.0});
            d->okButton->click();
        }));
        // (3 V - 2.5 V) * 4 = 2 mA; the ramp's scan 10 is (1.1 - 2.5) * 4.
        QVERIFY(channel1Shows(w.get(), 2.0));
        QVERIFY(std::abs(w->waveform->curves[2]->sample(10).y() - (-5.6)) < 1e-12);
        QCOMPARE(leftTitle(w.get()), QStringLiteral("mA"));
        const QPointF point = w->waveform->curves[0]->sample(7);
        const QString tracker = w->waveform->picker->trackerTextF(point).text();
        QVERIFY2(tracker.endsWith(QStringLiteral(", 2.000 mA")), qPrintable(tracker));
        // The zoomer unites its base with the current scales, which lie inside.
        const QRectF base = w->waveform->zoomer->zoomBase();
        QVERIFY(near(base.top(), (-10.24 - 2.5) * 4) && near(base.bottom(), (10.24 - 2.5) * 4));
        QVERIFY(w->autoscaleButton->isChecked());
        QCOMPARE(recorder.count(), 0);
    }

    void cancelKeepsTheAcceptedUnits()
    {
        MessageRecorder recorder;
        Window w = viewBlock(twoBlocks, 1);
        QVERIFY(w);
        QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [](axisConfig *d) {
            enter(d, {false, 0, 0, true, QStringLiteral("mA"), 2.5, 4.0});
            d->cancelButton->click();
        }));
        QCOMPARE(leftTitle(w.get()), QStringLiteral("Volts"));
        QVERIFY(w->waveform->picker->unitName().isEmpty());
        QVERIFY(channel1Shows(w.get(), channel1Volts));
        // OK without touching anything keeps the volts too.
        bool unitsShown = true;
        QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [&](axisConfig *d) {
            unitsShown = d->unitGroup->isChecked();
            d->okButton->click();
        }));
        QVERIFY(!unitsShown);
        QCOMPARE(leftTitle(w.get()), QStringLiteral("Volts"));
        QVERIFY(channel1Shows(w.get(), channel1Volts));
        QCOMPARE(recorder.count(), 0);
    }

    void reopeningShowsVolts_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("multiplier");
        QTest::addColumn<double>("axisLower");
        QTest::addColumn<double>("axisUpper");
        QTest::addColumn<double>("shown"); // channel 1's 3 V
        // 2 .. 3 V as (v - offset) * multiplier, ordered.
        QTest::newRow("offset and gain") << 2.5 << 4.0 << -2.0 << 2.0 << 2.0;
        QTest::newRow("negative multiplier") << 0.0 << -4.0 << -12.0 << -8.0 << -12.0;
    }

    void reopeningShowsVolts()
    {
        QFETCH(double, offset);
        QFETCH(double, multiplier);
        QFETCH(double, axisLower);
        QFETCH(double, axisUpper);
        QFETCH(double, shown);
        MessageRecorder recorder;
        Window w = viewBlock(twoBlocks, 1);
        QVERIFY(w);
        QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [&](axisConfig *d) {
            enter(d, {true, 2.0, 3.0, true, QStringLiteral("mA"), offset, multiplier});
            d->okButton->click();
        }));
        QCOMPARE(recorder.count(), 0);
        const QPair<double, double> y = interval(w.get(), QwtPlot::yLeft);
        QVERIFY2(near(y.first, axisLower) && near(y.second, axisUpper),
                 qPrintable(QString("%1 .. %2").arg(y.first).arg(y.second)));
        QVERIFY(near(w->waveform->picker->yLower(), axisLower) && near(w->waveform->picker->yUpper(), axisUpper));
        QVERIFY(channel1Shows(w.get(), shown));

        // An edited offset that is cancelled must not change the next opening.
        QPair<double, double> limits[2];
        for (int i = 0; i < 2; ++i)
            QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [&](axisConfig *d) {
                limits[i] = qMakePair(d->lowerLimit->value(), d->upperLimit->value());
                d->offset->setValue(1.0);
                d->cancelButton->click();
            }));
        for (const auto &l : limits)
            QVERIFY2(near(l.first, 2.0) && near(l.second, 3.0),
                     qPrintable(QString("%1 .. %2").arg(l.first).arg(l.second)));
        QCOMPARE(interval(w.get(), QwtPlot::yLeft), y);
        QVERIFY(channel1Shows(w.get(), shown));
    }

    void maxButtons()
    {
        MessageRecorder recorder;
        Window w = viewBlock(twoBlocks, 2);
        QVERIFY(w);
        QPair<double, double> volts;
        QVERIFY(clickAxis(w.get(), QwtPlot::yLeft, [&](axisConfig *d) {
            enter(d, {true, 1.0, 2.0, false, QString(), 0.0, 1.0});
            d->maxButton->click();
            volts = qMakePair(d->lowerLimit->value(), d->upperLimit->value());
        }));
        QCOMPARE(volts, qMakePair(-10.24, 10.24));
        // Block 2 holds the scans at 50 ... 99 ms.
        QPair<double, double> seconds;
        QVERIFY(clickAxis(w.get(), QwtPlot::xBottom, [&](axisConfig *d) {
            d->lowerLimit->setValue(0.07);
            d->upperLimit->setValue(0.08);
            d->maxButton->click();
            seconds = qMakePair(d->lowerLimit->value(), d->upperLimit->value());
            d->okButton->click();
        }));
        QVERIFY2(near(seconds.first, 0.050) && near(seconds.second, 0.099),
                 qPrintable(QString("%1 .. %2").arg(seconds.first).arg(seconds.second)));
        const QPair<double, double> x = interval(w.get(), QwtPlot::xBottom);
        QVERIFY(near(x.first, 0.050) && near(x.second, 0.099));
        QVERIFY(near(w->waveform->picker->xLower(), 0.050) && near(w->waveform->picker->xUpper(), 0.099));
        QCOMPARE(recorder.count(), 0);
    }

    void timeDialogOfASingleScanBlockTakesOk()
    {
        MessageRecorder recorder;
        Window w = viewBlock(writeStoredFile(dir.filePath("one.bin6842"), 1, 3), 2);
        QVERIFY(w);
        bool closed = false;
        QVERIFY(clickAxis(w.get(), QwtPlot::xBottom, [&](axisConfig *d) {
            d->okButton->click();
            closed = !d->isVisible() && d->result() == QDialog::Accepted;
        }));
        QVERIFY(closed);
        QCOMPARE(recorder.count(), 0);
        // The single scan of block 2 lies at 1 ms and stays in view.
        const QPair<double, double> x = interval(w.get(), QwtPlot::xBottom);
        QVERIFY2(x.first <= 0.001 && x.second >= 0.001 && x.first < x.second,
                 qPrintable(QString("%1 .. %2").arg(x.first).arg(x.second)));
    }
};

QTEST_MAIN(TestAppAxes)
#include "test_app_axes.moc"
