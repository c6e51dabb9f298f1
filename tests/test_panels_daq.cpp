// The acquisition page, the output-trigger group and the synchronisation
// dialog on the simulated instrument: defaults, the rate list of the first
// card, the trigger-source rules, the PTP alarm from the card's clock, the
// voltage reference as the carrier reports it back, output-trigger codes in
// the driver's journal, "-acperf", and failures through the message seam.
#include "fpOutputTrigger.h"
#include "messagerecorder.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_syncMethodDialog.h"
#include "nv9471fp_PTPalarm.h"
#include "test_sim_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
// The application sees "-acperf" as its last argument only while this count
// includes it; QCoreApplication::arguments() reads the count on every call.
int appArgc = 0;
int argcWithWord = 0;
void setAcperfWord(bool on)
{
    appArgc = on ? argcWithWord : argcWithWord - 1;
}

const double builtInVrefs[] = {0.0, 4.5, 0.45, 0.045, 0.0045, -0.0045, -0.045, -0.45, -4.5};

// A session of the simulated cards, closed at the end of the test.
struct Session {
    ViSession vi = VI_NULL;
    Session(const char *descriptors, std::vector<ViInt16> fcs)
    {
        if (openCards(descriptors, fcs, &vi) < VI_SUCCESS)
            vi = VI_NULL;
    }
    ~Session()
    {
        if (vi)
            nv6842_multClose(vi);
    }
};

std::unique_ptr<nv6842fp_DAQ> makePanel(ViSession vi, int cards, bool lxi, int vrefCount = 9)
{
    return std::make_unique<nv6842fp_DAQ>(nullptr, vi, vi ? 0 : 1, cards, lxi, builtInVrefs,
                                          vrefCount);
}

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList journalLines(const char *prefix)
{
    char text[8192] = {};
    trellinSimJournal(text, sizeof text);
    QStringList lines;
    for (const QString &line : QString::fromLatin1(text).split('\n'))
        if (line.startsWith(QLatin1String(prefix)))
            lines << line;
    return lines;
}

double vrefOutput(ViSession vi, int card)
{
    instEnv_t *inst = nullptr;
    viGetAttribute(cardSessionOf(vi, card), VI_ATTR_USER_DATA, &inst);
    double volts = 1e9;
    if (inst && inst->head.ifVref)
        inst->head.ifVref->getVoltRefOutput(inst->head.libEnv, &volts);
    return volts;
}
} // namespace

class TestPanelsDaq : public QObject
{
    Q_OBJECT
private slots:
    void demoDefaults();
    void ratesOfFirstCard();
    void storageSwitchesLengthMeaning();
    void triggerSourceRules();
    void ptpAlarmFromCardClock();
    void voltageReference();
    void outputTriggerCodesReachDriver();
    void acperfAddsSineFitAndMeasurements();
    void syncMethodDialog();
    void failuresAreReported_data();
    void failuresAreReported();
};

