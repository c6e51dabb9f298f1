// The channel configuration panel on the simulated instrument: defaults and
// texts, what each control sends (read back from the driver's journal),
// enabling rules, threshold ranges by gain and subtype, the first-card-only
// analog trigger, demo mode, failure reports and the channel calibration.
#include "messagerecorder.h"
#include "nv6842fp_channelRules.h"
#include "nv6842fp_chCfg.h"
#include "nv9471fp_digitCtrl.h"
#include "nv9471fp_led.h"
#include "test_sim_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

// The card window's side of a panel: session, demo flag, and the legends
// the panel greys.
class Host : public QWidget, public nv6842fp_chCfgHost
{
public:
    ViSession vi = 0;
    int demo = 0;
    QList<QPair<int, bool>> legendCalls;

    QWidget *hostWidget() override { return this; }
    ViSession hostSession() const override { return vi; }
    int hostDemoMode() const override { return demo; }
    void setChannelLegendsEnabled(int chIdx, bool enabled) override { legendCalls.append({chIdx, enabled}); }
    nv6842fp_firstCardSubtype &firstCardSubtype() override { return subtype; }
    nv6842fp_firstCardSubtype subtype;
};

// A session on the default system's VXI carrier: cards FC 1 and FC 2.
struct Cards {
    explicit Cards(const QByteArray &config = QByteArray()) : sim(config)
    {
        ok = openCards("VXI0::2::INSTR,VXI0::2::INSTR", {1, 2}, &host.vi) == VI_SUCCESS;
        trellinSimJournalClear();
    }
    ~Cards() { nv6842_multClose(host.vi); }
    std::unique_ptr<nv6842fp_chCfg> panel(int ch, int fc)
    {
        return std::make_unique<nv6842fp_chCfg>(&host, ch, fc);
    }
    SimConfig sim;
    Host host;
    bool ok = false;
};

QStringList journal()
{
    static char text[1 << 16];
    trellinSimJournal(text, sizeof text);
    QStringList lines = QString::fromLatin1(text).split('\n', Qt::SkipEmptyParts);
    trellinSimJournalClear();
    return lines;
}

QString real(double value)
{
    return QString::asprintf("%.17g", value);
}

QString chanLine(ViSession vi, int channel, int source, int gain, int filter)
{
    return QStringLiteral("nv6842_setMultChanConfig(%1, %2, %3, %4, %5)")
        .arg(vi).arg(channel).arg(source).arg(gain).arg(filter);
}

QString atLine(ViSession vi, int channel, int mode, int hyst, int comp, double t1, double t2)
{
    return QStringLiteral("nv6842_setMultATRIConfig(%1, %2, %3, %4, %5, %6, %7)")
        .arg(vi).arg(channel).arg(mode).arg(hyst).arg(comp).arg(real(t1), real(t2));
}

// Chooses an item as the operator does: the index changes, then activated().
void choose(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

} // namespace

class TestPanelsChCfg : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAndTexts();
    void constructionSendsEachChannelOnce_data();
    void constructionSendsEachChannelOnce();
    void controlsSendTheirConfiguration();
    void disablingSendsSourceZeroAndGreys();
    void analogTriggerEnableRule();
    void gainShrinksAndClampsThresholds();
    void thresholdRangeFollowsTheSubtype_data();
    void thresholdRangeFollowsTheSubtype();
    void laterCardsSendNoAnalogTrigger();
    void demoModeOnlySignals();
    void failuresAreReported();
    void calibrateSendsMaskAndGain_data();
    void calibrateSendsMaskAndGain();
    void calibrateFailureAfterTheDialog();
    void calibrateInDemoModeWaits();
};

