// Channel legends and their colours, the trackers' texts, the spectrum scale
// labels, and the two axis dialogs with their limit checks and unit settings.
#include "axisConfig.h"
#include "axisConfigFft.h"
#include "chLabel.h"
#include "chLabelFft.h"
#include "messagerecorder.h"
#include "myQwtPlotPicker.h"
#include "myQwtPlotPickerFft.h"
#include "myXQwtScaleDraw.h"
#include "myYQwtScaleDraw.h"
#include "nv9471fp_digitCtrl.h"

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>

namespace {

// HSV (all 0..1) to RGB 0..255 by the textbook sector formula.
QColor hsvToRgb(double h, double s, double v)
{
    const double h6 = h * 6.0;
    const int sector = int(std::floor(h6)) % 6;
    const double f = h6 - std::floor(h6);
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    double r = 0, g = 0, b = 0;
    switch (sector) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
    }
    return QColor(int(std::lround(r * 255)), int(std::lround(g * 255)), int(std::lround(b * 255)));
}

bool near(const QColor &a, const QColor &b, int tolerance = 2)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor textColour(const QWidget &w)
{
    return w.palette().color(QPalette::WindowText);
}

// Answers the colour dialog for the lifetime of the object.
struct ColourAnswer {
    QList<chLabel::ColourRequest> asked;
    explicit ColourAnswer(QColor answer)
    {
        chLabel::setColourChooser([this, answer](const chLabel::ColourRequest &r) {
            asked.append(r);
            return answer;
        });
    }
    ~ColourAnswer() { chLabel::setColourChooser({}); }
};

QPushButton *autoscaleSwitch(bool checked)
{
    auto *button = new QPushButton(QStringLiteral("ON"));
    button->setCheckable(true);
    button->setChecked(checked);
    return button;
}

// The unit display of the tests: mA, 2.5 V offset, the given multiplier.
void enterMilliamps(axisConfig &dlg, double multiplier)
{
    dlg.unitGroup->setChecked(true);
    dlg.unitName->setText(QStringLiteral("mA"));
    dlg.offset->setValue(2.5);
    dlg.multiplier->setValue(multiplier);
}

} // namespace

class TestPlotsWidgets : public QObject
{
    Q_OBJECT
private slots:
    void channelColour_data();
    void channelColour();
    void legendStartsAsChannelPanel();
    void legendMouse();
    void legendDisable();
    void spectrumLegend();
    void timeTracker_data();
    void timeTracker();
    void spectrumTracker();
    void scaleLabels();
    void voltageDialogDefaults();
    void rangeText();
    void okWithoutCustomRangeSwitchesAutoscaleOn();
    void limitsRefusedWhileCustomRange_data();
    void limitsRefusedWhileCustomRange();
    void cancelRestoresUnitControls();
    void conversionsUseAcceptedValues();
    void zeroMultiplierRefused();
    void negativeMultiplierGivesOrderedRanges();
    void singleScanTimeRangeCanBeAccepted();
    void fftDialogLimits();
};

void TestPlotsWidgets::channelColour_data()
{
    QTest::addColumn<int>("chIdx");
    QTest::addColumn<int>("hueStep"); // of 17
    QTest::addColumn<bool>("lightened");
    QTest::newRow("card 1 ch 1") << 0 << 8 << false;
    QTest::newRow("card 1 ch 8") << 7 << 15 << false;
    QTest::newRow("card 1 ch 9") << 8 << 0 << false;
    QTest::newRow("card 2 ch 1") << 16 << 9 << true;
    QTest::newRow("card 3 ch 9") << 40 << 2 << true;
    QTest::newRow("card 4 ch 1") << 48 << 11 << false;
    QTest::newRow("card 5 ch 16") << 79 << 11 << true;
}

void TestPlotsWidgets::channelColour()
{
    QFETCH(int, chIdx);
    QFETCH(int, hueStep);
    QFETCH(bool, lightened);
    // Lightening by 150 % scales the value 0.9 to 1.35; the excess over 1
    // comes off the saturation: 0.9 - 0.35 = 0.55.
    const QColor expected = lightened ? hsvToRgb(hueStep / 17.0, 0.55, 1.0)
                                      : hsvToRgb(hueStep / 17.0, 0.9, 0.9);
    const QColor colour = ::channelColour(chIdx);
    QVERIFY2(near(colour, expected), qPrintable(colour.name() + " vs " + expected.name()));
    QCOMPARE(colour.alpha(), 204);

    chLabel label(chIdx);
    QCOMPARE(label.colour(), colour);
    QCOMPARE(label.text(), QString::number(chIdx % 16 + 1));
}

