// The 6842 main window on the simulated instrument: tabs and pages per card,
// fitting a small screen with many cards, the voltage-reference table and the
// nearest reference, apply-to-all and calibrate-all as the driver received
// them, error reports, the stored-file preset and the saved synchronisation
// method; a list beside many card tabs, an acquisition page that fits.
#include "fpOutputTrigger.h"
#include "messagerecorder.h"
#include "nv6842_fc.h"
#include "nv6842fp_App.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_channelRules.h"
#include "nv6842fp_daqRules.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_syncMethodDialog.h"
#include "nv9471fp_PTPalarm.h"
#include "nv9471fp_digitCtrl.h"
#include "nv9471fp_app.h"
#include "nv9471fp_fcEnterAddress.h"
#include "nv9471fp_fcEnterAddressFc.h"
#include "test_connect_modal.h"
#include "test_sim_helpers.h"
#include "test_app_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QStringList tabTitles(const QTabWidget *tabs)
{
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    return titles;
}

// The driver channel a journal line configures (second argument).
int channelOf(const QString &line)
{
    return line.section(QLatin1String(", "), 1, 1).toInt();
}

struct SourceSettings {
    int sourceIndex = 1; // "MB Volt.Ref." -> code 2
    int gainIndex = 3;   // 10
    int atMode = 2;
    int atComp = 1;
    int atHyst = 1;
    double thr1 = 0.25;
    double thr2 = -0.125;
};

void setAnalogTrigger(nv6842fp_chCfg *panel, const SourceSettings &s)
{
    panel->atMode->setCurrentIndex(s.atMode);
    panel->atComp->setCurrentIndex(s.atComp);
    panel->atHyst->setCurrentIndex(s.atHyst);
    panel->setAT();
    panel->athr1->setValue(s.thr1);
    panel->athr2->setValue(s.thr2);
}

void setSource(nv6842fp_chCfg *panel, const SourceSettings &s)
{
    panel->source->setCurrentIndex(s.sourceIndex);
    panel->gain->setCurrentIndex(s.gainIndex);
    panel->enable->setChecked(true);
    panel->filter->setChecked(true);
    setAnalogTrigger(panel, s);
}

QString chanLine(ViSession vi, int channel)
{
    return QStringLiteral("nv6842_setMultChanConfig(%1, %2, 2, 10, 1)").arg(vi).arg(channel);
}

QString atLine(ViSession vi, int channel, const SourceSettings &s)
{
    return QStringLiteral("nv6842_setMultATRIConfig(%1, %2, %3, %4, %5, %6, %7)")
        .arg(vi)
        .arg(channel)
        .arg(s.atMode)
        .arg(s.atHyst)
        .arg(s.atComp)
        .arg(QString::asprintf("%.17g", s.thr1), QString::asprintf("%.17g", s.thr2));
}

// Checks that the journal configured exactly the expected channels, in that
// order, each with the expected line(s) only.
void checkConfigured(const QStringList &lines, const QString &call, const QList<int> &channels,
                     const std::function<QString(int)> &expected)
{
    QList<int> order;
    for (const QString &line : lines) {
        if (!line.startsWith(call))
            continue;
        const int channel = channelOf(line);
        QCOMPARE(line, expected(channel));
        if (order.isEmpty() || order.last() != channel)
            order << channel;
    }
    QCOMPARE(order, channels);
}

QList<int> range(int first, int last, int except = -1)
{
    QList<int> list;
    for (int i = first; i <= last; ++i)
        if (i != except)
            list << i;
    return list;
}

} // namespace

