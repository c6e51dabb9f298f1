// The "Measurements" page of a window started with "-acperf": the tab and the
// sine-fit selector, the table for stored sines of known amplitude, offset,
// frequency and phase on two cards, short blocks, the message rule of failed
// calculations, and the clipboard text and table files on the simulated cards.
#include "datafile_writer.h"
#include "analysisPool.h"
#include "measurement.h"
#include "messagerecorder.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_fileNames.h"
#include "nv6842fp_globals.h"
#include "nv9471fp_app.h"
#include "plot_voltage.h"
#include "test_app_window.h"
#include "test_locale_helpers.h"
#include "test_sim_helpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSlider>
#include <QStandardItem>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QRunnable>
#include <QThreadPool>
#include <QtTest>
#include <qwt_plot_curve.h>

#include <qwt_plot_curve.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <cstdio>
#include <vector>

namespace {

const double twoPi = 2 * M_PI;

// One stored sine: offset + amplitude * sin(2 pi bin i / scans + phase) on
// channel `channel` (0-based) of card `card`. Phases lie in [0, pi), where
// the fitter reports them as they are.
struct Tone {
    int card, channel;
    double amplitude, offset;
    int bin;
    double phase;
};

// 1000 scans at 10 kHz: bins of 10 Hz. Card 1: channels 1, 3, 4; card 2:
// channels 2 and 5. Channels 1 and 3 share 120 Hz, 45 degrees apart;
// channels 2 and 5 of card 2 share 400 Hz.
const double rate = 10000.0;
const int scans = 1000;
const std::vector<Tone> tones = {
    {0, 0, 1.5, 0.25, 12, 0.5},
    {0, 2, 0.75, -0.5, 12, 0.5 + M_PI / 4},
    {0, 3, 2.0, 0.0, 25, 2.0},
    {1, 1, 0.5, 0.125, 40, 1.0},
    {1, 4, 1.0, 1.0, 40, 2.5},
};

// A stored file of one block holding `tones` (in card and channel order), or
// `count` scans of them.
QString writeToneFile(const QString &path, int count)
{
    std::vector<uint16_t> masks(2, 0);
    for (const Tone &t : tones)
        masks[size_t(t.card)] |= uint16_t(1u << t.channel);
    return writeStoredFile(path, rate, count, masks, 1, [](int, int o, int i) {
        const Tone &t = tones[size_t(o)];
        return t.offset + t.amplitude * std::sin(twoPi * t.bin * i / scans + t.phase);
    });
}

// The offline viewer of the file, its block shown.
Window viewFile(const QString &path)
{
    Window w = openStoredFile(path);
    if (!w)
        return nullptr;
    w->singleButton->click();
    return waitForEnd(w.get()) ? std::move(w) : nullptr;
}

QString cell(nv6842fp_App *w, int row, int column)
{
    return w->measPanel->rows[row][column]->text();
}

QStringList rowTexts(nv6842fp_App *w, int row)
{
    QStringList texts;
    for (int c = 0; c < 10; ++c)
        texts << cell(w, row, c);
    return texts;
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// A column's share of the measurement page: (width - 80 s) / 10.
int columnShare(nv6842fp_App *w)
{
    return int((w->measPanel->width() - 80 * w->measPanel->logicalDpiX() / 96.0) / 10);
}

// "Save Table…" to path (the file question answered with it), and the file
// read back: empty when there is none.
QByteArray saveTable(nv6842fp_App *w, const QString &path)
{
    nv6842fp_setFileAsker([path](const nv6842fp_fileQuestion &) { return path; });
    w->measPanel->saveButton->click();
    nv6842fp_setFileAsker(nullptr);
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The table of a saved JSON file and its channel objects.
QJsonArray jsonChannels(const QJsonObject &root, QJsonValue *block)
{
    const QJsonObject table = root.value("blocks").toArray().at(0).toObject();
    *block = table.contains("block") ? table.value("block") : QJsonValue(QJsonValue::Undefined);
    return table.value("channels").toArray();
}

// Set for the second run of the program that copies a file's table.
const char copyClipboardOf[] = "SFP_TEST_COPY_CLIPBOARD_OF";

// Recalculates the shown block `runs` times; returns the runs (1-based) that showed a box.
QList<int> runsWithBox(nv6842fp_App *w, MessageRecorder &recorder, int runs)
{
    QList<int> boxed;
    for (int r = 1; r <= runs; ++r) {
        const int before = recorder.count();
        w->measPanel->recalculate();
        if (recorder.count() > before)
            boxed << r;
    }
    return boxed;
}

} // namespace

class TestAppMeasurement : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    const long long defaultPoolPoints = measurement::poolPoints;

private slots:
    void init()
    {
        measurement::messageFlag = false;
        measurement::poolPoints = defaultPoolPoints;
    }
    void cleanup() { StoredFileInfo = StoredFileInfo_t{}; }

    // One resource: the search leaves the global pool at one thread. The
    // spectrum and the measurement still arrive, also with the analysis pool
    // at one thread as on a one-core machine; and closing waits only briefly
    // for a computation that cannot go on, which then runs on inputs of its own.
    void oneResourceSystemComputesAndCloses_data()
    {
        QTest::addColumn<int>("analysisThreads"); // 0: one per core
        QTest::newRow("one per core") << 0;
        QTest::newRow("one thread") << 1;
    }
    void oneResourceSystemComputesAndCloses()
    {
        QFETCH(int, analysisThreads);
        // Channel 1: 0.5 V (the simulator's default) on bin 5 of 1024 scans at 10 kHz.
        const double tone = 5 * 10000.0 / 1024;
        SimConfig config(QStringLiteral("carrier vxi slot=2; fc 1; signal ch=1 freq=%1").arg(tone, 0, 'g', 17).toLatin1());
        measurement::poolPoints = 0;
        QThreadPool *pool = analysisPool();
        const int threads = pool->maxThreadCount();
        if (analysisThreads > 0)
            pool->setMaxThreadCount(analysisThreads);
        // However the test ends: the held thread goes, the abandoned work
        // finishes (on inputs of its own) and both pools are as before.
        std::promise<void> release;
        const std::shared_future<void> held = release.get_future().share();
        struct Restore {
            std::function<void()> restore;
            ~Restore() { restore(); }
        } restore{[&] {
            release.set_value();
            pool->waitForDone(10000);
            pool->setMaxThreadCount(threads);
            QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
        }};
        MessageRecorder recorder;
        Window w = oneResourceWindow(recorder);
        QVERIFY(w && w->cards() == 1 && !w->demoMode);
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), 1);
        selectData(w->daq->lengthCombo, 1024);
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        QTRY_COMPARE_WITH_TIMEOUT(w->spectrumPlot->curves[0]->dataSize(), size_t(512), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!w->measPanel->busy(), 5000);
        QVERIFY2(std::abs(cell(w.get(), 0, 0).toDouble() - 0.5) < 1e-5, qPrintable(rowTexts(w.get(), 0).join(' ')));
        QVERIFY(std::abs(cell(w.get(), 0, 3).toDouble() - tone) < 1e-3);