void TestPanelsChCfg::defaultsAndTexts()
{
    Host host;
    host.demo = 1;
    nv6842fp_chCfg first(&host, 0, 0);
    nv6842fp_chCfg other(&host, 4, 0);
    QCOMPARE(items(first.source), QStringList({"Front Panel", "MB Volt.Ref."}));
    QCOMPARE(items(first.gain),
             QStringList({"1", "2", "5", "10", "20", "50", "100", "200", "500", "1000", "2000"}));
    QCOMPARE(first.gain->itemData(10).toInt(), 2000);
    QCOMPARE(first.gain->itemData(2).toInt(), 5);
    QCOMPARE(items(first.atMode), QStringList({"Disabled", "EDGE", "LEVEL"}));
    QCOMPARE(items(first.atHyst), QStringList({"Disabled", "Enabled"}));
    QCOMPARE(items(first.atComp), QStringList({"NE or LT", "PE or GT"}));
    for (const QComboBox *combo : {first.source, first.gain, first.atMode, first.atHyst, first.atComp})
        QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(first.athr1->doublevalue(), 0.0);
    QCOMPARE(first.athr2->doublevalue(), 0.0);
    QCOMPARE(first.athr1->maximum(), 10.0);
    QCOMPARE(first.athr2->minimum(), -10.0);
    QCOMPARE(first.athr1->valueText(), QString("0.000"));
    QVERIFY(first.enable->isChecked() && !other.enable->isChecked());
    QVERIFY(!first.filter->isChecked());
    QCOMPARE(first.outOfRange->value(), 0);
    QCOMPARE(first.outOfRange->label(), QString("Signal Out of Range"));
    QCOMPARE(first.frontEnd->title(), QString("Front-End Circuitry"));
    QCOMPARE(first.atGroup->title(), QString("Analog Trigger"));
    QVERIFY(first.frontEnd->minimumWidth() >= 350);
    QVERIFY(first.calibButton->minimumWidth() >= 100);
    QVERIFY(first.calibButton->isEnabled() && !other.calibButton->isEnabled());
    QCOMPARE(first.chIdx(), 0);

    const QList<QPair<QWidget *, QString>> tips = {
        {other.source, "Selects the source of the input signal for Channel 5"},
        {other.gain, "Selects the gain applied to the inpuit signal for Channel 5"},
        {other.atMode, "Selects mode for Analog Trigger (AT). Disabled turns off AT"},
        {other.atHyst, "Enables or disables Analog Trigger's hysteresis"},
        {other.atComp, "Selects comparison type for Analog Trigger"},
        {other.athr1, "Threshold level in Volts. Please note that limts are depended on gain setting. \n"
                      "For gain 1 it is +/- 10V, for gain 2  it is +/- 5V and so on."},
        {other.athr2, "Second threshold level used when hysteresis is enabled"},
        {other.enable, "Enables Channel 5 for the Data Acquisition"},
        {other.filter, "Enables Anti-Ringing filter for channel 5"},
        {other.outOfRange, "Shows whether the input signal run out of range during the Data Acquisition"},
        {other.calibButton, "Starts volatile calibration for current channel"}};
    for (const auto &tip : tips) {
        QCOMPARE(tip.first->toolTip(), tip.second);
        QCOMPARE(tip.first->whatsThis(), tip.second);
    }
    QStringList labels;
    for (const QLabel *label : other.findChildren<QLabel *>())
        labels << label->text();
    for (const char *text : {"Input Source", "Gain", "Mode", "Hysteresis", "Comparison", "Threshold1",
                             "Threshold2", "Channel 5", "Anti-Ringing Filter"})
        QVERIFY2(labels.contains(text), text);
    QCOMPARE(other.enable->text(), QString("Enabled"));
    QCOMPARE(other.filter->text(), QString("Enabled"));
}

void TestPanelsChCfg::constructionSendsEachChannelOnce_data()
{
    QTest::addColumn<int>("ch");
    QTest::addColumn<int>("fc");
    QTest::addColumn<int>("channel");   // multi-card channel number
    QTest::addColumn<int>("source");    // 1 when enabled at start, else 0
    QTest::addColumn<bool>("analog");   // analog trigger sent
    QTest::newRow("card 0 ch 0") << 0 << 0 << 1 << 1 << true;
    QTest::newRow("card 0 ch 15") << 15 << 0 << 16 << 0 << true;
    QTest::newRow("card 1 ch 0") << 0 << 1 << 17 << 1 << false;
    QTest::newRow("card 1 ch 2") << 2 << 1 << 19 << 0 << false;
}