void TestPanelsDaq::demoDefaults()
{
    MessageRecorder recorder;
    auto daq = makePanel(VI_NULL, 2, false);
    QCOMPARE(daq->lengthCombo->currentText(), QStringLiteral("2048"));
    QCOMPARE(daq->lengthCombo->currentData().toInt(), 2048);
    QCOMPARE(daq->rateCombo->count(), 18);
    QCOMPARE(daq->rateCombo->currentText(), QStringLiteral("10.0 kHz"));
    QCOMPARE(daq->rateCombo->currentData().toDouble(), 10000.0);
    QCOMPARE(daq->rateCombo->itemData(7).toDouble(), 100.1);
    QCOMPARE(daq->trgLevel->currentText(), QStringLiteral("EDGE"));
    QVERIFY(!daq->trgSrc[5]);
    QVERIFY(!daq->ptpAlarm);
    QCOMPARE(daq->vrefCombo->count(), 9);
    QCOMPARE(daq->vrefCombo->itemText(1), QStringLiteral("4.500000 V"));
    QCOMPARE(daq->vrefCombo->itemData(8).toInt(), 8);
    QCOMPARE(daq->zeroPaddingCombo->currentData().toInt(), 1);
    QCOMPARE(daq->fftWindowCombo->itemData(5).toInt(), 5);
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsDaq::ratesOfFirstCard()
{
    SimConfig config("carrier vxi slot=2; fc 1 rate=20000:50000; fc 2");
    MessageRecorder recorder;
    Session cards("VXI0::2::INSTR,VXI0::2::INSTR", {1, 2});
    QVERIFY(cards.vi);
    auto daq = makePanel(cards.vi, 2, false);
    QCOMPARE(itemTexts(daq->rateCombo),
             (QStringList{"20.0 kHz", "30.0 kHz", "40.0 kHz", "50.0 kHz"}));
    QCOMPARE(daq->rateCombo->currentIndex(), 3);
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsDaq::storageSwitchesLengthMeaning()
{
    MessageRecorder recorder;
    auto daq = makePanel(VI_NULL, 1, false);
    QCOMPARE(daq->lengthLabel->text(), QStringLiteral("Waveform Length"));
    QVERIFY(daq->lengthCombo->toolTip().isEmpty());
    daq->storeToFile->setChecked(true);
    QCOMPARE(daq->lengthLabel->text(), QStringLiteral("Scan Threshold"));
    QVERIFY(daq->lengthCombo->toolTip().startsWith("<html>Defines the size of data blocks"));
    QCOMPARE(daq->lengthCombo->whatsThis(), daq->lengthCombo->toolTip());
    daq->storeToFile->setChecked(false);
    QCOMPARE(daq->lengthLabel->text(), QStringLiteral("Waveform Length"));
    QVERIFY(daq->lengthCombo->toolTip().isEmpty());
}

void TestPanelsDaq::triggerSourceRules()
{
    MessageRecorder recorder;
    Session lxi("TCPIP0::127.0.0.2::INSTR", {1});
    QVERIFY(lxi.vi);
    auto daq = makePanel(lxi.vi, 1, true);
    daq->show();
    QCheckBox **box = daq->trgSrc;
    QVERIFY(box[5] && daq->ptpAlarm);
    QVERIFY(!box[3]->isEnabled() && !daq->ptpAlarm->isEnabled());

    box[2]->click();
    QVERIFY(box[3]->isEnabled());
    box[3]->click();
    box[2]->click(); // unchecking trigger 3 also unchecks "Low Active"
    QVERIFY(!box[3]->isChecked() && !box[3]->isEnabled());

    for (int i : {0, 1, 2, 3, 4})
        if (box[i]->isEnabled() && !box[i]->isChecked())
            box[i]->click();
    box[5]->click();
    for (int i = 0; i < 5; ++i)
        QVERIFY2(!box[i]->isChecked() && !box[i]->isEnabled(), qPrintable(box[i]->text()));
    QVERIFY(!daq->trgLevel->isEnabled() && !daq->trgLevelLabel->isEnabled());
    QVERIFY(daq->ptpAlarm->isEnabled());

    box[5]->click();
    for (int i : {0, 1, 2, 4})
        QVERIFY(box[i]->isEnabled() && !box[i]->isChecked());
    QVERIFY(!box[3]->isEnabled());
    QVERIFY(daq->trgLevel->isEnabled() && !daq->ptpAlarm->isEnabled());
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsDaq::ptpAlarmFromCardClock()
{
    SimConfig config("carrier lxi ip=127.0.0.2; fc 1; clock utc=37");
    MessageRecorder recorder;
    Session lxi("TCPIP0::127.0.0.2::INSTR", {1});
    QVERIFY(lxi.vi);
    auto daq = makePanel(lxi.vi, 1, true);
    const ViSession fcVi = cardSessionOf(lxi.vi, 0);
    daq->trgSrc[5]->click(); // the alarm entry is usable only with "PTP Alarm" checked
    const qint64 before = cardNowNs(fcVi) / 1000000000;
    daq->ptpAlarm->nowPlusButton->click();
    const qint64 after = cardNowNs(fcVi) / 1000000000;
    QCOMPARE(daq->ptpAlarm->utcOffset, 37);
    QVERIFY(daq->ptpAlarm->alarmTime() >= before + 10 && daq->ptpAlarm->alarmTime() <= after + 10);
    // The fields show UTC: the card's time less its 37 s offset.
    const QDateTime shown(QDate(daq->ptpAlarm->yearSpin->value(), daq->ptpAlarm->monthSpin->value(),
                                daq->ptpAlarm->daySpin->value()),
                          QTime(daq->ptpAlarm->hourSpin->value(),
                                daq->ptpAlarm->minuteSpin->value(),
                                daq->ptpAlarm->secondSpin->value()),
                          Qt::UTC);
    QVERIFY(shown.toSecsSinceEpoch() >= before + 10 - 37 &&
            shown.toSecsSinceEpoch() <= after + 10 - 37);

    daq->setCurrentTime();
    QVERIFY(daq->ptpAlarm->countdownText().contains("Time to PTP Alarm: -"));
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsDaq::voltageReference()
{
    MessageRecorder recorder;
    Session cards("VXI0::2::INSTR,VXI0::2::INSTR,TCPIP0::127.0.0.2::INSTR", {1, 2, 1});
    QVERIFY(cards.vi);
    auto daq = makePanel(cards.vi, 3, false);
    QVERIFY(daq->vrefCombo->isEnabled());
    QCOMPARE(daq->vrefCombo->currentIndex(), 0);
    emit daq->vrefCombo->activated(7);
    QCOMPARE(vrefOutput(cards.vi, 0), -0.45);
    QCOMPARE(vrefOutput(cards.vi, 2), -0.45); // every card's carrier
    emit daq->vrefCombo->activated(1);
    QCOMPARE(vrefOutput(cards.vi, 1), 4.5);

    auto noTable = makePanel(cards.vi, 3, false, 0);
    QCOMPARE(noTable->vrefCombo->count(), 0);
    QVERIFY(!noTable->vrefCombo->isEnabled());
    noTable->setVref(0); // no entry to read
    QCOMPARE(vrefOutput(cards.vi, 0), 4.5);
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsDaq::outputTriggerCodesReachDriver()
{
    MessageRecorder recorder;
    Session cards("VXI0::2::INSTR", {1});
    QVERIFY(cards.vi);
    const ViSession fcvi = cardSessionOf(cards.vi, 0);
    fpOutputTrigger group;
    QVERIFY(!group.outputTrigger1negate->isEnabled() && !group.outputTrigger2negate->isEnabled());

    struct Case {
        int index1, index2;
        bool negate1, negate2;
        int code1, code2, pol1, pol2;
    };
    for (const Case &c : {Case{5, 3, true, false, 6, 5, nv6842_LOW, nv6842_HIGH},
                          Case{4, 4, false, true, 4, 6, nv6842_HIGH, nv6842_LOW},
                          Case{0, 2, false, false, 0, 2, nv6842_HIGH, nv6842_HIGH}}) {
        group.outputTrigger1->setCurrentIndex(c.index1);
        group.outputTrigger2->setCurrentIndex(c.index2);
        QCOMPARE(group.outputTrigger1negate->isEnabled(), c.index1 > 0);
        QCOMPARE(group.outputTrigger2negate->isEnabled(), c.index2 > 0);
        group.outputTrigger1negate->setChecked(c.negate1);
        group.outputTrigger2negate->setChecked(c.negate2);

        // What the acquisition start sends for this card.
        trellinSimJournalClear();
        nv6842_setOTRIConfig(fcvi, 0, 0, group.outputTrigger1->currentData().toInt(),
                             group.outputTrigger2->currentData().toInt(), 0, 0, 0);
        nv6842_setFPTrigPolarity(
            fcvi, group.outputTrigger1negate->isChecked() ? nv6842_LOW : nv6842_HIGH,
            group.outputTrigger2negate->isChecked() ? nv6842_LOW : nv6842_HIGH, 1);
        QCOMPARE(journalLines("nv6842_setOTRIConfig"),
                 QStringList(QStringLiteral("nv6842_setOTRIConfig(%1, 0, 0, %2, %3, 0, 0, 0)")
                                 .arg(fcvi)
                                 .arg(c.code1)
                                 .arg(c.code2)));
        QCOMPARE(journalLines("nv6842_setFPTrigPolarity"),
                 QStringList(QStringLiteral("nv6842_setFPTrigPolarity(%1, %2, %3, 1)")
                                 .arg(fcvi)
                                 .arg(c.pol1)
                                 .arg(c.pol2)));
    }
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsDaq::acperfAddsSineFitAndMeasurements()
{
    MessageRecorder recorder;
    for (bool on : {false, true}) {
        setAcperfWord(on);
        QTabWidget tabs;
        for (const char *name : {"Waveforms", "FFT Amplitude Spectrum", "Function Cards"})
            tabs.addTab(new QWidget, QString::fromLatin1(name));
        auto *measPanel = new QWidget;
        auto *daq =
            new nv6842fp_DAQ(&tabs, VI_NULL, 1, 1, false, builtInVrefs, 9, &tabs, measPanel);
        tabs.insertTab(3, daq, QStringLiteral("Acquisition"));
        QCOMPARE(daq->acperf, on);
        QCOMPARE(bool(daq->sineFitCombo), on);
        QCOMPARE(tabs.indexOf(measPanel), on ? 4 : -1);
        if (on) {
            QCOMPARE(tabs.tabText(4), QStringLiteral("Measurements"));
            QCOMPARE(daq->sineFitCombo->count(), 8);
            QCOMPARE(daq->sineFitCombo->currentData().toInt(), 0);
        } else {
            delete measPanel;
        }
    }
    setAcperfWord(false);
}

void TestPanelsDaq::syncMethodDialog()
{
    QSettings settings(QStringLiteral("Norvane Ltd."),
                       QStringLiteral("Trellin 6842 Soft Front Panel"));
    QWidget mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Trellin 6842 Soft Front Panel: lxi-127-0-0-2"));
    QWidget owner;
    for (int stored : {-1, 0, 1}) {
        if (stored < 0)
            settings.remove(QStringLiteral("SynchronizationMethod"));
        else
            settings.setValue(QStringLiteral("SynchronizationMethod"), stored);
        settings.sync();
        // Answered from inside the modal loop; checked after it, so a failure never hangs.
        QString title;
        bool frameless = false, autoDefault = true;
        int minimumWidth = 0;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *dialog = qobject_cast<nv6842fp_syncMethodDialog *>(modal);
            if (!dialog) {
                if (modal)
                    modal->close();
                return;
            }
            title = dialog->windowTitle();
            frameless = dialog->windowFlags() & Qt::FramelessWindowHint;
            minimumWidth = dialog->minimumWidth();
            autoDefault = dialog->okButton->autoDefault();
            dialog->okButton->click();
        });
        QComboBox *combo = nv6842fp_syncMethodDialog::run(&mainWindow, &owner);
        QCOMPARE(title, mainWindow.windowTitle());
        QVERIFY(frameless && !autoDefault && minimumWidth >= 330);
        QCOMPARE(combo->parentWidget(), &owner); // outlives its dialog
        QCOMPARE(itemTexts(combo), (QStringList{"LXI Triggers", "IEEE 1588"}));
        QCOMPARE(combo->currentIndex(), stored < 0 ? 1 : stored);
        delete combo;
    }
}

void TestPanelsDaq::failuresAreReported_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<bool>("pickVref");
    QTest::addColumn<QString>("text");
    QTest::newRow("card clock")
        << QByteArray("default; fail call=nv6842_getCurrentTimeEx status=0xBFFC0801") << false
        << "nv6842_getCurrentTimeEx(fcVi, &sec, VI_NULL, &UTCoffset, NULL) failed due to [";
    QTest::newRow("reference") << QByteArray(
                                      "default; fail call=setVoltRefOutput status=0xBFFC0801")
                               << true
                               << "instEnv->head.ifVref->setVoltRefOutput(instEnv->head.libEnv, "
                                  "vrefs[idx]) failed due to [";
    QTest::newRow("card session")
        << QByteArray("default; fail call=nv6842_getMultFCsession status=0xBFFC0801") << false
        << "nv6842_getMultFCsession(d_vi, 0, &fc_vi) failed due to [";
}

void TestPanelsDaq::failuresAreReported()
{
    QFETCH(QByteArray, config);
    QFETCH(bool, pickVref);
    QFETCH(QString, text);
    SimConfig sim(config);
    MessageRecorder recorder;
    recorder.defaultAnswer.standard = QMessageBox::No;
    Session lxi("TCPIP0::127.0.0.2::INSTR", {1});
    QVERIFY(lxi.vi);
    auto daq = makePanel(lxi.vi, 1, true);
    if (pickVref)
        emit daq->vrefCombo->activated(1);
    QCOMPARE(recorder.count(), 1);
    QVERIFY2(recorder.last().text.startsWith(text), qPrintable(recorder.last().text));
    QVERIFY(recorder.exitCodes.isEmpty());
}

int main(int argc, char **argv)
{
    // QtTest gets the real arguments; the application gets "-acperf" in addition,
    // switched on and off through its argument count.
    static char acperfWord[] = "-acperf";
    std::vector<char *> appArgv(argv, argv + argc);
    appArgv.push_back(acperfWord);
    appArgv.push_back(nullptr);
    argcWithWord = argc + 1;
    appArgc = argc; // without the word until a test asks for it
    QApplication app(appArgc, appArgv.data());
    TestPanelsDaq test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_panels_daq.moc"