        // The analysis thread held (for at most 20 s): the next block's
        // spectrum and measurement wait in the queue.
        if (analysisThreads == 1) {
            pool->start(QRunnable::create([held] { held.wait_for(std::chrono::seconds(20)); }));
            w->singleButton->click();
            QVERIFY(waitForEnd(w.get()));
            QVERIFY(w->measPanel->busy());
        }
        recorder.answerStandard(QMessageBox::Yes);
        QVERIFY(w->close());
        QElapsedTimer closing;
        closing.start();
        w.reset();
        QVERIFY2(closing.elapsed() < 10000, qPrintable(QString::number(closing.elapsed())));
    }

    void acperfAddsTheTabAndTheSineFitSelector()
    {
        Window w = demoWindow(1);
        QCOMPARE(w->mainTabs->tabText(4), QStringLiteral("Measurements"));
        QCOMPARE(w->mainTabs->widget(4), static_cast<QWidget *>(w->measPanel));
        QVERIFY(w->daq->acperf && w->daq->sineFitCombo);
        QCOMPARE(w->daq->sineFitCombo->currentData().toInt(), 0);
        bool labelled = false;
        for (const QLabel *label : w->daq->findChildren<QLabel *>())
            labelled = labelled || label->text() == QStringLiteral("Sine fitting: ");
        QVERIFY(labelled);

        // The ten columns share the page's width less 80 pixels (at 96 dpi)
        // where their texts leave room.
        w->show();
        w->mainTabs->setCurrentIndex(4);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (int width : {1100, 1300}) {
            w->resize(width, 700);
            QTRY_COMPARE(w->measPanel->table->columnWidth(9), columnShare(w.get()));
        }
        // Demo waves are not copied, and the buttons say so.
        QVERIFY(!w->measPanel->copyButton->isEnabled());
        QVERIFY(!w->measPanel->saveButton->isEnabled());
    }

    // Sixteen channels of wide figures at the window's first size: no column
    // is below its share, and no figure or header is elided.
    void tableShowsEveryDigit()
    {
        MessageRecorder recorder;
        Window w = viewFile(writeStoredFile(dir.filePath("wide.bin6842"), 1000.0, 1000, {0xFFFF}, 1, [](int, int o, int i) {
            return -9.75 + 9.5 * std::sin(twoPi * 6 * i / 1000 - 0.2 * o); // phases of tens of milliseconds
        }));
        QVERIFY(w);
        w->resize(940, 680);
        w->show();
        w->mainTabs->setCurrentIndex(4);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QTableView *table = w->measPanel->table;
        const QHeaderView *header = table->horizontalHeader();
        // What the item and header painters take from a column besides the text (and the grid line).
        const int cellRoom = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) + 1;
        const int headerRoom = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int c = 0; c < 10; ++c) {
            QVERIFY(table->columnWidth(c) >= columnShare(w.get()));
            const QString title = w->measPanel->model->horizontalHeaderItem(c)->text();
            int widest = header->fontMetrics().horizontalAdvance(title) + headerRoom;
            for (int k = 0; k < 16; ++k)
                widest = std::max(widest, table->fontMetrics().horizontalAdvance(cell(w.get(), k, c)) + cellRoom);
            QVERIFY2(widest <= table->columnWidth(c), qPrintable(title));
        }
    }

    // A viewed file: of the acquisition page only the "FFT options" stay
    // usable, also after a run, and a change applies at once to the block
    // on display and to the next. Channel 1: 1.5 V on the bin of 120 Hz;
    // channel 2: 123.4 Hz, between bins of 10 Hz.
    void fileViewingKeepsTheFftOptions()
    {
        MessageRecorder recorder;
        Window w = viewFile(writeStoredFile(dir.filePath("options.bin6842"), rate, scans, {0x0003}, 2, [](int, int o, int i) {
            return o == 0 ? 1.5 * std::sin(twoPi * 12 * i / scans) : std::sin(twoPi * 123.4 * i / rate);
        }));
        QVERIFY(w);
        nv6842fp_DAQ *daq = w->daq;
        const auto usable = [&] {
            return w->mainTabs->isTabEnabled(3) && daq->zeroPaddingCombo->isEnabled() && daq->fftWindowCombo->isEnabled()
                   && daq->sineFitCombo->isEnabled() && !daq->lengthCombo->isEnabled() && !daq->rateCombo->isEnabled()
                   && !daq->storeToFile->isEnabled() && !daq->trgSrc[0]->isEnabled() && !daq->vrefCombo->isEnabled()
                   && !daq->saveSettingsButton->isEnabled() && !daq->loadSettingsButton->isEnabled();
        };
        QVERIFY(usable());

        // Rectangular: nothing beside an on-bin tone; Hann: half its amplitude.
        const QwtPlotCurve *spectrum = w->spectrumPlot->curves[0];
        QTRY_COMPARE(spectrum->dataSize(), size_t(500));
        QVERIFY(spectrum->sample(13).y() < -200);
        QCOMPARE(w->waveform->blockSlider->value(), 2); // the single shot moved on
        selectData(daq->fftWindowCombo, 1);
        for (int block : {2, 1}) {
            w->waveform->blockSlider->setValue(block);
            QTRY_VERIFY(std::abs(spectrum->sample(13).y() - 20 * std::log10(0.75)) < 0.01);
        }
        // The 3-parameter fit takes the spectrum's peak: bins of 10 Hz, with
        // "10 x" of 1 Hz; the 4-parameter fit finds the frequency.
        QCOMPARE(cell(w.get(), 1, 3), fixed(120.0, 3));
        selectData(daq->zeroPaddingCombo, 10);
        QTRY_COMPARE(spectrum->dataSize(), size_t(5000));
        QTRY_COMPARE(cell(w.get(), 1, 3), fixed(123.0, 3));
        selectData(daq->sineFitCombo, 7);
        QTRY_VERIFY2(std::abs(cell(w.get(), 1, 3).toDouble() - 123.4) < 1e-3, qPrintable(cell(w.get(), 1, 3)));

        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        QVERIFY(usable());
    }

    // At once, and on the thread pool as large transforms are measured (the
    // threshold lowered to every measurement): the same table.
    void tableOfStoredSines_data()
    {
        QTest::addColumn<bool>("onPool");
        QTest::newRow("at once") << false;
        QTest::newRow("on the pool") << true;
    }
    void tableOfStoredSines()
    {
        QFETCH(bool, onPool);
        if (onPool)
            measurement::poolPoints = 0;
        MessageRecorder recorder;
        Window w = viewFile(writeToneFile(dir.filePath("tones.bin6842"), scans));
        QVERIFY(w);
        QTRY_VERIFY(!w->measPanel->busy()); // the block's own measurement
        for (int card = 0; card < 2; ++card) {
            w->measPanel->cardCombo->setCurrentIndex(card); // card 0 is shown already
            QCOMPARE(w->measPanel->busy(), onPool && card == 1);
            QTRY_VERIFY(!w->measPanel->busy());
            QCOMPARE(w->measPanel->cardCombo->currentText(), QStringLiteral("Function Card #%1").arg(card + 1));
            const Tone *reference = nullptr;
            for (int k = 0; k < 16; ++k) {
                const Tone *tone = nullptr;
                for (const Tone &t : tones)
                    if (t.card == card && t.channel == k)
                        tone = &t;
                if (!tone) {
                    QCOMPARE(rowTexts(w.get(), k), QStringList(QVector<QString>(10, QStringLiteral("-")).toList()));
                    continue;
                }
                if (!reference)
                    reference = tone;
                const double f = tone->bin * rate / scans;
                const double rms = std::sqrt(tone->amplitude * tone->amplitude / 2 + tone->offset * tone->offset);
                const double phaseUs = (tone->phase - reference->phase) / (twoPi * f) * 1e6;
                const QStringList expected = {fixed(tone->amplitude, 6), fixed(tone->offset, 6), fixed(rms, 6),
                                              fixed(f, 3), fixed(phaseUs, 3)};
                QCOMPARE(rowTexts(w.get(), k).mid(0, 5), expected);
                for (int c = 5; c < 10; ++c) {
                    bool number = false;
                    cell(w.get(), k, c).toDouble(&number);
                    QVERIFY2(number && cell(w.get(), k, c).section('.', 1).size() == 2,
                             qPrintable(cell(w.get(), k, c)));
                }
            }
        }
        QCOMPARE(cell(w.get(), 1, 4), QStringLiteral("0.000"));
        QVERIFY(w->measPanel->label->text().startsWith(
            QStringLiteral("The measurements are for the last <b>1000</b> scans (the plot view).")));
        QCOMPARE(recorder.count(), 0);

        // A file holds no gain or filter: "-" there, the figures as shown.
        w->measPanel->copyButton->click();
        const QStringList lines = QApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("Number of scans: 1000, scan rate: 10000.000 Hz"));
        QCOMPARE(lines.mid(3), QStringList({"2,-,-," + rowTexts(w.get(), 1).join(','),
                                            "5,-,-," + rowTexts(w.get(), 4).join(','), QString()}));
    }

    void fewerThanTenScansGiveZeros()
    {
        MessageRecorder recorder;
        Window w = viewFile(writeToneFile(dir.filePath("short.bin6842"), 9));
        QVERIFY(w);
        const QStringList zeros = {"0.000000", "0.000000", "0.000000", "0.000", "0.000",
                                   "0.00",     "0.00",     "0.00",     "0.00",  "0.00"};
        for (int k : {0, 2, 3})
            QCOMPARE(rowTexts(w.get(), k), zeros);
        QCOMPARE(cell(w.get(), 1, 0), QStringLiteral("-"));
        QVERIFY(w->measPanel->label->text().startsWith(
            QStringLiteral("The measurements are for the last <b>9</b> scans")));
        QCOMPARE(recorder.count(), 0);
    }

    // Neither failure can be chosen in the window (the fitter takes 0 ... 20
    // iterations, every padding is at least 1): the combos' item data are
    // changed to reach them.
    void failuresFollowTheMessageRule_data()
    {
        QTest::addColumn<bool>("badFit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("boxed"); // of four failing runs, a good one, a failing one
        QTest::newRow("fit refused") << true << QStringLiteral("AC performance calculations failed")
                                     << QList<int>{1, 3, 6};
        QTest::newRow("analysis not made") << false << QStringLiteral("Zero padding factor must be >= 1")
                                           << QList<int>{1, 6};
    }

    void failuresFollowTheMessageRule()
    {
        QFETCH(bool, badFit);
        QFETCH(QString, text);
        QFETCH(QList<int>, boxed);
        MessageRecorder recorder;
        Window w = viewFile(writeToneFile(dir.filePath("fail.bin6842"), scans));
        QVERIFY(w);
        QCOMPARE(recorder.count(), 0);
        QComboBox *combo = badFit ? w->daq->sineFitCombo : w->daq->zeroPaddingCombo;
        const int item = combo->currentIndex();
        const QVariant good = combo->itemData(item);
        auto setBroken = [&](bool broken) { combo->setItemData(item, broken ? (badFit ? 21 : 0) : good.toInt()); };

        setBroken(true);
        QList<int> seen = runsWithBox(w.get(), recorder, 4);
        QCOMPARE(cell(w.get(), 0, 0), QStringLiteral("0.000000"));
        setBroken(false);
        if (!runsWithBox(w.get(), recorder, 1).isEmpty())
            seen << 5;
        QCOMPARE(cell(w.get(), 0, 0), fixed(tones[0].amplitude, 6));
        setBroken(true);
        if (!runsWithBox(w.get(), recorder, 1).isEmpty())
            seen << 6;
        QCOMPARE(seen, boxed);
        for (const sfp::MessageRequest &box : qAsConst(recorder.boxes)) {
            QCOMPARE(box.icon, QMessageBox::Critical);
            QCOMPARE(box.title, QStringLiteral("Trellin 6842 Soft Front Panel"));
            QCOMPARE(box.text, text);
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
    }

    // The box is modal: the blocks of a repetitive run go on arriving while
    // it waits. Simulated by recalculating from within the answer: no
    // second box opens on top of the first, and every failing run says so
    // in the label.
    void failureBoxesNeverStack_data() { failuresFollowTheMessageRule_data(); }
    void failureBoxesNeverStack()
    {
        QFETCH(bool, badFit);
        QFETCH(QString, text);
        MessageRecorder recorder;
        Window w = viewFile(writeToneFile(dir.filePath("stack.bin6842"), scans));
        QVERIFY(w);
        QVERIFY(!w->measPanel->label->text().contains(text.toHtmlEscaped()));
        QComboBox *combo = badFit ? w->daq->sineFitCombo : w->daq->zeroPaddingCombo;
        const int item = combo->currentIndex();
        combo->setItemData(item, badFit ? 21 : 0);
        int open = 0, most = 0;
        QStringList labels;
        recorder.onBox = [&](const sfp::MessageRequest &) {
            most = std::max(most, ++open);
            for (int block = 0; open == 1 && block < 4; ++block) {
                w->measPanel->recalculate();
                labels << w->measPanel->label->text();
            }
            --open;
        };
        w->measPanel->recalculate();
        recorder.onBox = nullptr;
        QCOMPARE(most, 1);
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(labels.size(), 4);
        for (const QString &label : qAsConst(labels))
            QVERIFY2(label.contains(text.toHtmlEscaped()) && label.contains(QStringLiteral("<b>1000</b> scans")),
                     qPrintable(label));
    }

    // Figures that cannot be measured show "-": at 32 scans no bin of noise
    // or spur is left beside the DC lobe and the tone's span (SNR, SINAD,
    // ENOB, SFDR) and no harmonic below the Nyquist frequency (THD); at 10
    // scans there is no fundamental above the DC region (no fit either).
    void unmeasurableFiguresShowDash_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("shown"); // the ten cells; "#" a number
        QTest::newRow("32 scans") << 32 << "# # # # # - - - - -";
        QTest::newRow("10 scans") << 10 << "- - - - - - - - - -";
    }
    void unmeasurableFiguresShowDash()
    {
        QFETCH(int, count);
        QFETCH(QString, shown);
        MessageRecorder recorder;
        // 8 periods in 32 scans on channel 1 of card 1.
        const QString path = writeStoredFile(dir.filePath("dash.bin6842"), rate, count, {0x0001}, 1,
                                             [](int, int, int i) { return 0.1 + 0.5 * std::sin(twoPi * 8 * i / 32); });
        Window w = viewFile(path);
        QVERIFY(w);
        const QStringList row = rowTexts(w.get(), 0), expected = shown.split(' ');
        for (int c = 0; c < 10; ++c) {
            bool number = false;
            row[c].toDouble(&number);
            QVERIFY2(expected[c] == "#" ? number : row[c] == expected[c], qPrintable(row.join(' ')));
        }
        if (count == 32)
            QCOMPARE(row[0], fixed(0.5, 6));
        QCOMPARE(recorder.count(), 0);
    }

    // A figure shown as "-" is copied as "-": 8 periods in 32 scans leave
    // no bin of noise.
    void clipboardCopiesDashes()
    {
        SimConfig sim("carrier vxi slot=2; fc 1; signal ch=1 freq=2500; fc 2");
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w);
        w->daq->lengthCombo->setCurrentIndex(w->daq->lengthCombo->findData(32));
        w->daq->rateCombo->setCurrentIndex(w->daq->rateCombo->findData(10000.0));
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        const QStringList row = rowTexts(w.get(), 0);
        QCOMPARE(row.mid(6, 2) + row.mid(9), QStringList({"-", "-", "-"}));
        QVERIFY2(std::abs(row[0].toDouble() - 0.5) < 1e-3, qPrintable(row.join(' ')));
        w->measPanel->copyButton->click();
        const QStringList lines = QApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.value(3), QStringLiteral("1,0,off,") + row.join(','));
    }

    // Programs read the clipboard: under a comma-decimal locale its numbers
    // keep their decimal point. The locale must be in force when the
    // application object is made: a second run of this program copies.
    void clipboardIgnoresTheLocale()
    {
        QString why;
        const QString locales = makeCommaLocale(dir.filePath(QStringLiteral("locales")), &why);
        if (locales.isEmpty() && why.startsWith(QLatin1String("localedef is missing")))
            QSKIP(qPrintable(why));
        QVERIFY2(!locales.isEmpty(), qPrintable(why));
        QProcess copier;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LOCPATH"), locales);
        environment.insert(QStringLiteral("LC_ALL"), QLatin1String(commaLocaleName));
        environment.insert(QLatin1String(copyClipboardOf), writeToneFile(dir.filePath("locale.bin6842"), scans));
        copier.setProcessEnvironment(environment);
        copier.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(copier.waitForFinished(60000));
        const QStringList lines = QString::fromUtf8(copier.readAllStandardOutput()).split('\n');
        QCOMPARE(lines.value(0), QStringLiteral("0,5")); // the locale was in force
        // Channel 1 of card 1: the figures of its tone, every one a number with a point.
        const QStringList fields = lines.value(4).split(',');
        QCOMPARE(fields.size(), 13);
        QCOMPARE(fields[3].toDouble(), tones[0].amplitude);
        QCOMPARE(fields[4].toDouble(), tones[0].offset);
        for (int c = 3; c < 13; ++c)
            QVERIFY2(QRegularExpression(QStringLiteral("^-?[0-9]+\\.[0-9]+$")).match(fields[c]).hasMatch(), qPrintable(lines.value(4)));
    }

    void clipboardOfTheSimulatedCards()
    {
        // Channels 1 and 3 of FC 1 on bins 5 and 15 of 1024 scans at 10 kHz,
        // 45 degrees apart; amplitudes and offsets as the simulator's defaults:
        // 0.5 V + 0.01 V and 1.5 V + 0.03 V.
        SimConfig sim("carrier vxi slot=2; fc 1; signal ch=1 freq=48.828125 phase=30;"
                      "signal ch=3 freq=146.484375 phase=75; fc 2");
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w && w->cards() == 2);
        // Channel 1 (filter on) and channel 3 (gain 2) of card 1; channel 2 of card 2.
        w->chPanels[0]->filter->setChecked(true);
        w->chPanels[2]->enable->setChecked(true);
        w->chPanels[2]->gain->setCurrentIndex(1);
        emit w->chPanels[2]->gain->activated(1); // as the operator's choice sends it
        w->chPanels[16 + 1]->enable->setChecked(true);
        w->daq->lengthCombo->setCurrentIndex(w->daq->lengthCombo->findData(1024));
        w->daq->rateCombo->setCurrentIndex(w->daq->rateCombo->findData(10000.0));
        QCOMPARE(w->daq->rateCombo->currentData().toDouble(), 10000.0);
        const int boxes = recorder.count();
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        QCOMPARE(recorder.count(), boxes);

        const struct { int row; double amplitude, offset, frequency, phaseUs; } expected[] = {
            {0, 0.5, 0.01, 48.828125, 0.0},
            {2, 2 * 1.5, 2 * 0.03, 146.484375, 1e6 / (8 * 146.484375)},
        };
        for (const auto &e : expected) {
            const QStringList row = rowTexts(w.get(), e.row);
            const double values[] = {e.amplitude, e.offset, 0.0, e.frequency, e.phaseUs};
            for (int c : {0, 1, 3, 4})
                QVERIFY2(std::abs(row[c].toDouble() - values[c]) < 0.001, qPrintable(row.join(' ')));
        }

        w->measPanel->copyButton->click();
        const QStringList lines = QApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), 6); // five lines and the end of the last
        QCOMPARE(lines[0], QStringLiteral("Number of scans: 1024, scan rate: 10000.000 Hz"));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QStringLiteral("Channel, Gain, Filter (Hz), Amplitude (V), Mean (V), Vrms (V), "
                                          "Frequency (Hz), Phase (us), THD (dB), SINAD (dB), SNR (dB), "
                                          "SFDR (dB), ENOB"));
        QCOMPARE(lines[3], QStringLiteral("1,0,on,") + rowTexts(w.get(), 0).join(','));
        QCOMPARE(lines[4], QStringLiteral("3,1,off,") + rowTexts(w.get(), 2).join(','));
        QCOMPARE(lines[5], QString());

        // The same text in a .csv file; JSON with each channel's gain and
        // filter, and neither file nor block for live data.
        QCOMPARE(saveTable(w.get(), dir.filePath("live.csv")), QApplication::clipboard()->text().toUtf8());
        QJsonValue block;
        const QJsonObject root = QJsonDocument::fromJson(saveTable(w.get(), dir.filePath("live.json"))).object();
        const QJsonArray channels = jsonChannels(root, &block);
        QVERIFY(root.contains("file") && root.value("file").isNull() && block.isNull());
        QCOMPARE(root.value("scans").toInt(), 1024);
        QCOMPARE(channels.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QJsonObject c = channels.at(i).toObject();
            QCOMPARE(c.value("channel").toInt(), expected[i].row + 1);
            QCOMPARE(c.value("gain").toInt(), i + 1);
            QCOMPARE(c.value("filter").toBool(QJsonValue::Null), i == 0);
            QVERIFY(std::abs(c.value("amplitudeV").toDouble() - expected[i].amplitude) < 0.001);
        }
    }

    // A viewed file's table as JSON: its name, the block shown, no gain or
    // filter, and the figures unrounded. Block b holds b x 1.2345678 V (twice
    // that on channel 3) on the bin of 120 Hz.
    void tableFileOfAViewedFile()
    {
        MessageRecorder recorder;
        const QString path = writeStoredFile(dir.filePath("blocks.bin6842"), rate, scans, {0x0005}, 2,
                                             [](int b, int o, int i) {
                                                 return (b + 1) * (o + 1) * 1.2345678 * std::sin(twoPi * 12 * i / scans);
                                             });
        Window w = viewFile(path);
        QVERIFY(w);
        w->waveform->blockSlider->setValue(1);
        QTRY_COMPARE(cell(w.get(), 2, 0), fixed(2 * 1.2345678, 6));
        QJsonValue block;
        const QJsonObject root = QJsonDocument::fromJson(saveTable(w.get(), dir.filePath("file.json"))).object();
        const QJsonArray channels = jsonChannels(root, &block);
        QCOMPARE(root.value("file").toString(), path);
        QCOMPARE(block.toInt(), 1);
        QCOMPARE(channels.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QJsonObject c = channels.at(i).toObject();
            QCOMPARE(c.value("channel").toInt(), 1 + 2 * i);
            QVERIFY(c.contains("gain") && c.value("gain").isNull() && c.value("filter").isNull());
            QVERIFY(std::abs(c.value("amplitudeV").toDouble() - (i + 1) * 1.2345678) < 1e-9);
        }
        QCOMPARE(recorder.count(), 0);
    }

    // A name of neither kind, a full disk (a link to /dev/full, which is
    // left as it is), a missing folder: one box, no file.
    void tableFileRefusals_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text"); // %1: the path
        QTest::newRow("neither .csv nor .json")
            << "table.txt"
            << "The table was not saved: \"%1\" ends in neither .csv nor .json, which choose the text of Copy to "
               "Clipboard or JSON.";
        QTest::newRow("full disk") << "full.csv" << "Cannot save the table to \"%1\":\nNo space left on device.";
        QTest::newRow("missing folder") << "missing/table.json"
                                        << "Cannot save the table to \"%1\":\nNo such file or directory.";
    }
    void tableFileRefusals()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        MessageRecorder recorder;
        Window w = viewFile(writeToneFile(dir.filePath("refused.bin6842"), scans));
        QVERIFY(w);
        QTemporaryDir out;
        const QString target = out.filePath(path);
        const bool full = path == "full.csv";
        QVERIFY(!full || QFile::link("/dev/full", target));
        QCOMPARE(saveTable(w.get(), target), QByteArray());
        QCOMPARE(recorder.texts(), QStringList{text.arg(target)});
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 full ? QStringList{path} : QStringList());
        QCOMPARE(QFileInfo(target).symLinkTarget(), full ? QStringLiteral("/dev/full") : QString());
    }
};

// The second run of clipboardIgnoresTheLocale: prints printf's 0.5, then the
// clipboard text of the file's first card.
int copyClipboardOfFile(const QString &path)
{
    Window w = viewFile(path);
    if (!w)
        return 1;
    w->measPanel->copyButton->click();
    std::printf("%.1f\n%s", 0.5, QApplication::clipboard()->text().toUtf8().constData());
    return 0;
}

int main(int argc, char **argv)
{
    // The window sees "-acperf" among the program's arguments; QtTest gets
    // the real ones.
    static char acperfWord[] = "-acperf";
    std::vector<char *> appArgv(argv, argv + argc);
    appArgv.push_back(acperfWord);
    appArgv.push_back(nullptr);
    int appArgc = argc + 1;
    QApplication app(appArgc, appArgv.data());
    sfp::setMessageCard(&gl_fc);
    if (qEnvironmentVariableIsSet(copyClipboardOf))
        return copyClipboardOfFile(qEnvironmentVariable(copyClipboardOf));
    TestAppMeasurement test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app_measurement.moc"