void TestPanelsChCfg::constructionSendsEachChannelOnce()
{
    QFETCH(int, ch);
    QFETCH(int, fc);
    QFETCH(int, channel);
    QFETCH(int, source);
    QFETCH(bool, analog);
    Cards cards;
    QVERIFY(cards.ok);
    MessageRecorder boxes;
    auto panel = cards.panel(ch, fc);
    QStringList expected = {chanLine(cards.host.vi, channel, source, 1, 0)};
    if (analog)
        expected << atLine(cards.host.vi, ch + 1, 0, 0, 0, 0, 0);
    QCOMPARE(journal(), expected);
    QCOMPARE(cards.host.legendCalls, (QList<QPair<int, bool>>{{fc * 16 + ch, source == 1}}));
    QCOMPARE(boxes.count(), 0);
}

void TestPanelsChCfg::controlsSendTheirConfiguration()
{
    Cards cards;
    QVERIFY(cards.ok);
    auto panel = cards.panel(0, 0);
    journal();
    const ViSession vi = cards.host.vi;
    struct Step {
        const char *what;
        std::function<void()> act;
        QStringList sent;
    };
    const QList<Step> steps = {
        {"source MB", [&] { choose(panel->source, 1); }, {chanLine(vi, 1, 2, 1, 0)}},
        {"filter on", [&] { panel->filter->setChecked(true); }, {chanLine(vi, 1, 2, 1, 1)}},
        {"gain 20", [&] { choose(panel->gain, 4); },
         {chanLine(vi, 1, 2, 20, 1), atLine(vi, 1, 0, 0, 0, 0, 0)}},
        {"mode LEVEL", [&] { choose(panel->atMode, 2); }, {atLine(vi, 1, 2, 0, 0, 0, 0)}},
        {"comparison PE", [&] { choose(panel->atComp, 1); }, {atLine(vi, 1, 2, 0, 1, 0, 0)}},
        {"hysteresis on", [&] { choose(panel->atHyst, 1); }, {atLine(vi, 1, 2, 1, 1, 0, 0)}},
        {"threshold 1", [&] { panel->athr1->setValue(0.25); }, {atLine(vi, 1, 2, 1, 1, 0.25, 0)}},
        {"threshold 2", [&] { panel->athr2->setValue(-0.125); }, {atLine(vi, 1, 2, 1, 1, 0.25, -0.125)}},
        {"source front", [&] { choose(panel->source, 0); }, {chanLine(vi, 1, 1, 20, 1)}},
    };
    for (const Step &step : steps) {
        step.act();
        QCOMPARE(journal(), step.sent);
    }
}

void TestPanelsChCfg::disablingSendsSourceZeroAndGreys()
{
    Cards cards;
    QVERIFY(cards.ok);
    auto panel = cards.panel(0, 1); // card 1, channel 0: driver channel 17
    choose(panel->source, 1);
    choose(panel->gain, 3);
    panel->filter->setChecked(true);
    journal();
    cards.host.legendCalls.clear();
    QSignalSpy enables(panel.get(), &nv6842fp_chCfg::channelEnabledSignal);
    QSignalSpy gains(panel.get(), &nv6842fp_chCfg::gainChangedSignal);

    panel->enable->setChecked(false);
    QCOMPARE(journal(), QStringList{chanLine(cards.host.vi, 17, 0, 10, 0)});
    QVERIFY(!panel->filter->isChecked());
    for (QWidget *w : {static_cast<QWidget *>(panel->frontEnd), static_cast<QWidget *>(panel->filter),
                       static_cast<QWidget *>(panel->outOfRange), static_cast<QWidget *>(panel->calibButton)})
        QVERIFY(!w->isEnabled());
    QCOMPARE(cards.host.legendCalls, (QList<QPair<int, bool>>{{16, false}}));
    QCOMPARE(enables.size(), 1);
    QCOMPARE(enables.at(0), (QVariantList{16, 0}));
    QCOMPARE(gains.at(0), (QVariantList{16, 10}));

    panel->enable->setChecked(true);
    QCOMPARE(journal(), QStringList{chanLine(cards.host.vi, 17, 2, 10, 0)});
    QVERIFY(panel->frontEnd->isEnabled() && panel->calibButton->isEnabled() && panel->filter->isEnabled());
    QCOMPARE(cards.host.legendCalls.last(), qMakePair(16, true));
    QCOMPARE(enables.last(), (QVariantList{16, 1}));
}