void TestPlotsWidgets::legendStartsAsChannelPanel()
{
    chLabel first(16), other(17);
    QVERIFY(first.isChEnabled());
    QVERIFY(!other.isChEnabled());
    QCOMPARE(first.frameStyle(), int(QFrame::Panel | QFrame::Raised));
    QCOMPARE(other.frameStyle(), int(QFrame::Panel | QFrame::Plain));
    QCOMPARE(textColour(first), first.colour());
    QCOMPARE(textColour(other), QColor(200, 200, 200));
    QVERIFY(first.font().bold());
    QCOMPARE(first.penWidth(), 1);
    QCOMPARE(other.toolTip(),
             QStringLiteral("This legend shows which color is used to plot the Channel 2 "
                            "waveform from Function Card #2. Right click to change the color, "
                            "left click to bold the waveform"));
    QCOMPARE(other.whatsThis(), other.toolTip());
}

void TestPlotsWidgets::legendMouse()
{
    chLabel enabled(0), disabled(5);
    QSignalSpy enabledSpy(&enabled, &chLabel::labMousePress);
    QSignalSpy disabledSpy(&disabled, &chLabel::labMousePress);

    QTest::mouseClick(&enabled, Qt::LeftButton);
    QCOMPARE(enabled.penWidth(), 3);
    QCOMPARE(enabled.frameStyle(), int(QFrame::Panel | QFrame::Sunken));
    QTest::mouseClick(&enabled, Qt::LeftButton);
    QCOMPARE(enabled.penWidth(), 1);
    QCOMPARE(enabled.frameStyle(), int(QFrame::Panel | QFrame::Raised));
    QCOMPARE(enabledSpy.count(), 2);
    QTest::mouseClick(&enabled, Qt::MiddleButton);
    QCOMPARE(enabledSpy.count(), 2);

    // A disabled legend ignores the left button but still takes a colour.
    QTest::mouseClick(&disabled, Qt::LeftButton);
    QCOMPARE(disabled.penWidth(), 1);
    QCOMPARE(disabledSpy.count(), 0);
    {
        ColourAnswer answer(QColor(10, 20, 30));
        QTest::mouseClick(&disabled, Qt::RightButton);
        QCOMPARE(answer.asked.size(), 1);
        QCOMPARE(answer.asked[0].title, QStringLiteral("Select Color"));
        QVERIFY(answer.asked[0].options.testFlag(QColorDialog::DontUseNativeDialog));
        QCOMPARE(answer.asked[0].initial, ::channelColour(5));
    }
    QCOMPARE(disabled.colour(), QColor(10, 20, 30));
    QCOMPARE(textColour(disabled), QColor(200, 200, 200));
    QCOMPARE(disabledSpy.count(), 1);

    {
        ColourAnswer cancelled{QColor()};
        QTest::mouseClick(&enabled, Qt::RightButton);
        QCOMPARE(cancelled.asked.size(), 1);
    }
    QCOMPARE(enabled.colour(), ::channelColour(0));
    QCOMPARE(enabledSpy.count(), 2);
}

void TestPlotsWidgets::legendDisable()
{
    chLabel label(3);
    label.setChEnabled(true);
    QCOMPARE(textColour(label), label.colour());
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(label.penWidth(), 3);
    label.setChEnabled(false);
    QCOMPARE(label.penWidth(), 1);
    QCOMPARE(label.frameStyle(), int(QFrame::Panel | QFrame::Plain));
    QCOMPARE(textColour(label), QColor(200, 200, 200));
}

