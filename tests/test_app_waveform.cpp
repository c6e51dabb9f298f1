// The waveform panel driving real acquisitions: demo waves, single blocks from
// the simulated cards checked against the simulator's signal formula, the
// driver calls of a start, the buffer limit, offline viewing of a stored file
// and the display spectrum of a known sine.
#include "datafile_writer.h"
#include "decimatedCurve.h"
#include "messagerecorder.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_globals.h"
#include "nv9471fp_app.h"
#include "plot_voltage.h"
#include "test_app_window.h"
#include "test_sim_helpers.h"

#include <qwt_plot_curve.h>

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cmath>
#include <cstring>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

const double twoPi = 2 * M_PI;

// Counts the opens of one file as the kernel reports them (inotify), an
// account of reads kept outside the program. Closes are watched too: the
// kernel merges an event into an identical unread one before it.
class FileOpenCounter
{
public:
    explicit FileOpenCounter(const QString &path) : fd(inotify_init1(IN_NONBLOCK))
    {
        if (fd >= 0 && inotify_add_watch(fd, QFile::encodeName(path).constData(), IN_OPEN | IN_CLOSE) < 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~FileOpenCounter()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool valid() const { return fd >= 0; }
    // Opens since the last call.
    int count()
    {
        int opens = 0;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                return opens;
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                opens += (event->mask & IN_OPEN) ? 1 : 0;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int fd;
};

QVector<QPointF> points(const QwtPlotCurve *curve)
{
    QVector<QPointF> list;
    for (size_t i = 0; i < curve->dataSize(); ++i)
        list << curve->sample(int(i));
    return list;
}

} // namespace

class TestAppWaveform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        sfp::setMessageCard(&gl_fc);
        qputenv("TRELLIN_SIM", QByteArray());
    }

    void cleanup() { StoredFileInfo = StoredFileInfo_t{}; }

    void demoSingleShotShowsTheDemoWaves()
    {
        MessageRecorder recorder;
        Window w = demoModeWindow(recorder, 1);
        w->chPanels[2]->enable->setChecked(true); // channels 1 and 3
        selectData(w->daq->lengthCombo, 1024);
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        nv6842fp_Waveform *wave = w->waveform;
        QCOMPARE(wave->scans, 1024);
        // Channel ordinal o shows 1.2 (o + 1) periods of a 1 V sine.
        const struct { int curve; int ordinal; } cases[] = {{0, 0}, {2, 1}};
        for (const auto &c : cases) {
            const QVector<QPointF> p = points(wave->curves[c.curve]);
            QCOMPARE(p.size(), 1024);
            for (int k = 0; k < 1024; k += 97)
                QVERIFY(std::abs(p[k].y() - std::sin(k * (c.ordinal + 1) * 1.2 * twoPi / 1024)) < 1e-9);
        }
        QCOMPARE(wave->curves[1]->dataSize(), size_t(0));
        QVERIFY(w->mainTabs->isTabEnabled(2) && w->mainTabs->isTabEnabled(3));
        QVERIFY(w->singleButton->isEnabled() && !w->singleButton->isChecked());
    }

    void singleBlockFromTheSimulatedCards()
    {
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w && w->cards() == 2);
        w->chPanels[16 + 1]->enable->setChecked(true); // card 2, channel 2
        selectData(w->daq->lengthCombo, 1024);
        const double rate = w->daq->rateCombo->currentData().toDouble();
        journal();
        const int boxes = recorder.count();
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        QCOMPARE(recorder.count(), boxes);

        // The simulator's signal: channel c of FC n is a sine of 50c + 5(n-1) Hz,
        // amplitude 0.5 + 0.5((c-1) mod 4) V, offset 0.01c V, 5 uV noise.
        const struct { int curve; int fc; int ch; } cases[] = {{0, 1, 1}, {17, 2, 2}};
        for (const auto &c : cases) {
            const QVector<QPointF> p = points(w->waveform->curves[c.curve]);
            QCOMPARE(p.size(), 1024);
            const double f = 50.0 * c.ch + 5.0 * (c.fc - 1);
            const double amp = 0.5 + 0.5 * ((c.ch - 1) % 4);
            for (int i = 0; i < 1024; i += 31) {
                const double expected = 0.01 * c.ch + amp * std::sin(twoPi * i * f / rate);
                QVERIFY2(std::abs(p[i].y() - expected) < 1e-4,
                         qPrintable(QString("curve %1 scan %2: %3 vs %4").arg(c.curve).arg(i).arg(p[i].y()).arg(expected)));
                QCOMPARE(p[i].x(), i / rate);
            }
        }