void TestPanelsChCfg::analogTriggerEnableRule()
{
    Host host;
    host.demo = 1;
    nv6842fp_chCfg panel(&host, 0, 0);
    // {mode, hysteresis, comparison, hysteresis box, threshold 1, threshold 2}
    const int rows[][6] = {{0, 1, 0, 0, 0, 0}, {1, 0, 1, 1, 1, 0}, {1, 1, 1, 1, 1, 1}, {2, 0, 1, 1, 1, 0}};
    for (const auto &row : rows) {
        choose(panel.atHyst, row[1]);
        choose(panel.atMode, row[0]);
        QCOMPARE(panel.atComp->isEnabled(), bool(row[2]));
        QCOMPARE(panel.atHyst->isEnabled(), bool(row[3]));
        QCOMPARE(panel.athr1->isEnabled(), bool(row[4]));
        QCOMPARE(panel.athr2->isEnabled(), bool(row[5]));
    }
    QVERIFY(panel.atMode->isEnabled() && panel.atGroup->isEnabled());
}

void TestPanelsChCfg::gainShrinksAndClampsThresholds()
{
    Cards cards;
    QVERIFY(cards.ok);
    auto panel = cards.panel(3, 0);
    choose(panel->atMode, 1);
    choose(panel->atHyst, 1);
    panel->athr1->setValue(5.0);
    panel->athr2->setValue(-0.05);
    journal();
    choose(panel->gain, 6); // gain 100 on a subtype "AA" card: +/-0.1 V
    QCOMPARE(journal(), QStringList({chanLine(cards.host.vi, 4, 0, 100, 0),
                                     atLine(cards.host.vi, 4, 1, 1, 0, 10.0 / 100, -0.05)}));
    QCOMPARE(panel->athr1->doublevalue(), 0.1);
    QCOMPARE(panel->athr1->maximum(), 0.1);
    QCOMPARE(panel->athr2->minimum(), -0.1);
    QCOMPARE(panel->athr1->stepUp(), 0.001);
}

void TestPanelsChCfg::thresholdRangeFollowsTheSubtype_data()
{
    QTest::addColumn<QByteArray>("subtype");
    QTest::addColumn<int>("gainIndex");
    QTest::addColumn<double>("limit");
    QTest::newRow("AA gain 1") << QByteArray("AA") << 0 << 10.0;
    QTest::newRow("A7 gain 2") << QByteArray("A7") << 1 << 35.0;
    QTest::newRow("A4 gain 5") << QByteArray("A4") << 2 << 8.0;
    QTest::newRow("V1 gain 10") << QByteArray("V1") << 3 << 6.0;
    QTest::newRow("V2 gain 1") << QByteArray("V2") << 0 << 120.0;
}

void TestPanelsChCfg::thresholdRangeFollowsTheSubtype()
{
    QFETCH(QByteArray, subtype);
    QFETCH(int, gainIndex);
    QFETCH(double, limit);
    // Only the first card's subtype counts: the second card keeps "AA".
    Cards cards("carrier vxi slot=2; fc 1 subtype=" + subtype + "; fc 2");
    QVERIFY(cards.ok);
    auto panel = cards.panel(5, 1);
    choose(panel->gain, gainIndex);
    QVERIFY(qAbs(panel->athr1->maximum() - limit) < 1e-12 * limit);
    QVERIFY(qAbs(panel->athr2->minimum() + limit) < 1e-12 * limit);
    QVERIFY(qAbs(panel->athr1->stepUp() - limit / 100) < 1e-12 * limit);
    panel->athr1->setValue(1e6);
    QVERIFY(qAbs(panel->athr1->doublevalue() - limit) < 1e-12 * limit);
}