class TestAppMain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        sfp::setMessageCard(&gl_fc);
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void cleanup()
    {
        qputenv("TRELLIN_SIM", QByteArray());
        storeCalibMode = false;
        StoredFileInfo = StoredFileInfo_t{};
    }

    void pagesPerCard_data()
    {
        QTest::addColumn<int>("cards");
        QTest::addColumn<bool>("storeCalib");
        QTest::newRow("one card") << 1 << false;
        QTest::newRow("three cards, storeCalib") << 3 << true;
    }
    void pagesPerCard()
    {
        QFETCH(int, cards);
        QFETCH(bool, storeCalib);
        storeCalibMode = storeCalib;
        MessageRecorder recorder;
        Window w = demoWindow(cards);
        QCOMPARE(recorder.count(), 0);
        const QStringList titles = tabTitles(w->mainTabs);
        // Without "-acperf" the plug-in pages follow the acquisition page.
        QCOMPARE(titles, (QStringList{"Waveforms", "FFT Amplitude Spectrum", "Function Cards",
                                      "Acquisition", "SCUs"}));
        QCOMPARE(w->mainTabs->widget(0), static_cast<QWidget *>(w->waveform));
        QCOMPARE(w->fcTabs->count(), cards);
        QCOMPARE(w->chPanels.size(), cards * 16);
        for (int k = 0; k < cards; ++k) {
            QCOMPARE(w->fcTabs->tabText(k), QStringLiteral("Function Card #%1").arg(k + 1));
            QCOMPARE(w->chTabs[k]->count(), 16);
            QCOMPARE(w->chTabs[k]->tabText(15), QStringLiteral("Ch 16"));
            for (int ch = 0; ch < 16; ++ch) {
                QCOMPARE(w->chPanels[k * 16 + ch]->d_fc, k);
                QCOMPARE(w->chPanels[k * 16 + ch]->d_ch, ch);
                QCOMPARE(w->chTabs[k]->widget(ch), static_cast<QWidget *>(w->chPanels[k * 16 + ch]));
            }
        }
        QCOMPARE(w->fpOutTrg.size(), cards);
        QCOMPARE(w->applyAllFcButton != nullptr, cards > 1);
        QVERIFY(!w->fcSelector && !w->fcTabs->cornerWidget() && !w->scuTabs->cornerWidget());
        QStringList buttons;
        for (const QPushButton *b : w->fcTabs->findChildren<QPushButton *>())
            buttons << b->text();
        QCOMPARE(buttons.count("Apply to all channels"), cards);
        QCOMPARE(buttons.count("Calibrate all channels"), cards);
        QCOMPARE(buttons.count("Store calibration coefs to EEPROM"), storeCalib ? cards : 0);
        QCOMPARE(w->daq->lengthCombo->currentData().toInt(), 2048);
    }

    // The smallest screen the panel is made for is 1024 x 768, also with a
    // session of many cards; the controls stay inside the window.
    void fitsSmallScreen_data()
    {
        QTest::addColumn<int>("cards");
        QTest::newRow("2") << 2;
        QTest::newRow("256") << 256;
    }
    void fitsSmallScreen()
    {
        QFETCH(int, cards);
        MessageRecorder recorder;
        Window w = demoWindow(cards);
        w->show();
        w->mainTabs->setCurrentIndex(2);
        w->fcTabs->setCurrentIndex(cards - 1);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QSize least = w->minimumSizeHint();
        QVERIFY2(least.width() <= 1024 && least.height() <= 768,
                 qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
        QVERIFY(w->width() <= 1024 && w->height() <= 768);
        const QRect inWindow(w->applyAllFcButton->mapTo(w.get(), QPoint(0, 0)),
                             w->applyAllFcButton->size());
        QVERIFY(w->applyAllFcButton->isVisible());
        QVERIFY(w->rect().contains(inWindow));
        QVERIFY(w->rect().contains(QRect(w->closeButton->mapTo(w.get(), QPoint(0, 0)),
                                         w->closeButton->size())));
    }

    // 64 cards: a list beside the card tabs, and beside the plug-in tabs (a
    // demo unit per card), reaches any page at once, in step with the tabs.
    void cardSelectorBesideTheTabs()
    {
        const int cards = 64;
        MessageRecorder recorder;
        Window w = demoWindow(cards);
        QVERIFY(w->scuTabs);
        for (QTabWidget *tabs : {w->fcTabs, w->scuTabs}) {
            auto *selector = qobject_cast<QComboBox *>(tabs->cornerWidget(Qt::TopRightCorner));
            QVERIFY(selector);
            QCOMPARE(selector->count(), cards);
            for (int k = 0; k < cards; ++k)
                QCOMPARE(selector->itemText(k), tabs->tabText(k));
            selector->setCurrentIndex(49);
            QCOMPARE(tabs->currentIndex(), 49);
            tabs->setCurrentIndex(10);
            QCOMPARE(selector->currentIndex(), 10);
        }
        QCOMPARE(w->fcTabs->cornerWidget(Qt::TopRightCorner), w->fcSelector);
    }

    // The "Acquisition" page of an LXI card fits, in a virtual X server's
    // desktop font (the offscreen platform's 12 pt is larger than a desktop's).
    void acquisitionPageFitsTheWindow_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("own size") << QSize(940, 680);
        QTest::newRow("maximised on 1024 x 768") << QSize(1024, 768);
    }
    void acquisitionPageFitsTheWindow()
    {
        QFETCH(QSize, size);
        const QFont appFont = QApplication::font();
        QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
        const auto restoreFont = qScopeGuard([&] { QApplication::setFont(appFont); });
        MessageRecorder recorder;
        Window w = realWindow(recorder, {{"TCPIP0::127.0.0.2::INSTR", 1}});
        QVERIFY(w->daq->ptpAlarm);
        w->resize(size);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->mainTabs->setCurrentIndex(3);
        auto *area = qobject_cast<QScrollArea *>(w->mainTabs->currentWidget());
        QVERIFY(area);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(area->widget()->width(), area->viewport()->width()); // nothing to scroll
        for (QWidget *control : QWidgetList{w->daq->trgSrc[0]->parentWidget(), w->daq->trgLevel,
                                            w->daq->ptpAlarm->nowButton,
                                            w->daq->ptpAlarm->nowPlusButton}) {
            const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
            QVERIFY2(area->viewport()->rect().contains(shown), control->metaObject()->className());
        }
    }

    // A carrier's table longer than vrefs holds: the first 20 values are offered.
    void vrefTableCutAt20()
    {
        QByteArray values;
        for (int i = 0; i < 25; ++i)
            values += (i ? "," : "") + QByteArray::number(0.5 * i);
        qputenv("TRELLIN_SIM", "carrier vxi slot=2\nvref values=" + values + "\nfc 1\nfc 2");
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QCOMPARE(w->demoMode, 0);
        QCOMPARE(vrefCount, 20);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(vrefs[i], 0.5 * i);
        QCOMPARE(w->daq->vrefCombo->count(), 20);
    }

    void nearestReference_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("index");
        // Default table: 0, 4.5, 0.45, 0.045, 0.0045, -0.0045, -0.045, -0.45, -4.5.
        QTest::newRow("0.44 -> 0.45") << QByteArray("0.44") << 2;
        QTest::newRow("3 -> 4.5") << QByteArray("3") << 1;
        QTest::newRow("-0.04 -> -0.045") << QByteArray("-0.04") << 6;
        QTest::newRow("-9 -> -4.5") << QByteArray("-9") << 8;
    }
    void nearestReference()
    {
        QFETCH(QByteArray, output);
        QFETCH(int, index);
        qputenv("TRELLIN_SIM", "carrier vxi slot=2\nvref values=0,4.5,0.45,0.045,0.0045,"
                               "-0.0045,-0.045,-0.45,-4.5 output=" + output + "\nfc 1\nfc 2");
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QCOMPARE(vrefCount, 9);
        w->daq->vrefCombo->setCurrentIndex(0);
        w->mainTabs->setCurrentIndex(1);
        QCOMPARE(w->daq->vrefCombo->currentIndex(), 0); // only the acquisition page reads it
        w->mainTabs->setCurrentIndex(3);
        QCOMPARE(w->daq->vrefCombo->currentIndex(), index);
        QCOMPARE(recorder.count(), 1); // the connection question only
    }

    void applyToAllChannels()
    {
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        const ViSession vi = w->d_vi;
        const SourceSettings s;
        setSource(w->chPanels[2], s);
        w->chTabs[0]->setCurrentIndex(2);
        journal();
        w->applyToAllChan();
        const QStringList lines = journal();
        const QList<int> others = range(1, 16, 3);
        checkConfigured(lines, "nv6842_setMultChanConfig", others,
                        [vi](int ch) { return chanLine(vi, ch); });
        checkConfigured(lines, "nv6842_setMultATRIConfig", others,
                        [vi, s](int ch) { return atLine(vi, ch, s); });
        QCOMPARE(recorder.count(), 1);
    }

    // From the second card: every other channel of both cards, the other
    // channels of the card shown too; analog triggers exist on the first card
    // only, which keeps its own. The output triggers follow the card shown on
    // every card.
    void applyToAllFunctionCards()
    {
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        const ViSession vi = w->d_vi;
        const SourceSettings s;
        const SourceSettings kept{0, 0, 1, 0, 0, 0.5, 0.0}; // EDGE at 0.5 V
        for (int ch = 0; ch < 16; ++ch)
            setAnalogTrigger(w->chPanels[ch], kept);
        setSource(w->chPanels[16 + 5], s);
        w->fcTabs->setCurrentIndex(1);
        QCOMPARE(w->fcLabel->text(), QStringLiteral("FC #2"));
        QCOMPARE(w->slotLabel->text(), QStringLiteral("Slot 2"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Trellin 6842 Soft Front Panel: "));
        w->chTabs[1]->setCurrentIndex(5);
        fpOutputTrigger *outputs = w->fpOutTrg[1];
        outputs->outputTrigger1->setCurrentIndex(2);
        outputs->outputTrigger1negate->setChecked(true);
        outputs->outputTrigger2->setCurrentIndex(0);
        w->fpOutTrg[0]->outputTrigger2->setCurrentIndex(1);
        w->fpOutTrg[0]->outputTrigger2negate->setChecked(true);
        journal();
        w->applyToAllFC();
        const QStringList lines = journal();
        checkConfigured(lines, "nv6842_setMultChanConfig", range(1, 32, 22),
                        [vi](int ch) { return chanLine(vi, ch); });
        checkConfigured(lines, "nv6842_setMultATRIConfig", range(1, 16),
                        [vi, kept](int ch) { return atLine(vi, ch, kept); });
        QCOMPARE(w->chPanels[3]->atMode->currentIndex(), kept.atMode);
        const fpOutputTrigger *first = w->fpOutTrg[0];
        QCOMPARE(first->outputTrigger1->currentIndex(), 2);
        QVERIFY(first->outputTrigger1negate->isChecked());
        QVERIFY(first->outputTrigger1negate->isEnabled());
        QCOMPARE(first->outputTrigger2->currentIndex(), 0);
        QVERIFY(!first->outputTrigger2negate->isChecked());
        QVERIFY(!first->outputTrigger2negate->isEnabled());
        QCOMPARE(recorder.count(), 1);
    }

    // Reset Device brings back the cards' defaults (channel 1 of each card
    // on); the window then sends what its panels show: every channel, the
    // first card's analog triggers, the output triggers and the voltage
    // reference. A failed reset sends nothing.
    void resetResendsThePanels_data()
    {
        QTest::addColumn<QByteArray>("sim");
        QTest::newRow("reset") << QByteArray();
        QTest::newRow("reset fails") << QByteArray("default; fail call=nv6842_multReset status=0xBFFC0801");
    }
    void resetResendsThePanels()
    {
        QFETCH(QByteArray, sim);
        qputenv("TRELLIN_SIM", sim);
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        const ViSession vi = w->d_vi;
        const SourceSettings s;
        setSource(w->chPanels[2], s);
        w->fpOutTrg[1]->outputTrigger1->setCurrentIndex(5); // "Acquisition in Progress", code 6
        w->fpOutTrg[1]->outputTrigger1negate->setChecked(true);
        w->daq->vrefCombo->setCurrentIndex(2);
        journal();
        w->resetButton->click();
        const QStringList lines = journal();
        QCOMPARE(lines.value(0), QStringLiteral("nv6842_multReset(%1, 1)").arg(vi));
        QCOMPARE(recorder.count(), sim.isEmpty() ? 1 : 2); // the connection question, and the failure
        QVERIFY(sim.isEmpty() || lines.size() == 1);
        if (!sim.isEmpty())
            return;
        checkConfigured(lines, "nv6842_setMultChanConfig", range(1, 32), [vi](int ch) {
            const QString off = QStringLiteral("nv6842_setMultChanConfig(%1, %2, %3, 1, 0)");
            return ch == 3 ? chanLine(vi, ch) : off.arg(vi).arg(ch).arg(ch % 16 == 1 ? 1 : 0);
        });
        checkConfigured(lines, "nv6842_setMultATRIConfig", range(1, 16), [vi, s](int ch) {
            return atLine(vi, ch, ch == 3 ? s : SourceSettings{0, 0, 0, 0, 0, 0.0, 0.0});
        });
        const QString fc2 = QString::number(cardSessionOf(vi, 1));
        QCOMPARE(lines.filter(QRegularExpression("^nv6842_set(OTRIConfig|FPTrigPolarity)\\(" + fc2)),
                 (QStringList{"nv6842_setOTRIConfig(" + fc2 + ", 0, 0, 6, 0, 0, 0, 0)",
                              QStringLiteral("nv6842_setFPTrigPolarity(%1, %2, %3, %3)")
                                  .arg(fc2).arg(nv6842_LOW).arg(nv6842_HIGH)}));
        QCOMPARE(lines.filter("nv6842_setOTRIConfig(").size(), 2);
        // Both cards sit on one carrier, whose reference each of them sets.
        const QString vref = QStringLiteral("setVoltRefOutput(0, %1)").arg(QString::asprintf("%.17g", vrefs[2]));
        QCOMPARE(lines.filter("setVoltRefOutput("), (QStringList{vref, vref}));
    }

    // Enabled channels (bit c) and gain index per channel of the first card:
    // the warning, or the mask and gain the driver receives.
    void calibrateAll_data()
    {
        QTest::addColumn<int>("enabled");
        QTest::addColumn<QList<int>>("gains"); // for the enabled channels, in order
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("call");    // arguments behind the card session
        QTest::newRow("only ch 4 at 100") << 0x0008 << QList<int>{6} << QString()
                                          << QStringLiteral("8, 100)");
        QTest::newRow("ch 1 and 16 at 2") << 0x8001 << QList<int>{1, 1} << QString()
                                          << QStringLiteral("-32767, 2)");
        QTest::newRow("gains 1 and 10")
            << 0x0009 << QList<int>{0, 3}
            << QStringLiteral("To calibrate all channels, set equal gain parameters on all "
                              "enabled channels")
            << QString();
        QTest::newRow("none enabled")
            << 0 << QList<int>{}
            << QStringLiteral("To calibrate all channels, at least one channel should be enabled")
            << QString();
    }
    void calibrateAll()
    {
        QFETCH(int, enabled);
        QFETCH(QList<int>, gains);
        QFETCH(QString, warning);
        QFETCH(QString, call);
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        const ViSession fcVi = cardSessionOf(w->d_vi, 0);
        QList<int> gainsLeft = gains;
        for (int ch = 0; ch < 16; ++ch) {
            nv6842fp_chCfg *panel = w->chPanels[ch];
            panel->enable->setChecked((enabled >> ch) & 1);
            if ((enabled >> ch) & 1)
                panel->gain->setCurrentIndex(gainsLeft.takeFirst());
        }
        // A different gain on the second card changes nothing on the first.
        w->chPanels[16]->enable->setChecked(true);
        w->chPanels[16]->gain->setCurrentIndex(10);
        recorder.clear();
        journal();
        w->calibrateAll();
        QStringList calls = journal().filter("nv6842_calibrateChannels");
        if (warning.isEmpty()) {
            QCOMPARE(recorder.texts(), QStringList{nv6842fp::cardCalibrationDoneText(1)});
            QCOMPARE(calls, QStringList{QStringLiteral("nv6842_calibrateChannels(%1, %2")
                                            .arg(fcVi)
                                            .arg(call)});
        } else {
            QCOMPARE(recorder.texts(), QStringList{warning});
            QCOMPARE(calls, QStringList());
        }

        // Storing asks first and stores only on Yes, with the same checks.
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            recorder.clear();
            recorder.answerStandard(answer);
            w->storeCalibToEEPROM();
            calls = journal().filter("nv6842_storeCalibData");
            if (!warning.isEmpty()) {
                QCOMPARE(recorder.texts(), QStringList{warning});
                QCOMPARE(calls, QStringList());
                continue;
            }
            QCOMPARE(recorder.count(), answer == QMessageBox::Yes ? 2 : 1); // and the confirmation
            QCOMPARE(recorder.boxes[0].title, QStringLiteral("Trellin 6842 SFP"));
            QCOMPARE(recorder.boxes[0].defaultButton, QMessageBox::No);
            const QString gain = call.section(QLatin1String(", "), 1).chopped(1);
            QCOMPARE(calls, answer == QMessageBox::Yes
                                ? QStringList{QStringLiteral("nv6842_storeCalibData(%1, %2)")
                                                  .arg(fcVi)
                                                  .arg(gain)}
                                : QStringList());
        }
    }

    // The card calibrates for 600 ms under its box, and the window handles
    // events (paints) meanwhile; the one report (a failure, or the
    // confirmation of a calibration or store that went through) comes after
    // the box and the busy cursor are gone.
    void calibrationBoxAndReports_data()
    {
        QTest::addColumn<QByteArray>("fail"); // the call that fails, if any
        QTest::addColumn<int>("action");      // 0 channel 1, 1 calibrate all, 2 store
        QTest::newRow("channel") << QByteArray() << 0;
        QTest::newRow("card") << QByteArray() << 1;
        QTest::newRow("card fails") << QByteArray("nv6842_calibrateChannels") << 1;
        QTest::newRow("store") << QByteArray() << 2;
        QTest::newRow("store fails") << QByteArray("nv6842_storeCalibData") << 2;
    }
    void calibrationBoxAndReports()
    {
        QFETCH(QByteArray, fail);
        QFETCH(int, action);
        qputenv("TRELLIN_SIM", "default; calibration ms=600"
                                   + (fail.isEmpty() ? QByteArray() : "; fail call=" + fail + " status=0xBFFC0801"));
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        if (action == 2)
            w->calibrateAll(); // the coefficients to store
        recorder.clear();
        recorder.answerStandard(QMessageBox::Yes); // store them
        bool underBox = false, boxSeenMeanwhile = false;
        recorder.onBox = [&](const sfp::MessageRequest &) {
            underBox |= QApplication::activeModalWidget() || QApplication::overrideCursor();
        };
        QTimer::singleShot(300, w.get(), [&] { boxSeenMeanwhile = QApplication::activeModalWidget(); });
        if (action == 0)
            w->chPanels[0]->calibrate();
        else if (action == 1)
            w->calibrateAll();
        else
            w->storeCalibToEEPROM();
        const QString done[] = {nv6842fp::channelCalibrationDoneText(1, 1), nv6842fp::cardCalibrationDoneText(1),
                                nv6842fp::calibrationStoredText(1)};
        const QStringList reports = recorder.texts().filter(QRegularExpression("^(?!Are you sure)"));
        QCOMPARE(reports.size(), 1);
        QVERIFY2(fail.isEmpty() ? reports[0] == done[action] : reports[0].startsWith(fail), qPrintable(reports[0]));
        QVERIFY(!underBox && !QApplication::overrideCursor());
        QCOMPARE(boxSeenMeanwhile, action < 2 && fail.isEmpty());
    }

    void displayError_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("shown"); // %1 = the driver's text; empty: nothing shown
        QTest::newRow("error") << int(nv6842_ERROR_INV_PARAMETER)
                               << QStringLiteral("call(x) failed due to [%1]\nDo you want to exit?");
        QTest::newRow("warning") << int(nv6842_WARN_CALIBRATION)
                                 << QStringLiteral("Warning: [%1]");
        QTest::newRow("ignored 0x3FFC0A01") << 0x3FFC0A01 << QString();
        QTest::newRow("ignored 0x3FFC0A03") << 0x3FFC0A03 << QString();
    }
    void displayError()
    {
        QFETCH(int, status);
        QFETCH(QString, shown);
        MessageRecorder recorder;
        recorder.answerStandard(QMessageBox::No);
        Window w = demoWindow(1);
        w->displayError(status, "call(x)");
        if (shown.isEmpty()) {
            QCOMPARE(recorder.count(), 0);
        } else {
            QCOMPARE(recorder.texts(), QStringList{shown.arg(driverText(status))});
            QVERIFY(recorder.exitCodes.isEmpty());
        }
    }

    // A stored file of three cards at a rate the list lacks: the window is
    // built for the file's cards and preset from its header.
    void presetFromStoredFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("three.bin6842");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("DEVICE=Trellin 6842\nFORMAT=ViReal64\nSAMPLING_RATE_HZ=12345.678\n"
                   "NUMBER_OF_CHANNELS=19\nNUMBER_OF_SCANS_PER_BLOCK=1000\n"
                   "NUMBER_OF_FUNCTION_CARDS=3\nCHANNEL_MASK_FC1=0x0005\n"
                   "CHANNEL_MASK_FC2=0x8000\nCHANNEL_MASK_FC3=0xFFFF\nTIME_OFFSET=0.000000\n"
                   "TIMESTAMPS=0\n#\n");
        file.write(QByteArray(19 * 1000 * 8 * 7, '\0'));
        file.close();
        StoredFileInfo_t info{};
        QCOMPARE(readStoredFileHeader(path.toLocal8Bit().constData(), &info), 0);

        MessageRecorder recorder;
        StoredFileInfo = info; // start-up's record of the viewed file
        Window w = std::make_unique<nv6842fp_App>(&gl_fc, info.fcCount, true);
        QCOMPARE(recorder.count(), 0);
        QCOMPARE(w->cards(), 3);
        const int lengthItems = w->daq->lengthCombo->count();
        const int rateItems = w->daq->rateCombo->count();
        w->presetFromStoredFile(info);

        QCOMPARE(w->daq->lengthCombo->count(), lengthItems + 1);
        QCOMPARE(w->daq->lengthCombo->currentText(), QStringLiteral("1000"));
        QCOMPARE(w->daq->lengthCombo->currentData().toInt(), 1000);
        QCOMPARE(w->daq->rateCombo->count(), rateItems + 1);
        QCOMPARE(w->daq->rateCombo->currentText(), QStringLiteral("12345.7"));
        QCOMPARE(w->daq->rateCombo->currentData().toDouble(), 12345.678);
        const quint16 masks[3] = {0x0005, 0x8000, 0xFFFF};
        for (int k = 0; k < 3; ++k)
            for (int ch = 0; ch < 16; ++ch) {
                const nv6842fp_chCfg *panel = w->chPanels[k * 16 + ch];
                const bool on = (masks[k] >> ch) & 1;
                QCOMPARE(panel->enable->isChecked(), on);
                QCOMPARE(panel->calibButton->isEnabledTo(panel), on); // the enable rule ran
            }
        QVERIFY(w->mainTabs->isTabEnabled(0));
        QVERIFY(w->mainTabs->isTabEnabled(1));
        QVERIFY(!w->mainTabs->isTabEnabled(2));
        QVERIFY(w->mainTabs->isTabEnabled(3)); // for its FFT options
        QVERIFY(w->waveform->stateLabel->isHidden());
        QVERIFY(!w->waveform->blockSlider->isHidden());
        QVERIFY(!w->waveform->positionLabel->isHidden());
        QCOMPARE(w->waveform->blockSlider->minimum(), 1);
        QCOMPARE(w->waveform->blockSlider->maximum(), 7);

        // A rate and a length already offered are selected, not added.
        info.scansPerBlock = 512;
        info.rateHz = w->daq->rateCombo->itemData(0).toDouble();
        w->presetFromStoredFile(info);
        QCOMPARE(w->daq->lengthCombo->count(), lengthItems + 1);
        QCOMPARE(w->daq->lengthCombo->currentData().toInt(), 512);
        QCOMPARE(w->daq->rateCombo->count(), rateItems + 1);
        QCOMPARE(w->daq->rateCombo->currentIndex(), 0);
    }

    // The sample plug-in beside the program: one page per card, fed with
    // the first card's gains and enables; its errors reach the error display.
    void pluginPages()
    {
        MessageRecorder recorder;
        Window w = demoWindow(2);
        QVERIFY(w->scuTabs);
        QCOMPARE(w->mainTabs->tabText(w->mainTabs->count() - 1), QStringLiteral("SCUs"));
        QCOMPARE(w->mainTabs->indexOf(w->scuTabs), 4);
        QCOMPARE(tabTitles(w->scuTabs),
                 (QStringList{"SCU 3520 on FC #1", "SCU 3520 on FC #2"}));
        auto *page = qobject_cast<QWidget *>(w->scuTabs->widget(1));
        QTableWidget *table = page->findChild<QTableWidget *>();
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Yes"));
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("No"));
        w->chPanels[1]->gain->setCurrentIndex(4); // 20
        w->chPanels[1]->setChCfg();
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("20"));
        QCOMPARE(recorder.count(), 0);
        w->chPanels[1]->gain->setCurrentIndex(7); // 200 overdrives the unit
        w->chPanels[1]->setChCfg();
        QCOMPARE(recorder.count(), 2); // one warning per plug-in page
        QVERIFY(recorder.last().text.startsWith(QStringLiteral("Warning: [")));
    }

    void closingSavesSyncMethod()
    {
        MessageRecorder recorder;
        Window w = demoWindow(1);
        w->show();
        nv6842fp_storeSyncMethod(1);
        w->waveform->syncMethod = nv6842fp_syncMethodDialog::createSyncMethodCombo(w->waveform);
        w->waveform->syncMethod->setCurrentIndex(0);
        recorder.answerStandard(QMessageBox::No);
        QVERIFY(!w->close());
        QCOMPARE(nv6842fp_storedSyncMethod(), 1);
        recorder.answerStandard(QMessageBox::Yes);
        QVERIFY(w->close());
        QCOMPARE(nv6842fp_storedSyncMethod(), 0);
    }
};

QTEST_MAIN(TestAppMain)
#include "test_app_main.moc"