void TestPlotsWidgets::spectrumLegend()
{
    chLabelFft on(32), off(33);
    QSignalSpy onSpy(&on, &chLabelFft::clicked);
    QVERIFY(!on.isSelected());
    QCOMPARE(on.frameStyle(), int(QFrame::WinPanel | QFrame::Raised));
    QCOMPARE(off.frameStyle(), int(QFrame::WinPanel | QFrame::Plain));
    QCOMPARE(textColour(off), QColor(200, 200, 200));
    QCOMPARE(on.colour(), ::channelColour(32));

    QTest::mouseClick(&on, Qt::LeftButton);
    QVERIFY(on.isSelected());
    QCOMPARE(on.frameStyle(), int(QFrame::WinPanel | QFrame::Sunken));
    QCOMPARE(onSpy.count(), 1);

    // A disabled label can be selected; it stays grey and flat.
    QSignalSpy offSpy(&off, &chLabelFft::clicked);
    QTest::mouseClick(&off, Qt::LeftButton);
    QVERIFY(off.isSelected());
    QCOMPARE(off.frameStyle(), int(QFrame::WinPanel | QFrame::Plain));
    QCOMPARE(offSpy.count(), 1);

    ColourAnswer answer(QColor(1, 2, 3));
    QTest::mouseClick(&on, Qt::RightButton);
    QCOMPARE(on.colour(), QColor(1, 2, 3));
    QCOMPARE(textColour(on), QColor(1, 2, 3));
    QCOMPARE(onSpy.count(), 2);
}

void TestPlotsWidgets::timeTracker_data()
{
    QTest::addColumn<double>("xLo");
    QTest::addColumn<double>("xHi");
    QTest::addColumn<double>("yLo");
    QTest::addColumn<double>("yHi");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<QString>("text");
    QTest::newRow("us, V") << 0.0 << 5e-5 << -1.0 << 1.0 << QString() << QPointF(2.5e-5, 0.5)
                           << "25.000 us, 0.500 V";
    QTest::newRow("ms, mV") << 0.0 << 0.05 << -0.04 << 0.04 << QString()
                            << QPointF(0.0125, 0.0015) << "12.500 ms, 1.500 mV";
    QTest::newRow("s, uV") << 0.0 << 1.0 << 0.0 << 5e-5 << QString()
                           << QPointF(0.25, 1.25e-5) << "0.250 s, 12.500 uV";
    QTest::newRow("span 1e-4 is ms") << 0.0 << 1e-4 << 0.0 << 0.1 << QString()
                                     << QPointF(5e-5, 0.05) << "0.050 ms, 0.050 V";
    QTest::newRow("reversed span") << 0.2 << 0.1 << 0.0 << -0.05 << QString()
                                   << QPointF(0.15, -0.02) << "0.150 s, -20.000 mV";
    QTest::newRow("custom unit") << 0.0 << 1.0 << 0.0 << 1e-5 << QStringLiteral("mA")
                                 << QPointF(0.5, 2.0) << "0.500 s, 2.000 mA";
}

void TestPlotsWidgets::timeTracker()
{
    QFETCH(double, xLo);
    QFETCH(double, xHi);
    QFETCH(double, yLo);
    QFETCH(double, yHi);
    QFETCH(QString, unit);
    QFETCH(QPointF, pos);
    QFETCH(QString, text);
    QWidget canvas;
    myQwtPlotPicker picker(&canvas);
    QCOMPARE(picker.xLower(), -1.0);
    QCOMPARE(picker.yUpper(), 1.0);
    QCOMPARE(picker.trackerMode(), QwtPicker::AlwaysOn);
    picker.setXRange(xLo, xHi);
    picker.setYRange(yLo, yHi);
    picker.setUnitName(unit);
    QCOMPARE(picker.trackerTextF(pos).text(), text);
}

void TestPlotsWidgets::spectrumTracker()
{
    QWidget canvas;
    myQwtPlotPickerFft picker(1, &canvas);
    QCOMPARE(picker.trackerTextF(QPointF(1234.5678, -12.3456789)).text(),
             QStringLiteral("1234.568 Hz, -12.34568 dB"));
    QCOMPARE(picker.plotType(), 1);
}

namespace {
// Reaches the cached tick labels of a scale draw.
template <class Draw>
struct CachedLabels : Draw {
    QString cached(double v) const { return Draw::tickLabel(QFont(), v).text(); }
};
} // namespace