void TestPanelsChCfg::laterCardsSendNoAnalogTrigger()
{
    Cards cards;
    QVERIFY(cards.ok);
    auto panel = cards.panel(1, 1);
    QVERIFY(!panel->atGroup->isEnabled());
    QVERIFY(!panel->atMode->isEnabled());
    panel->enable->setChecked(true);
    choose(panel->gain, 2);
    choose(panel->atMode, 1);
    panel->athr1->setValue(1.0);
    choose(panel->atHyst, 1);
    for (const QString &line : journal())
        QVERIFY2(!line.startsWith("nv6842_setMultATRIConfig"), qPrintable(line));
    QVERIFY(!panel->atGroup->isEnabled()); // still off after the enable rule ran
}

void TestPanelsChCfg::demoModeOnlySignals()
{
    trellinSimJournalClear();
    Host host;
    host.demo = 1;
    nv6842fp_chCfg panel(&host, 2, 1);
    QSignalSpy gains(&panel, &nv6842fp_chCfg::gainChangedSignal);
    QSignalSpy enables(&panel, &nv6842fp_chCfg::channelEnabledSignal);
    panel.enable->setChecked(true);
    choose(panel.gain, 5);
    choose(panel.atMode, 1);
    QCOMPARE(enables.last(), (QVariantList{18, 1}));
    QCOMPARE(gains.last(), (QVariantList{18, 50}));
    QCOMPARE(panel.athr1->maximum(), 10.0 / 50);
    QCOMPARE(journal(), QStringList());
}

void TestPanelsChCfg::failuresAreReported()
{
    const QString failed = QStringLiteral("%1 failed due to [%2]\nDo you want to exit?");
    const ViStatus status = ViStatus(0xBFFC0801);
    {
        Cards cards("default; fail call=nv6842_setMultATRIConfig status=0xBFFC0801 count=always");
        QVERIFY(cards.ok);
        MessageRecorder boxes;
        auto panel = cards.panel(0, 0);
        QCOMPARE(boxes.texts(),
                 QStringList{failed.arg("nv6842_setMultATRIConfig(d_vi, d_ch+1, (ViInt16)atMode->currentIndex(), "
                                        "(ViInt16) atHyst->currentIndex(), (ViInt16) atComp->currentIndex(), "
                                        "(ViReal64)athr1->doublevalue(), athr2->doublevalue())",
                                        driverText(status))});
        QVERIFY(boxes.exitCodes.isEmpty());
        // The operator's choice stays.
        choose(panel->atMode, 2);
        QCOMPARE(panel->atMode->currentIndex(), 2);
    }
    {
        Cards cards("default; fail call=nv6842_setMultChanConfig status=0xBFFC0801");
        QVERIFY(cards.ok);
        MessageRecorder boxes;
        auto panel = cards.panel(4, 1);
        QCOMPARE(boxes.texts(),
                 QStringList{failed.arg("nv6842_setMultChanConfig(d_vi, d_ch+d_fc*16+1, source, "
                                        "gain->itemData(gain->currentIndex()).toInt(), "
                                        "(filter->isChecked())?VI_TRUE:VI_FALSE)",
                                        driverText(status))});
    }
    {
        // A failed subtype read leaves the range at 10 V / gain; it is the
        // answer for every panel of the window, reported once.
        Cards cards("carrier vxi slot=2; fc 1 subtype=V2; fc 2; "
                    "fail call=nv6842_getSubType status=0xBFFC0801 count=always");
        QVERIFY(cards.ok);
        MessageRecorder boxes;
        auto panel = cards.panel(0, 0);
        auto other = cards.panel(5, 1);
        choose(panel->gain, 3);
        QCOMPARE(boxes.texts(),
                 QStringList{failed.arg("nv6842_getSubType(fc_vi, subtype)", driverText(status))});
        QCOMPARE(panel->athr1->maximum(), 1.0);
    }
}

void TestPanelsChCfg::calibrateSendsMaskAndGain_data()
{
    QTest::addColumn<int>("ch");
    QTest::addColumn<int>("fc");
    QTest::addColumn<int>("gainIndex");
    QTest::addColumn<int>("mask"); // as the driver's signed 16-bit argument
    QTest::addColumn<int>("gain");
    QTest::newRow("card 0 ch 3 gain 100") << 3 << 0 << 6 << 0x0008 << 100;
    QTest::newRow("card 1 ch 0 gain 1") << 0 << 1 << 0 << 0x0001 << 1;
    QTest::newRow("card 1 ch 15 gain 2000") << 15 << 1 << 10 << -32768 << 2000;
}