        const QStringList lines = journal();
        const QString vi = QString::number(w->d_vi);
        QCOMPARE(lines.filter("nv6842_setMultTrigConfig(").size(), 1);
        QVERIFY2(lines.filter(QStringLiteral("nv6842_multConfig(%1, ").arg(vi)).size() == 1, qPrintable(lines.join('\n')));
        QCOMPARE(lines.filter("nv6842_setOTRIConfig(").size(), 2);
        QCOMPARE(lines.filter("nv6842_setFPTrigPolarity(").size(), 2);
        // No trigger source: each block is started by a software trigger.
        QVERIFY(!lines.filter("nv6842_generateITRI(").isEmpty());

        // The spectrum of card 1's channel 1 peaks at 50 Hz with -6 dB (0.5 V),
        // less at most the rectangular window's scalloping loss of 3.92 dB.
        const QwtPlotCurve *spectrum = w->spectrumPlot->curves[0];
        QTRY_COMPARE(spectrum->dataSize(), size_t(512));
        QPointF peak(0, -1000);
        for (size_t k = 2; k < spectrum->dataSize(); ++k)
            if (spectrum->sample(int(k)).y() > peak.y())
                peak = spectrum->sample(int(k));
        QVERIFY(std::abs(peak.x() - 50.0) <= rate / 1024);
        QVERIFY(peak.y() < -6.02 + 0.01 && peak.y() > -6.02 - 4.0);