void TestPlotsWidgets::scaleLabels()
{
    CachedLabels<myXQwtScaleDraw> x;
    QCOMPARE(x.precision(), 3);
    QCOMPARE(x.label(1.23456).text(), QStringLiteral("1.235"));
    QCOMPARE(x.cached(12.34), QStringLiteral("12.340"));
    x.setPrecision(1);
    QCOMPARE(x.cached(12.34), QStringLiteral("12.340")); // still cached
    x.invalidateCache();
    QCOMPARE(x.cached(12.34), QStringLiteral("12.3"));

    CachedLabels<myYQwtScaleDraw> y;
    QCOMPARE(y.precision(), 1);
    QCOMPARE(y.label(-3.0).text(), QStringLiteral("        -3.0"));
    QCOMPARE(y.label(-123456789012.5).text(), QStringLiteral("-123456789012.5"));
    QCOMPARE(y.cached(0.5), QStringLiteral("         0.5"));
    y.setPrecision(5);
    y.invalidateCache();
    QCOMPARE(y.cached(0.5), QStringLiteral("     0.50000"));
}

void TestPlotsWidgets::voltageDialogDefaults()
{
    QWidget main;
    main.setWindowIcon(QIcon(QPixmap(8, 8)));
    axisConfig volts(true, &main, nullptr);
    volts.configureVoltageAxis();
    QCOMPARE(volts.windowTitle(), QStringLiteral("Axis Configuration"));
    QVERIFY(volts.isModal());
    QVERIFY(volts.rangeGroup->isCheckable());
    QVERIFY(!volts.unitGroup->isChecked());
    QVERIFY(volts.unitName->text().isEmpty());
    QCOMPARE(volts.offset->value(), 0.0);
    QCOMPARE(volts.multiplier->doublevalue(), 1.0);
    QCOMPARE(volts.multiplier->minimum(), -1e12);
    QVERIFY(volts.rangeLabel->isHidden());
    QCOMPARE(volts.lowerLimit->suffix(), QStringLiteral(" V "));
    QCOMPARE(volts.lowerLimit->decimals(), 9);

    volts.lowerLimit->setValue(1);
    volts.upperLimit->setValue(2);
    volts.maxButton->click();
    QCOMPARE(volts.lowerLimit->value(), -10.24);
    QCOMPARE(volts.upperLimit->value(), 10.24);

    axisConfig time(false, &main, nullptr);
    time.configureTimeAxis();
    QVERIFY(!time.rangeGroup->isCheckable());
    QVERIFY(time.unitGroup->isHidden());
    QCOMPARE(time.upperLimit->suffix(), QStringLiteral(" sec "));
    time.lowerLimit->setRange(0.25, 0.75);
    time.upperLimit->setRange(0.25, 0.75);
    time.maxButton->click();
    QCOMPARE(time.lowerLimit->value(), 0.25);
    QCOMPARE(time.upperLimit->value(), 0.75);
}

void TestPlotsWidgets::rangeText()
{
    axisConfig dlg(true, nullptr, nullptr);
    dlg.configureVoltageAxis();
    dlg.lowerLimit->setValue(2);
    dlg.upperLimit->setValue(3);
    dlg.unitGroup->setChecked(true);
    QVERIFY(!dlg.rangeLabel->isHidden());
    dlg.unitName->setText(QStringLiteral("mA"));
    dlg.offset->setValue(2.5);
    dlg.multiplier->setValue(4.0);
    // (2 - 2.5) * 4 and (3 - 2.5) * 4.
    QCOMPARE(dlg.rangeLabel->text(), QStringLiteral("Range:  -2.000000 .. 2.000000  mA"));
    dlg.unitGroup->setChecked(false);
    QVERIFY(dlg.rangeLabel->isHidden());
}

void TestPlotsWidgets::okWithoutCustomRangeSwitchesAutoscaleOn()
{
    MessageRecorder recorder;
    std::unique_ptr<QPushButton> autoscale(autoscaleSwitch(false));
    axisConfig dlg(true, nullptr, autoscale.get());
    dlg.configureVoltageAxis();
    QStringList order;
    connect(&dlg, &axisConfig::autoscaleAboutToChange, [&]() {
        order << QStringLiteral("before:%1").arg(autoscale->isChecked());
    });
    connect(&dlg, &axisConfig::autoscaleChanged, [&]() {
        order << QStringLiteral("after:%1").arg(autoscale->isChecked());
    });
    dlg.show();
    dlg.rangeGroup->setChecked(false);
    dlg.lowerLimit->setValue(1); // equal limits do not matter without a custom range
    dlg.upperLimit->setValue(1);
    dlg.okButton->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(autoscale->isChecked());
    QCOMPARE(order, QStringList({"before:0", "after:1"}));
    QCOMPARE(recorder.count(), 0);

    // A custom range switches it off.
    dlg.show();
    dlg.rangeGroup->setChecked(true);
    dlg.upperLimit->setValue(2);
    dlg.okButton->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!autoscale->isChecked());
}