void TestPanelsChCfg::calibrateSendsMaskAndGain()
{
    QFETCH(int, ch);
    QFETCH(int, fc);
    QFETCH(int, gainIndex);
    QFETCH(int, mask);
    QFETCH(int, gain);
    Cards cards("default; calibration ms=50");
    QVERIFY(cards.ok);
    MessageRecorder boxes;
    auto panel = cards.panel(ch, fc);
    panel->enable->setChecked(true);
    choose(panel->gain, gainIndex);
    journal();

    // What the dialog looks like when shown, and the cursor meanwhile.
    struct Watch : QObject {
        QStringList seen;
        bool eventFilter(QObject *object, QEvent *event) override
        {
            auto *dialog = qobject_cast<QDialog *>(object);
            if (dialog && event->type() == QEvent::Show) {
                const QLabel *label = dialog->findChild<QLabel *>();
                const QCursor *cursor = QApplication::overrideCursor();
                seen << dialog->windowTitle() << (label ? label->text() : QString())
                     << QString::number(dialog->isModal())
                     << QString::number(cursor ? cursor->shape() : -1);
            }
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    QTest::mouseClick(panel->calibButton, Qt::LeftButton);
    qApp->removeEventFilter(&watch);

    QCOMPARE(watch.seen, QStringList({"Trellin 6842 calibration",
                                      QString("Calibration channel %1 in progress, please wait...").arg(ch + 1),
                                      "1", QString::number(Qt::WaitCursor)}));
    QCOMPARE(journal(), QStringList{QStringLiteral("nv6842_calibrateChannels(%1, %2, %3)")
                                        .arg(cardSessionOf(cards.host.vi, fc))
                                        .arg(mask)
                                        .arg(gain)});
    QVERIFY(panel->findChildren<QDialog *>().isEmpty());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(boxes.texts(), QStringList{nv6842fp::channelCalibrationDoneText(fc + 1, ch + 1)});

    // A disabled channel is never calibrated.
    panel->enable->setChecked(false);
    journal();
    QVERIFY(!panel->calibButton->isEnabled());
    panel->calibrate();
    QCOMPARE(journal(), QStringList());
}

void TestPanelsChCfg::calibrateFailureAfterTheDialog()
{
    Cards cards("default; fail call=nv6842_calibrateChannels status=0xBFFC0801");
    QVERIFY(cards.ok);
    MessageRecorder boxes;
    bool quietWhenAsked = false;
    boxes.onBox = [&](const sfp::MessageRequest &) {
        quietWhenAsked = !QApplication::overrideCursor() && QApplication::topLevelWidgets().size() > 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<QDialog *>(w) && w->isVisible())
                quietWhenAsked = false;
    };
    auto panel = cards.panel(0, 0);
    panel->calibrate();
    QCOMPARE(boxes.texts(),
             QStringList{QStringLiteral("nv6842_calibrateChannels(fc_vi, (ViInt16)(1<<d_ch), "
                                        "(ViInt16)gain->itemData(gain->currentIndex()).toInt(), VI_NULL, "
                                        "VI_NULL, VI_NULL) failed due to [%1]\nDo you want to exit?")
                             .arg(driverText(ViStatus(0xBFFC0801)))});
    QVERIFY(quietWhenAsked);
    QVERIFY(!QApplication::overrideCursor());
}

void TestPanelsChCfg::calibrateInDemoModeWaits()
{
    trellinSimJournalClear();
    MessageRecorder boxes;
    Host host;
    host.demo = 1;
    nv6842fp_chCfg panel(&host, 0, 0);
    QElapsedTimer timer;
    timer.start();
    panel.calibrate();
    QVERIFY2(timer.elapsed() >= 1990, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(journal(), QStringList());
    QVERIFY(panel.findChildren<QDialog *>().isEmpty());
    QCOMPARE(boxes.texts(), QStringList{nv6842fp::channelCalibrationDoneText(1, 1)});
}

QTEST_MAIN(TestPanelsChCfg)
#include "test_panels_chcfg.moc"