        // Card 2's channel disabled for the next block: its old spectrum goes.
        const QwtPlotCurve *second = w->spectrumPlot->curves[17];
        QTRY_COMPARE(second->dataSize(), size_t(512));
        w->chPanels[16 + 1]->enable->setChecked(false);
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        QTRY_COMPARE(second->dataSize(), size_t(0));
        QCOMPARE(spectrum->dataSize(), size_t(512));
    }

    void refusesAStartWithoutAChannelOnTheFirstCard()
    {
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w && w->cards() == 2);
        w->chPanels[0]->enable->setChecked(false);
        w->chPanels[16]->enable->setChecked(true);
        journal();
        const int boxes = recorder.count();
        w->singleButton->click();
        QCOMPARE(recorder.count(), boxes + 1);
        QCOMPARE(recorder.last().text, QStringLiteral("At least one channel in first Function Card "
                                                      "must be enabled for Data Acquisition"));
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP Warning message"));
        QVERIFY(journal().filter(QRegularExpression("^nv6842_(setMultTrigConfig|multConfig|start)")).isEmpty());
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(w->singleButton->isEnabled() && !w->singleButton->isChecked());
    }

    void startShowsTheWaveforms_data()
    {
        QTest::addColumn<int>("from");    // the page in front when starting
        QTest::addColumn<QString>("how"); // "demo", "refused" (no channel on card 1) or "set-up fails"
        QTest::addColumn<int>("shown");   // the page in front afterwards
        QTest::newRow("demo, from Function Cards") << 2 << "demo" << 0;
        QTest::newRow("demo, from Acquisition") << 3 << "demo" << 0;
        QTest::newRow("demo, from the spectrum") << 1 << "demo" << 1;
        QTest::newRow("refused, from Function Cards") << 2 << "refused" << 0;
        QTest::newRow("set-up fails, from Acquisition") << 3 << "set-up fails" << 0;
    }

    void startShowsTheWaveforms()
    {
        QFETCH(int, from);
        QFETCH(QString, how);
        QFETCH(int, shown);
        const bool cards = how == "set-up fails";
        SimConfig config(cards ? "default; fail call=nv6842_multConfig status=0xBFFC0801 count=always" : "");
        MessageRecorder recorder;
        Window w = cards ? twoCards(recorder) : demoModeWindow(recorder, 1);
        QVERIFY(w);
        w->chPanels[0]->enable->setChecked(how != "refused");
        w->mainTabs->setCurrentIndex(from);
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        QCOMPARE(w->mainTabs->currentIndex(), shown);
    }

    void refusesABlockLargerThanTheBuffer()
    {
        // 79 cards of 16 channels at 8192 scans: 10,354,688 values.
        MessageRecorder recorder;
        Window w = demoModeWindow(recorder, 79);
        for (nv6842fp_chCfg *panel : qAsConst(w->chPanels))
            panel->enable->setChecked(true);
        selectData(w->daq->lengthCombo, 8192);
        const int boxes = recorder.count();
        w->singleButton->click();
        QCOMPARE(recorder.count(), boxes + 1);
        QVERIFY2(recorder.last().text.contains("10240000") || recorder.last().text.contains("10,240,000"),
                 qPrintable(recorder.last().text));
        QVERIFY(!w->waveform->setupDone);
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(w->singleButton->isEnabled() && !w->singleButton->isChecked());
    }

    void offlineViewerTakesTheLayoutFromTheFile()
    {
        QTemporaryDir dir;
        // Three cards: channels 1 and 3 of card 1, none of card 2, 1 and 16 of card 3.
        const QString path = writeStoredFile(dir.filePath("three.bin6842"), 1000.0, 50,
                                             {0x0005, 0x0000, 0x8001}, 4,
                                             [](int b, int o, int s) { return b * 100 + o * 10 + s * 0.01; });
        Window w = openStoredFile(path);
        QVERIFY(w);
        QCOMPARE(w->cards(), 3);
        QVERIFY(w->mainTabs->isTabEnabled(0));
        QVERIFY(!w->mainTabs->isTabEnabled(2));
        // An enable box ticked by hand must not shift the file's channels.
        w->chPanels[1]->enable->setChecked(true);

        w->waveform->blockSlider->setValue(3);
        nv6842fp_Waveform *wave = w->waveform;
        QCOMPARE(wave->positionLabel->text(), QStringLiteral("<html><b>3 / 4</b></html>"));
        const struct { int curve; int ordinal; } cases[] = {{0, 0}, {2, 1}, {32, 2}, {47, 3}};
        for (const auto &c : cases) {
            const QVector<QPointF> p = points(wave->curves[c.curve]);
            QCOMPARE(p.size(), 50);
            QCOMPARE(p[7].y(), 2 * 100 + c.ordinal * 10 + 7 * 0.01);
            QCOMPARE(p[7].x(), 2 * 50 / 1000.0 + 7 / 1000.0);
        }
        QCOMPARE(wave->curves[1]->dataSize(), size_t(0));
        QVERIFY(!wave->refreshTimer->isActive());
        QVERIFY(!w->mainTabs->isTabEnabled(2));

        // Repetitive viewing runs to the last block and stops there.
        w->waveform->blockSlider->setValue(1);
        w->contButton->click();
        QVERIFY(waitForEnd(w.get()));
        QCOMPARE(wave->blockSlider->value(), 4);
        QCOMPARE(points(wave->curves[47])[0].y(), 3 * 100 + 3 * 10.0);
    }

    void fileBlocksAreReadOnceAndTheSliderStaysWhereMoved()
    {
        QTemporaryDir dir;
        const QString path = writeStoredFile(dir.filePath("steps.bin6842"), 1000.0, 20, {0x0001}, 4,
                                             [](int b, int, int s) { return b * 100 + s * 0.01; });
        MessageRecorder recorder;
        Window w = openStoredFile(path);
        QVERIFY(w);
        nv6842fp_Waveform *wave = w->waveform;
        QCOMPARE(wave->blockSlider->value(), 1);
        FileOpenCounter opens(path);
        if (!opens.valid())
            QSKIP("no inotify here");

        // A repetitive run from block 1 reads each block once, the kernel says.
        w->contButton->click();
        QVERIFY(waitForEnd(w.get()));
        QCOMPARE(wave->blockSlider->value(), 4);
        QCOMPARE(points(wave->curves[0])[0].y(), 300.0);
        QCOMPARE(opens.count(), 4);

        // A slider moved by hand shows its block and starts nothing that moves it on.
        wave->blockSlider->setValue(2);
        QCOMPARE(opens.count(), 1);
        QCOMPARE(points(wave->curves[0])[5].y(), 100 + 5 * 0.01);
        QCOMPARE(points(wave->curves[0])[5].x(), 20 / 1000.0 + 5 / 1000.0);
        QCOMPARE(wave->positionLabel->text(), QStringLiteral("<html><b>2 / 4</b></html>"));
        QVERIFY(!wave->refreshTimer->isActive());
        QCOMPARE(wave->blockSlider->value(), 2);
        QVERIFY(recorder.boxes.isEmpty() && recorder.exitCodes.isEmpty());
    }

    // A file that goes away or shrinks while it is viewed: the box says why
    // on its second line, and the process ends.
    void unreadableFileBlockSaysWhy_data()
    {
        QTest::addColumn<bool>("removed"); // else cut to half a block
        QTest::addColumn<QString>("reason");
        QTest::newRow("removed") << true << QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("shrunk") << false << QStringLiteral("The file is shorter than its header says.");
    }

    void unreadableFileBlockSaysWhy()
    {
        QFETCH(bool, removed);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        MessageRecorder recorder;
        const QString path = dir.filePath("gone.bin6842");
        Window w = openStoredFile(writeStoredFile(path, 1000.0, 20, {0x0001}, 2, [](int, int, int) { return 0.0; }));
        QVERIFY(w);
        QVERIFY(removed ? QFile::remove(path) : QFile::resize(path, StoredFileInfo.dataOffset + 80));
        w->waveform->blockSlider->setValue(2);
        QCOMPARE(recorder.texts(), QStringList{QStringLiteral("Cannot read: \"%1\".\n%2").arg(path, reason)});
        QCOMPARE(recorder.exitCodes, QList<int>{-1});
    }

    void spectrumOfAStoredSine_data()
    {
        QTest::addColumn<int>("padding");
        QTest::addColumn<int>("scans");
        QTest::newRow("off") << 1 << 64;
        QTest::newRow("10 x") << 10 << 64;
        QTest::newRow("one scan per block") << 1 << 1;
    }

    void spectrumOfAStoredSine()
    {
        QFETCH(int, padding);
        QFETCH(int, scans);
        // 1 V on bin 8: the rectangular window shows 0 dB there.
        QTemporaryDir dir;
        const double rate = 6400.0;
        const QString path = writeStoredFile(dir.filePath("sine.bin6842"), rate, scans, {0x0001}, 1,
                                             [&](int, int, int s) { return std::sin(twoPi * 8 * s / 64.0); });
        Window w = openStoredFile(path);
        QVERIFY(w);
        selectData(w->daq->zeroPaddingCombo, padding);
        QwtPlotCurve *curve = w->spectrumPlot->curves[0];
        curve->setSamples(QVector<QPointF>{{1, 1}, {2, 2}});
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        if (scans < 2) {
            QTRY_COMPARE(curve->dataSize(), size_t(0));
            return;
        }
        const int bins = scans * padding / 2;
        QTRY_COMPARE(curve->dataSize(), size_t(bins));
        const QPointF top = curve->sample(8 * padding);
        QCOMPARE(top.x(), 8 * padding * rate / (scans * padding));
        QVERIFY(std::abs(top.y()) < 1e-9);
        for (size_t k = 0; k < curve->dataSize(); ++k)
            QVERIFY(std::isfinite(curve->sample(int(k)).y()));
        QCOMPARE(curve->sample(bins - 1).x(), (bins - 1) * rate / (scans * padding));
    }

    void closingStopsARunningAcquisition()
    {
        MessageRecorder recorder;
        Window w = demoModeWindow(recorder, 1);
        w->contButton->click();
        QTRY_VERIFY(w->waveform->refreshTimer->isActive());
        recorder.answerStandard(QMessageBox::Yes);
        QVERIFY(w->close());
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(!w->contButton->isChecked());
    }
};

QTEST_MAIN(TestAppWaveform)
#include "test_app_waveform.moc"