void TestPlotsWidgets::limitsRefusedWhileCustomRange_data()
{
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::newRow("equal") << 1.0 << 1.0;
    QTest::newRow("reversed") << 2.0 << -2.0;
}

void TestPlotsWidgets::limitsRefusedWhileCustomRange()
{
    QFETCH(double, lower);
    QFETCH(double, upper);
    MessageRecorder recorder;
    std::unique_ptr<QPushButton> autoscale(autoscaleSwitch(true));
    axisConfig dlg(true, nullptr, autoscale.get());
    dlg.configureVoltageAxis();
    dlg.show();
    dlg.rangeGroup->setChecked(true);
    dlg.lowerLimit->setValue(lower);
    dlg.upperLimit->setValue(upper);
    dlg.okButton->click();
    QCOMPARE(recorder.count(), 1);
    QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP"));
    QCOMPARE(recorder.last().text, QStringLiteral("The lower limit must be below the upper limit."));
    QCOMPARE(recorder.last().icon, QMessageBox::Warning);
    QVERIFY(dlg.isVisible());
    QVERIFY(autoscale->isChecked());
}

void TestPlotsWidgets::cancelRestoresUnitControls()
{
    MessageRecorder recorder;
    axisConfig dlg(true, nullptr, nullptr);
    dlg.configureVoltageAxis();
    dlg.show();
    enterMilliamps(dlg, 4.0);
    dlg.cancelButton->click();
    QVERIFY(!dlg.isVisible());
    QVERIFY(!dlg.unitGroup->isChecked());
    QVERIFY(dlg.unitName->text().isEmpty());
    QCOMPARE(dlg.offset->value(), 0.0);
    QCOMPARE(dlg.multiplier->doublevalue(), 1.0);
    QVERIFY(dlg.rangeLabel->isHidden());
    QVERIFY(!dlg.acceptedUnitsOn());

    // Accepted settings become the ones Cancel returns to.
    dlg.show();
    enterMilliamps(dlg, 4.0);
    dlg.okButton->click();
    QVERIFY(dlg.acceptedUnitsOn());
    QCOMPARE(dlg.acceptedUnitName(), QStringLiteral("mA"));
    QCOMPARE(dlg.acceptedOffset(), 2.5);
    QCOMPARE(dlg.acceptedMultiplier(), 4.0);

    dlg.show();
    dlg.unitGroup->setChecked(false);
    dlg.unitName->setText(QStringLiteral("kg"));
    dlg.offset->setValue(1.0);
    dlg.multiplier->setValue(-3.0);
    dlg.reject(); // Escape and the window's close button end here too
    QVERIFY(dlg.unitGroup->isChecked());
    QCOMPARE(dlg.unitName->text(), QStringLiteral("mA"));
    QCOMPARE(dlg.offset->value(), 2.5);
    QCOMPARE(dlg.multiplier->doublevalue(), 4.0);
    QVERIFY(dlg.acceptedUnitsOn());
    QCOMPARE(recorder.count(), 0);
}

void TestPlotsWidgets::conversionsUseAcceptedValues()
{
    axisConfig dlg(true, nullptr, nullptr);
    dlg.configureVoltageAxis();
    // Before any accepted unit display the conversion is the identity.
    QCOMPARE(dlg.toDisplay(3.0), 3.0);
    QCOMPARE(dlg.toVolts(-1.5), -1.5);

    dlg.show();
    dlg.lowerLimit->setValue(2);
    dlg.upperLimit->setValue(3);
    enterMilliamps(dlg, 4.0);
    dlg.okButton->click();
    // (3 V - 2.5 V) * 4 = 2 mA.
    QCOMPARE(dlg.toDisplay(3.0), 2.0);

    // Reopened and edited but not accepted: the axis still shows mA of the
    // accepted conversion, so -2..2 mA are 2..3 V.
    dlg.show();
    dlg.offset->setValue(1.0);
    const QPair<double, double> volts = dlg.voltsRange(-2.0, 2.0);
    QCOMPARE(volts.first, 2.0);
    QCOMPARE(volts.second, 3.0);
    QCOMPARE(dlg.toDisplay(3.0), 2.0);
    dlg.cancelButton->click();
    QCOMPARE(dlg.voltsRange(-2.0, 2.0).first, 2.0);
}

void TestPlotsWidgets::zeroMultiplierRefused()
{
    MessageRecorder recorder;
    axisConfig dlg(true, nullptr, nullptr);
    dlg.configureVoltageAxis();
    dlg.show();
    dlg.unitGroup->setChecked(true);
    dlg.multiplier->setValue(0.0);
    dlg.okButton->click();
    QCOMPARE(recorder.count(), 1);
    QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP"));
    QCOMPARE(recorder.last().text, QStringLiteral("The multiplier must not be zero."));
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.acceptedUnitsOn());

    // Without the unit display the multiplier is not used.
    dlg.unitGroup->setChecked(false);
    dlg.okButton->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(recorder.count(), 1);
    QCOMPARE(dlg.toVolts(5.0), 5.0);
}

void TestPlotsWidgets::negativeMultiplierGivesOrderedRanges()
{
    axisConfig dlg(true, nullptr, nullptr);
    dlg.configureVoltageAxis();
    dlg.show();
    dlg.lowerLimit->setValue(2);
    dlg.upperLimit->setValue(3);
    enterMilliamps(dlg, -4.0);
    // (2 - 2.5) * -4 = 2 and (3 - 2.5) * -4 = -2, shown lower first.
    QCOMPARE(dlg.rangeLabel->text(), QStringLiteral("Range:  -2.000000 .. 2.000000  mA"));
    dlg.okButton->click();
    const QPair<double, double> shown = dlg.displayRange(2.0, 3.0);
    QCOMPARE(shown.first, -2.0);
    QCOMPARE(shown.second, 2.0);
    const QPair<double, double> volts = dlg.voltsRange(-2.0, 2.0);
    QCOMPARE(volts.first, 2.0);
    QCOMPARE(volts.second, 3.0);
}

void TestPlotsWidgets::singleScanTimeRangeCanBeAccepted()
{
    MessageRecorder recorder;
    axisConfig dlg(false, nullptr, nullptr);
    dlg.configureTimeAxis();
    // One scan per block: the only time there is.
    dlg.lowerLimit->setRange(0.5, 0.5);
    dlg.upperLimit->setRange(0.5, 0.5);
    dlg.show();
    dlg.okButton->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(recorder.count(), 0);

    // With room for a range, equal limits are still refused.
    dlg.lowerLimit->setRange(0, 1);
    dlg.upperLimit->setRange(0, 1);
    dlg.lowerLimit->setValue(0.5);
    dlg.upperLimit->setValue(0.5);
    dlg.show();
    dlg.okButton->click();
    QCOMPARE(recorder.count(), 1);
    QVERIFY(dlg.isVisible());
}

void TestPlotsWidgets::fftDialogLimits()
{
    MessageRecorder recorder;
    axisConfigFft x;
    x.setLimitFormat(QStringLiteral(" Hz "), 0, 1);
    x.setLimitRange(0, 5000);
    QCOMPARE(x.windowTitle(), QStringLiteral("Axis Configuration"));
    QCOMPARE(x.lowerLimit->minimumWidth(), x.upperLimit->minimumWidth());
    x.show();
    x.setLimits(100, 100);
    x.okButton->click();
    QCOMPARE(recorder.count(), 1);
    QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP"));
    QCOMPARE(recorder.last().text, QStringLiteral("The lower limit must be below the upper limit."));
    QVERIFY(x.isVisible());
    x.maxButton->click();
    QCOMPARE(x.lowerLimit->value(), 0.0);
    QCOMPARE(x.upperLimit->value(), 5000.0);
    x.okButton->click();
    QCOMPARE(x.result(), int(QDialog::Accepted));
    QCOMPARE(recorder.count(), 1);

    axisConfigFft y;
    y.rangeGroup->setCheckable(true);
    y.setLimitRange(-300, 30);
    y.show();
    y.setLimits(-20, -20);
    y.rangeGroup->setChecked(true);
    y.okButton->click();
    QCOMPARE(recorder.count(), 2);
    QVERIFY(y.isVisible());
    y.rangeGroup->setChecked(false);
    y.okButton->click();
    QCOMPARE(y.result(), int(QDialog::Accepted));
    QCOMPARE(recorder.count(), 2);
}

QTEST_MAIN(TestPlotsWidgets)
#include "test_plots_widgets.moc"
