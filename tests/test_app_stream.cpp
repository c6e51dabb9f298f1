// The card window streaming to file and starting at a time: continuous
// acquisition with storage (display copies and recordings checked sample by
// sample against the simulator's formula), files that cannot be opened, read
// failures while streaming, refresh failures and error bits of block mode, the
// PTP alarm start on an LXI carrier and the synchronisation question of cards
// on several hosts.
#include "acqConfig.h"
#include "acqConfigRules.h"
#include "acqSetup.h"
#include "acqState.h"
#include "acqTexts.h"
#include "chLabel.h"
#include "decimatedCurve.h"
#include "fittingLabel.h"
#include "messagerecorder.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_syncMethodDialog.h"
#include "nv9471fp_PTPalarm.h"
#include "nv9471fp_led.h"
#include "storedfile.h"
#include "test_app_window.h"
#include "test_sim_helpers.h"
#include "test_trend_helpers.h"

#include <qwt_plot_curve.h>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

const char *const vxi = "VXI0::2::INSTR";
const char *const lxi = "TCPIP0::127.0.0.2::INSTR";

struct Channel {
    int chIdx; // card * 16 + channel - 1
    int fc;    // FC number behind the descriptor
};

std::vector<double> formula(const char *descriptor, const Channel &c, double rate, int64_t first, int count)
{
    std::vector<double> v(size_t(count), 0.0);
    trellinSimExpectedVolts(nullptr, descriptor, c.fc, c.chIdx % 16 + 1, 1, 1, 0, rate, first, count, v.data());
    return v;
}

// The block the curve shows, told by its time axis; its values must be those
// of the simulator for that block's scans. -1 when the curve is wrong.
int shownBlock(const QwtPlotCurve *curve, const char *descriptor, const Channel &c, double rate, int scans)
{
    if (curve->dataSize() != size_t(scans))
        return -1;
    const double x0 = curve->sample(0).x();
    const int block = qRound(x0 * rate / scans);
    const std::vector<double> expected = formula(descriptor, c, rate, int64_t(block) * scans, scans);
    for (int i = 0; i < scans; ++i) {
        const QPointF p = curve->sample(i);
        if (std::abs(p.x() - (double(block) * scans + i) / rate) > 1e-9 || p.y() != expected[size_t(i)])
            return -1;
    }
    return block;
}

// The recording holds `blocks` whole blocks of the run from block firstBlock
// on, each equal to the formula; with stamps, scan 0 is stamped at firstSecond.
void verifyRecording(const QString &path, const char *descriptor, const QVector<Channel> &channels,
                     double rate, int scans, int blocks, qint64 firstSecond = -1, int firstBlock = 0)
{
    StoredFileInfo_t info;
    QCOMPARE(readStoredFileHeader(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(int(info.channelCount), channels.size());
    QCOMPARE(info.scansPerBlock, scans);
    QCOMPARE(info.rateHz, rate);
    QCOMPARE(int(info.hasTimestamps), firstSecond >= 0 ? 1 : 0);
    QCOMPARE(int(info.blockCount), blocks);
    QCOMPARE(info.dataBytes, info.blockBytes * uint64_t(blocks));
    std::vector<double> samples(size_t(channels.size()) * size_t(scans));
    std::vector<int32_t> seconds(static_cast<size_t>(scans)), nanos(static_cast<size_t>(scans));
    for (int k = 0; k < blocks; ++k) {
        const int read = firstSecond >= 0
                             ? readStoredBlockStamps(info, samples.data(), seconds.data(), nanos.data(), k)
                             : readStoredBlock(info, samples.data(), k);
        QCOMPARE(read, 1);
        for (int o = 0; o < channels.size(); ++o) {
            const std::vector<double> expected =
                formula(descriptor, channels[o], rate, int64_t(firstBlock + k) * scans, scans);
            if (!std::equal(expected.begin(), expected.end(), samples.begin() + o * scans))
                QFAIL(qPrintable(QString("block %1, channel ordinal %2 differs from the formula").arg(firstBlock + k).arg(o)));
        }
        if (k == 0 && firstSecond >= 0) {
            QCOMPARE(qint64(seconds[0]), firstSecond);
            QCOMPARE(nanos[0], 0);
        }
    }
}

// What the settings dialog showed when it came up.
struct DialogView {
    QString rateText;
    bool timestampsShown = false;
    bool refreshShown = false;
};

// Answers the settings dialog of a storage start: format, then path.
std::shared_ptr<ModalWatch> answerSettings(const QString &path, int format = 0, DialogView *view = nullptr,
                                           bool timestamps = false)
{
    return whenModal<acqConfig>([=](acqConfig *d) {
        if (view) {
            view->rateText = d->rateLabel->text();
            view->timestampsShown = d->timestampsBox->isVisible();
            view->refreshShown = d->refreshCombo->isVisible() && d->refreshLabel->isVisible();
        }
        d->formatCombo->setCurrentIndex(format);
        d->fileNameEdit->setText(QDir::toNativeSeparators(path));
        d->timestampsBox->setChecked(timestamps);
        d->startButton->click();
    });
}

QStringList boxTexts(const MessageRecorder &recorder, QMessageBox::Icon icon)
{
    QStringList list;
    for (const sfp::MessageRequest &box : recorder.boxes)
        if (box.icon == icon)
            list << box.text;
    return list;
}

QColor textColour(const QLabel *label)
{
    return label->palette().color(QPalette::Active, QPalette::WindowText);
}

const QString exitQuestion = QStringLiteral("\nDo you want to exit?");

} // namespace

class TestAppStream : public QObject
{
    Q_OBJECT

    // Two VXI cards streaming channels 1 and 3 of FC 1 and 16 of FC 2.
    const QVector<Channel> vxiChannels = {{0, 1}, {2, 1}, {31, 2}};
    const double rate = 10000;
    const int scans = 256;

    Window storageWindow(MessageRecorder &recorder)
    {
        Window w = twoCards(recorder);
        if (!w || w->cards() != 2)
            return nullptr;
        recorder.clear(); // the connection question
        for (int g = 0; g < w->chPanels.size(); ++g)
            w->chPanels[g]->enable->setChecked(g == 0 || g == 2 || g == 31);
        w->daq->storeToFile->setChecked(true);
        const int item = w->daq->lengthCombo->findData(scans);
        w->daq->lengthCombo->setCurrentIndex(item);
        if (w->daq->rateCombo->currentData().toDouble() != rate || item < 0)
            return nullptr;
        return w;
    }

    // One card on the LXI carrier, starting on the PTP alarm.
    Window lxiAlarmWindow(MessageRecorder &recorder)
    {
        Window w = realWindow(recorder, {{lxi, 1}});
        if (!w || !w->waveform->lxiCarrier || !w->daq->trgSrc[5] || !w->daq->ptpAlarm)
            return nullptr;
        recorder.clear();
        w->daq->trgSrc[5]->click();
        const int item = w->daq->lengthCombo->findData(scans);
        if (!w->daq->trgSrc[5]->isChecked() || item < 0)
            return nullptr;
        w->daq->lengthCombo->setCurrentIndex(item);
        return w;
    }

private slots:
    void initTestCase()
    {
        sfp::setMessageCard(&gl_fc);
        qputenv("TRELLIN_SIM", QByteArray());
        // Single files unless a test asks for a set, whatever an earlier run left.
        QSettings("Norvane Ltd.", "Trellin 6842 Soft Front Panel").remove("DataStorage");
    }

    void repetitiveStorageShowsAndRecordsEveryBlock()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.bin6842");
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        nv6842fp_Waveform *wave = w->waveform;
        DialogView view;
        auto watch = answerSettings(path, 0, &view);
        journal();
        w->contButton->click();
        QCOMPARE(watch->acted, 1);
        // Streaming: no scans-per-trigger limit, and the callback start with the threshold.
        const QStringList lines = journal();
        const QString vi = QString::number(w->d_vi);
        QVERIFY2(lines.filter(QRegularExpression(QStringLiteral("^nv6842_multConfig\\(%1, \\d+, 10000(\\.0+)?, 0, 0, ").arg(vi))).size() == 1,
                 qPrintable(lines.join('\n')));
        QVERIFY2(lines.contains(QStringLiteral("nv6842_startMultAcquisitionEx(%1, %2)").arg(vi).arg(scans)),
                 qPrintable(lines.join('\n')));
        // 3 channels x 10 kHz x 8 bytes = 240,000 B/s = 234.375 kB/s.
        QCOMPARE(view.rateText, QStringLiteral("Data Rate: 234.4 kB/s"));
        QVERIFY(view.refreshShown && !view.timestampsShown);
        QVERIFY(wave->refreshTimer->isActive());

        // The display moves on: later blocks appear, each the formula's.
        int block = -1;
        QVERIFY(QTest::qWaitFor([&] {
            block = shownBlock(wave->curves[0], vxi, vxiChannels[0], rate, scans);
            return block >= 5;
        }, 10000));
        for (const Channel &c : vxiChannels)
            QCOMPARE(shownBlock(wave->curves[c.chIdx], vxi, c, rate, scans), block);
        QCOMPARE(wave->curves[1]->dataSize(), size_t(0));
        // The window is never shown here, as when it is minimised or another page
        // is in front: the line is kept up to date all the same.
        QVERIFY(!wave->infoLabel->isHidden());
        static const QRegularExpression info(
            QStringLiteral("^File size: \\d+(\\.\\d)? (B|kB|MB), scan backlog: \\d+$"));
        QTRY_VERIFY2(info.match(wave->infoLabel->text()).hasMatch()
                         && !wave->infoLabel->text().startsWith("File size: 0 B"),
                     qPrintable(wave->infoLabel->text()));

        w->contButton->click();
        QVERIFY(waitForEnd(w.get()));
        QVERIFY(!w->contButton->isChecked() && w->contButton->isEnabled() && w->singleButton->isEnabled());
        QVERIFY(wave->infoLabel->isHidden());
        QVERIFY2(recorder.count() == 0, qPrintable(recorder.texts().join('\n')));
        const int blocks = blocksAcquired;
        QVERIFY(blocks > block);
        verifyRecording(path, vxi, vxiChannels, rate, scans, blocks);
        QCOMPARE(bytesWritten.load(), uint64_t(blocks) * 3 * scans * 8);
    }

    void singleShotStorageEndsAfterItsFirstBlock()
    {
        QTemporaryDir dir;
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        // Twice: the second run starts from a clean state too.
        for (const char *name : {"first.bin6842", "second.bin6842"}) {
            const QString path = dir.filePath(name);
            DialogView view;
            auto watch = answerSettings(path, 0, &view);
            w->singleButton->click();
            QCOMPARE(watch->acted, 1);
            QVERIFY(waitForEnd(w.get()));
            QVERIFY(!w->singleButton->isChecked() && w->singleButton->isEnabled() && w->contButton->isEnabled());
            QVERIFY(w->waveform->infoLabel->isHidden());
            QVERIFY(!view.refreshShown && !view.timestampsShown);
            QVERIFY2(recorder.count() == 0, qPrintable(recorder.texts().join('\n')));
            for (const Channel &c : vxiChannels)
                QVERIFY(shownBlock(w->waveform->curves[c.chIdx], vxi, c, rate, scans) >= 0);
            const int blocks = blocksAcquired;
            QVERIFY(blocks >= 1);
            verifyRecording(path, vxi, vxiChannels, rate, scans, blocks);
        }
    }

    void refusedStart_data()
    {
        QTest::addColumn<QString>("name");   // in a fresh directory; "" = cancel the dialog
        QTest::addColumn<QStringList>("texts"); // the boxes; %1 the path, %2 its directory, %3 the system's reason
        QTest::newRow("cancelled") << QString() << QStringList();
        QTest::newRow("missing directory")
            << QStringLiteral("missing/run.bin6842") << QStringList{"Directory: \"%2\" does not exist."};
        // A directory of that name exists (overwrite? yes) but cannot be written.
        QTest::newRow("cannot open") << QStringLiteral("taken.bin6842")
                                     << QStringList{"File already exists, overwrite?",
                                                    "Cannot open file: \"%1\" for writing.\n%3"};
    }

    void refusedStart()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, texts);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name.startsWith("taken"))
            QVERIFY(QDir().mkdir(path));
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        journal();
        recorder.answerStandard(QMessageBox::Yes);
        auto watch = whenModal<acqConfig>([&](acqConfig *d) {
            d->formatCombo->setCurrentIndex(0);
            d->fileNameEdit->setText(path);
            if (name.isEmpty())
                d->cancelButton->click();
            else
                d->startButton->click();
        });
        w->contButton->click();
        QCOMPARE(watch->acted, 1);
        QStringList expected;
        for (const QString &t : texts)
            expected << QString(t).replace("%1", path).replace("%2", dir.filePath("missing"))
                                  .replace("%3", QString::fromLocal8Bit(std::strerror(EISDIR)));
        QCOMPARE(recorder.texts(), expected);
        if (!texts.isEmpty()) {
            QCOMPARE(recorder.last().icon, QMessageBox::Critical);
            QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP"));
        }
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(!w->contButton->isChecked() && w->contButton->isEnabled() && w->singleButton->isEnabled());
        QVERIFY(journal().filter("nv6842_startMultAcquisitionEx(").isEmpty());
    }

    void streamingFailureShowsAtOnce_data()
    {
        QTest::addColumn<QByteArray>("sim");
        QTest::addColumn<bool>("fullDisk"); // the file is a link to /dev/full
        QTest::addColumn<QString>("expected"); // the whole text, or a beginning ending in "["
        QTest::addColumn<int>("blocks");       // blocks recorded before the failure
        QTest::addColumn<QString>("kept");     // what the file-size text then says
        QTest::addColumn<qint64>("disk");      // bytes the disk holds (through the seam); 0: as it is
        char text[256] = {};
        nv6842_error_message(VI_NULL, nv6842_ERROR_INJECTED, text);
        const QString read = QStringLiteral("nv6842_readMultAcquisitionEx failed due to [");
        QTest::newRow("read fails") << QByteArray("default; fail call=nv6842_readMultAcquisition status=0xBFFC080A after=3")
                                    << false << read + QString::fromLatin1(text) + ']' << 3
                                    << "Storing stopped: 3 blocks (18.0 kB) are in the file." << qint64(0);
        QTest::newRow("short read") << QByteArray("default; short call=nv6842_readMultAcquisition scans=100 after=3")
                                    << false << read << 3 << "Storing stopped: 3 blocks (18.0 kB) are in the file."
                                    << qint64(0);
        QTest::newRow("disk full") << QByteArray() << true << QStringLiteral("Disk write failed!") << 0
                                   << "Storing stopped: 0 blocks (0 B) are in the file." << qint64(0);
        // The header and 34.5 blocks of 6 kB: after 3 blocks two ring lengths no longer fit.
        const uint16_t masks[] = {0x0005, 0x8000};
        const qint64 header = qint64(binaryHeaderText({rate, scans, 2, masks, false}).size());
        QTest::newRow("disk almost full") << QByteArray() << false
                                          << QStringLiteral("The disk is almost full: storing stopped after 3 blocks (18.0 kB).")
                                          << 3 << "Storing stopped: 3 blocks (18.0 kB) are in the file."
                                          << header + 34 * 6144 + 3072;
    }

    void streamingFailureShowsAtOnce()
    {
        QFETCH(QByteArray, sim);
        QFETCH(bool, fullDisk);
        QFETCH(QString, expected);
        QFETCH(int, blocks);
        QFETCH(QString, kept);
        QFETCH(qint64, disk);
        SimConfig config(sim);
        QTemporaryDir dir;
        const QString path = dir.filePath("broken.bin6842");
        if (fullDisk) {
            if (!QFile::exists("/dev/full"))
                QSKIP("no /dev/full here");
            QVERIFY(QFile::link("/dev/full", path));
        }
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        if (disk > 0)
            w->waveform->contParams.freeSpace = [disk, path](const std::string &) {
                return disk - QFileInfo(path).size();
            };
        const QRect screen(0, 0, 1024, 768);
        showOnScreen(w.get(), screen);
        if (fullDisk)
            recorder.answerStandard(QMessageBox::Yes); // overwrite the existing name
        auto watch = answerSettings(path);
        w->contButton->click();
        QCOMPARE(watch->acted, 1);
        recorder.clear();
        // Shown while the acquisition still runs, not only when it stops: the
        // error in red and bold beside the stage, and what the file kept.
        nv6842fp_Waveform *wave = w->waveform;
        const bool whole = !expected.endsWith('[');
        QString shown;
        QVERIFY2(QTest::qWaitFor([&] {
            shown = wave->errorLabel->text();
            return whole ? shown == expected : shown.startsWith(expected);
        }, 3000), qPrintable(wave->errorLabel->text()));
        QVERIFY(!wave->errorLabel->isHidden() && wave->errorLabel->font().bold()
                && textColour(wave->errorLabel) == QColor(Qt::red));
        QVERIFY2(!wave->stateLabel->text().contains('['), qPrintable(wave->stateLabel->text()));
        QTRY_COMPARE_WITH_TIMEOUT(wave->infoLabel->text(), kept, 3000); // 6 kB a block
        QVERIFY(w->contButton->isChecked() && wave->refreshTimer->isActive());
        QCOMPARE(recorder.count(), 0);
        // However long the texts (a health text after them too), the frame
        // stays on the screen, and what is cut is whole in the tool tip.
        const QString health = QStringLiteral("Recording health, ").repeated(40);
        wave->setRecordingHealth(health);
        settleLayouts();
        QVERIFY(w->minimumSizeHint().width() <= screen.width() && screen.contains(w->frameGeometry()));
        for (const QPushButton *button : {w->contButton, w->aboutButton, w->closeButton})
            QVERIFY(screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
        QVERIFY(wave->healthLabel->isCut());
        QCOMPARE(wave->healthLabel->shownToolTip(), health);
        QVERIFY(!wave->errorLabel->isCut() || wave->errorLabel->shownToolTip() == shown);

        w->contButton->click();
        QVERIFY(waitForEnd(w.get()));
        const QStringList errors = boxTexts(recorder, QMessageBox::Critical);
        QCOMPARE(errors, QStringList{shown + exitQuestion});
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP Error message"));
        QVERIFY(recorder.exitCodes.isEmpty());
        // The blocks read before the failure are recorded, nothing after.
        if (!fullDisk)
            verifyRecording(path, vxi, vxiChannels, rate, scans, blocks);
    }

    // "Start a new file every 1 MB" and the trend log, chosen in the dialog:
    // one question for the set, the health line while streaming, files of
    // five blocks of 192 kB, and a row or a skip for every block.
    void fileSetAndTrendFromTheDialog()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.bin6842");
        const QString trend = dir.filePath("run.trend.csv");
        const QString stale = dir.filePath("run_0007.bin6842");
        for (const QString &earlier : {trend, stale})
            QVERIFY(QFile(earlier).open(QIODevice::WriteOnly));
        // The dialog remembers the choices; the other tests store single files.
        struct Forget {
            ~Forget() { QSettings("Norvane Ltd.", "Trellin 6842 Soft Front Panel").remove("DataStorage"); }
        } forget;
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        const int blockScans = 8192;
        const double fast = 50000;
        selectData(w->daq->lengthCombo, blockScans);
        selectData(w->daq->rateCombo, fast);
        recorder.answerStandard(QMessageBox::Yes);
        auto watch = whenModal<acqConfig>([&](acqConfig *d) {
            d->formatCombo->setCurrentIndex(0);
            d->fileNameEdit->setText(QDir::toNativeSeparators(path));
            d->splitBox->setChecked(true);
            d->splitValue->setValue(1);
            d->splitUnitCombo->setCurrentIndex(acqSplitMegabytes);
            d->trendBox->setChecked(true);
            d->startButton->click();
        });
        w->contButton->click();
        QCOMPARE(watch->acted, 1);
        QCOMPARE(recorder.texts(), QStringList{"File already exists, overwrite?"});
        nv6842fp_Waveform *wave = w->waveform;
        static const QRegularExpression health(QStringLiteral(
            "^\\d+(\\.\\d+)? (B|kB|MB)/s, ring backlog \\d+/16 blocks, \\d+(\\.\\d+)? (B|kB|MB|GB) free(, .+ left)?$"));
        QTRY_VERIFY_WITH_TIMEOUT(!wave->healthLabel->isHidden() && health.match(wave->healthLabel->text()).hasMatch(),
                                 5000);
        QTRY_VERIFY_WITH_TIMEOUT(wave->contParams.blocksStored >= 6, 10000);
        w->contButton->click();
        QVERIFY(waitForEnd(w.get()));
        QVERIFY(wave->healthLabel->isHidden());
        QCOMPARE(recorder.count(), 1);
        QVERIFY(!QFile::exists(path) && !QFile::exists(stale));

        // (1 MB - header) / 196,608 bytes: five blocks a file.
        const int stored = int(wave->contParams.blocksStored);
        for (int first = 0, n = 1; first < stored; first += 5, ++n) {
            const QString member = dir.filePath(QString::asprintf("run_%04d.bin6842", n));
            verifyRecording(member, vxi, vxiChannels, fast, blockScans, std::min(5, stored - first), -1, first);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(member));
        }
        std::vector<std::pair<int, int>> enabled;
        for (const Channel &c : vxiChannels)
            enabled.emplace_back(c.chIdx / 16 + 1, c.chIdx % 16 + 1);
        verifyTrendCoverage(trend, stored, enabled);
    }

    // Files of a set hold whole blocks: a split smaller than one block is
    // refused, once, naming the smallest size, and nothing starts.
    void splitSmallerThanABlockIsRefused()
    {
        QTemporaryDir dir;
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        struct Forget {
            ~Forget() { QSettings("Norvane Ltd.", "Trellin 6842 Soft Front Panel").remove("DataStorage"); }
        } forget;
        // 16 channels of 8192 scans: 1 MB a block, and the header.
        for (int g = 0; g < 32; ++g)
            w->chPanels[g]->enable->setChecked(g < 16);
        selectData(w->daq->lengthCombo, 8192);
        auto watch = whenModal<acqConfig>([&](acqConfig *d) {
            d->fileNameEdit->setText(dir.filePath("big.bin6842"));
            d->splitBox->setChecked(true);
            d->splitValue->setValue(1);
            d->splitUnitCombo->setCurrentIndex(acqSplitMegabytes);
            d->startButton->click();
        });
        journal();
        w->contButton->click();
        QCOMPARE(watch->acted, 1);
        QCOMPARE(recorder.texts(), QStringList{"The split size must be at least 1.001 MB (one block and the file header)."});
        QCOMPARE(recorder.last().icon, QMessageBox::Warning);
        QVERIFY(!w->waveform->refreshTimer->isActive() && !w->contButton->isChecked() && w->contButton->isEnabled());
        QVERIFY(journal().filter("nv6842_startMultAcquisitionEx(").isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // "Yes" to an error box while streaming: the stream ends as the stop
    // button ends it before the process does, so the file holds every block
    // acquired until then, whole and in order.
    void exitDuringAStreamKeepsEveryBlock()
    {
        // Channel 1 over range: each refresh reads the cards' marks, and the
        // twenty-first read fails.
        SimConfig config("carrier vxi slot=2; fc 1; signal ch=1 amp=12; fc 2; "
                         "fail call=nv6842_getDAQStatus status=0xBFFC0801 after=20");
        QTemporaryDir dir;
        const QString path = dir.filePath("exit.bin6842");
        const QString atExit = dir.filePath("at-exit.bin6842");
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        int acquiredAtBox = -1, acquiredAtExit = -1;
        bool stoppedAtExit = false;
        recorder.onBox = [&](const sfp::MessageRequest &) { acquiredAtBox = blocksAcquired; };
        recorder.answerStandard(QMessageBox::Yes);
        // The process would end here: what the file holds now is what is left.
        sfp::setExitHook([&](int code) {
            recorder.exitCodes << code;
            stoppedAtExit = !w->waveform->isAcquiring() && !acqRunning;
            acquiredAtExit = blocksAcquired;
            QFile::copy(path, atExit);
        });
        auto watch = answerSettings(path);
        w->contButton->click();
        QCOMPARE(watch->acted, 1);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.exitCodes, QList<int>{0}, 10000);
        QCOMPARE(recorder.count(), 1);
        QVERIFY(recorder.last().text.startsWith("nv6842_getDAQStatus(fcvi, NULL, NULL, &chErrors) failed due to ["));
        QVERIFY(stoppedAtExit);
        QVERIFY(acquiredAtBox > 0 && acquiredAtExit >= acquiredAtBox);
        verifyRecording(atExit, vxi, vxiChannels, rate, scans, acquiredAtExit);
    }

    void demoModeCannotStore()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("demo.bin6842");
        MessageRecorder recorder;
        Window w = demoModeWindow(recorder, 1);
        w->daq->storeToFile->setChecked(true);
        const int before = recorder.count();
        auto watch = answerSettings(path);
        w->singleButton->click();
        QCOMPARE(watch->acted, 1);
        QVERIFY(waitForEnd(w.get()));
        QCOMPARE(recorder.count(), before + 1);
        QCOMPARE(recorder.last().icon, QMessageBox::Information);
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP"));
        QCOMPARE(recorder.last().text, QStringLiteral("Saving to file does not work in demo mode."));
        QVERIFY(!QFile::exists(path));
        QVERIFY(w->waveform->curves[0]->dataSize() > 0);
    }

    void refreshFailureStopsTheTimer_data()
    {
        QTest::addColumn<QByteArray>("sim");
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("status");
        QTest::newRow("stage") << QByteArray("default; fail call=nv6842_checkMultAcquisition status=0xBFFC0801")
                               << "nv6842_checkMultAcquisition(d_vi, &gl_state, &gl_errors, &gl_scanBacklog)"
                               << int(nv6842_ERROR_INV_SESSION);
        QTest::newRow("read") << QByteArray("default; fail call=nv6842_readMultAcquisition status=0xBFFC080A")
                              << "nv6842_readMultAcquisition(d_vi, scans, (ViInt32 *)&scans, data)"
                              << int(nv6842_ERROR_INJECTED);
    }

    void refreshFailureStopsTheTimer()
    {
        QFETCH(QByteArray, sim);
        QFETCH(QString, call);
        QFETCH(int, status);
        SimConfig config(sim);
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w);
        recorder.clear();
        w->contButton->click();
        QTRY_COMPARE(recorder.count(), 1);
        char text[256] = {};
        nv6842_error_message(VI_NULL, status, text);
        const QString failure = call + QStringLiteral(" failed due to [%1]").arg(QString::fromLatin1(text));
        QCOMPARE(recorder.last().icon, QMessageBox::Critical);
        QCOMPARE(recorder.last().text, failure + exitQuestion);
        QVERIFY(!w->waveform->refreshTimer->isActive());
        // Answered "No": the row says why the panel stands still.
        QCOMPARE(w->waveform->errorLabel->text(), failure);
        QVERIFY(!w->waveform->errorLabel->isHidden() && textColour(w->waveform->errorLabel) == QColor(Qt::red));
        // The buttons are left as they were: running repetitively.
        QVERIFY(w->contButton->isChecked() && w->contButton->isEnabled() && !w->singleButton->isEnabled());
        w->contButton->click();
        QVERIFY(waitForEnd(w.get()));
    }

    void overRangeMarksTheChannel_data()
    {
        QTest::addColumn<bool>("storage");
        QTest::newRow("block") << false;
        QTest::newRow("streaming without file") << true;
    }

    void overRangeMarksTheChannel()
    {
        QFETCH(bool, storage);
        // Channel 1 starts at 12 V, so every block of block mode is over range;
        // streamed, it is within 10 V from 0.93 s to 4.07 s.
        SimConfig config("carrier vxi slot=2; fc 1; signal ch=1 amp=12 freq=0.1 phase=90; fc 2");
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w);
        recorder.clear();
        w->chPanels[2]->enable->setChecked(true);
        chLabel *legend = w->waveform->legends[0];
        const int frame = legend->frameStyle();
        const QColor text = textColour(legend);
        const QString help = legend->toolTip();
        selectData(w->daq->lengthCombo, 256);
        w->daq->storeToFile->setChecked(storage);
        std::shared_ptr<ModalWatch> watch;
        if (storage)
            watch = answerSettings(QString());
        w->contButton->click();
        QLabel *label = w->waveform->stateLabel;
        QColor colour;
        QVERIFY(QTest::qWaitFor([&] {
            colour = textColour(label);
            return label->text().endsWith(QStringLiteral("  [Input Signal Out Of Range]"));
        }, 5000));
        QCOMPARE(colour, QColor(Qt::red));
        QTRY_COMPARE(w->chPanels[0]->outOfRange->value(), 1);
        QCOMPARE(w->chPanels[2]->outOfRange->value(), 0);
        // The channel panels are disabled while running: the legend says it
        // too, with a mark of its own beside enabled and bold.
        QCOMPARE(legend->toolTip(), QStringLiteral("Over range"));
        QVERIFY(legend->autoFillBackground() && legend->palette().color(QPalette::Window) == chLabel::overRangeBackground());
        QCOMPARE(legend->frameStyle(), frame);
        QCOMPARE(textColour(legend), text);
        QVERIFY(!w->waveform->legends[2]->isOverRange());
        if (storage) {
            QTRY_VERIFY_WITH_TIMEOUT(!legend->isOverRange(), 6000);
            QVERIFY(legend->toolTip() == help && !legend->autoFillBackground());
        }
        QVERIFY(w->contButton->isChecked() && w->waveform->refreshTimer->isActive());
        // The saturated values come from the simulator, clipped at 10 V.
        QTRY_VERIFY(shownBlock(w->waveform->curves[0], vxi, {0, 1}, rate, 256) >= 0);
        w->contButton->click();
        QVERIFY(waitForEnd(w.get()));
        QCOMPARE(recorder.count(), 0);
    }

    void fifoOverflowEndsTheAcquisition_data()
    {
        QTest::addColumn<bool>("storage");
        QTest::newRow("block") << false;
        QTest::newRow("streaming without file") << true;
    }

    void fifoOverflowEndsTheAcquisition()
    {
        QFETCH(bool, storage);
        // A FIFO shorter than a block overflows before the first block is complete.
        SimConfig config("default; fifo scans=100");
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w);
        recorder.clear();
        selectData(w->daq->lengthCombo, 256);
        w->daq->storeToFile->setChecked(storage);
        std::shared_ptr<ModalWatch> watch;
        if (storage)
            watch = answerSettings(QString());
        w->contButton->click();
        QLabel *label = w->waveform->stateLabel;
        QVERIFY(QTest::qWaitFor([&] { return label->text() == QStringLiteral("End  [FIFO overflow]"); }, 5000));
        QCOMPARE(textColour(label), QColor(Qt::blue));
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(!w->contButton->isChecked() && w->contButton->isEnabled() && w->singleButton->isEnabled());
        // Nothing was stored; one warning says that data was lost.
        QCOMPARE(recorder.texts(), QStringList{"Acquired data was lost in a FIFO overflow."});
        QCOMPARE(recorder.last().icon, QMessageBox::Warning);
    }

    void fifoOverflowWhileStreamingIsReported()
    {
        // The storage task falls behind, the callback waits for room in the
        // ring, the card's FIFO overflows and the card calls back no more.
        SimConfig config("default; fifo scans=1000");
        QTemporaryDir dir;
        const QString path = dir.filePath("overflow.bin6842");
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        auto watch = answerSettings(path);
        w->contButton->click();
        QCOMPARE(watch->acted, 1);
        w->waveform->contParams.storageStalled = true;
        // The ring fills, then the FIFO, as the simulator tells; the storage task catches up.
        ViInt16 state = 0;
        ViUInt16 errors = 0;
        ViInt32 backlog = 0;
        QVERIFY(QTest::qWaitFor([&] { return nv6842_checkMultAcquisition(w->d_vi, &state, &errors, &backlog) == VI_SUCCESS && (errors & 0x40); }, 10000));
        w->waveform->contParams.storageStalled = false;
        QLabel *label = w->waveform->stateLabel;
        QVERIFY2(QTest::qWaitFor([&] { return label->text() == QStringLiteral("End  [FIFO overflow]"); }, 10000),
                 qPrintable(label->text()));
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(!w->contButton->isChecked() && w->contButton->isEnabled());
        // The warning counts the blocks the file holds, as its reader finds them.
        StoredFileInfo_t info;
        QCOMPARE(readStoredFileHeader(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(recorder.texts(), QStringList{acqOverflowLostText(true, int64_t(info.blockCount))});
        verifyRecording(path, vxi, vxiChannels, rate, scans, int(info.blockCount));
    }

    void timedStartWaitsForTheAlarm_data()
    {
        QTest::addColumn<bool>("storage");
        QTest::newRow("block") << false;
        QTest::newRow("storage with time stamps") << true;
    }

    void timedStartWaitsForTheAlarm()
    {
        QFETCH(bool, storage);
        QTemporaryDir dir;
        const QString path = dir.filePath("timed.bin6842");
        MessageRecorder recorder;
        Window w = lxiAlarmWindow(recorder);
        QVERIFY(w);
        nv6842fp_DAQ *daq = w->daq;
        daq->storeToFile->setChecked(storage);
        daq->setAlarm(2);
        const qint64 alarm = daq->ptpAlarm->alarmTime();
        journal();

        DialogView view;
        QString waiting, countdown;
        QColor waitingColour;
        // While waiting, the pressed button stops; the other cannot start.
        bool stopEnabled = false, otherEnabled = true;
        QTimer::singleShot(800, w.get(), [&] {
            waiting = w->waveform->stateLabel->text();
            waitingColour = textColour(w->waveform->stateLabel);
            countdown = daq->ptpAlarm->countdownText();
            stopEnabled = w->singleButton->isEnabled();
            otherEnabled = w->contButton->isEnabled();
        });
        std::shared_ptr<ModalWatch> watch;
        if (storage)
            watch = answerSettings(path, 0, &view, true);
        QElapsedTimer clock;
        clock.start();
        w->singleButton->click();
        QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(countdown.contains("Time to PTP Alarm: -"), qPrintable(countdown));
        QCOMPARE(waiting, QStringLiteral("Ready   -   ") + countdown);
        QCOMPARE(waitingColour, QColor(Qt::darkYellow));
        QVERIFY(stopEnabled && !otherEnabled);
        QVERIFY(waitForEnd(w.get()));
        QVERIFY2(recorder.count() == 0, qPrintable(recorder.texts().join('\n')));
        QCOMPARE(shownBlock(w->waveform->curves[0], lxi, {0, 1}, rate, scans), 0);

        const QStringList lines = journal();
        const QString vi = QString::number(w->d_vi);
        const QString call = storage ? QStringLiteral("nv6842_startMultAcquisitionTimed64Ex(%1, %2, %3)").arg(vi).arg(scans).arg(alarm)
                                     : QStringLiteral("nv6842_startMultAcquisitionTimed64(%1, %2)").arg(vi).arg(alarm);
        QVERIFY2(lines.contains(call), qPrintable(lines.join('\n')));
        QVERIFY(lines.filter("nv6842_startMultAcquisition(").isEmpty());
        if (storage) {
            QVERIFY(view.timestampsShown);
            verifyRecording(path, lxi, {{0, 1}}, rate, scans, blocksAcquired, alarm);
        }
    }

    void stopCancelsAWaitingTimedStart_data()
    {
        QTest::addColumn<bool>("storage");
        QTest::addColumn<bool>("closing");
        QTest::newRow("block") << false << false;
        QTest::newRow("storage") << true << false;
        QTest::newRow("closing the window") << false << true;
    }

    void stopCancelsAWaitingTimedStart()
    {
        QFETCH(bool, storage);
        QFETCH(bool, closing);
        QTemporaryDir dir;
        MessageRecorder recorder;
        Window w = lxiAlarmWindow(recorder);
        QVERIFY(w);
        w->daq->storeToFile->setChecked(storage);
        w->daq->setAlarm(30 * 365 * 86400); // thirty years ahead
        journal();
        std::shared_ptr<ModalWatch> watch;
        if (storage)
            watch = answerSettings(dir.filePath("cancelled.bin6842"));
        bool stopEnabled = false;
        QElapsedTimer clock;
        qint64 stoppedAt = -1;
        bool closed = false;
        QTimer::singleShot(300, w.get(), [&] {
            stopEnabled = w->singleButton->isEnabled();
            stoppedAt = clock.elapsed();
            if (closing) {
                recorder.answerStandard(QMessageBox::Yes);
                closed = w->close();
            } else if (stopEnabled) {
                w->singleButton->click();
            }
        });
        // Whatever happens above, the wait ends: the test cannot hang. The
        // window is the timers' context, so none fires after the test.
        QTimer::singleShot(3000, w.get(), [&] { nv6842_stopMultAcquisition(w->d_vi); });
        clock.start();
        w->singleButton->click();
        QVERIFY(stopEnabled);
        QVERIFY(closed == closing);
        QVERIFY2(clock.elapsed() - stoppedAt < 1000, qPrintable(QString::number(clock.elapsed() - stoppedAt)));
        QVERIFY2(recorder.count() == (closing ? 1 : 0), qPrintable(recorder.texts().join('\n')));
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(!w->singleButton->isChecked() && w->singleButton->isEnabled() && w->contButton->isEnabled());
        QCOMPARE(w->waveform->stateLabel->text(), QStringLiteral("End"));
        QVERIFY(journal().filter(QRegularExpression("^nv6842_startMultAcquisition(Ex)?\\(")).isEmpty());
    }

    // Reset Device is greyed from a start (a waiting timed start included)
    // to its stop: a reset would stop the cards under the run.
    void resetDisabledWhileAcquiring_data()
    {
        QTest::addColumn<bool>("storage");
        QTest::addColumn<bool>("timed");
        QTest::newRow("blocks") << false << false;
        QTest::newRow("streaming") << true << false;
        QTest::newRow("waiting for the alarm") << false << true;
    }

    void resetDisabledWhileAcquiring()
    {
        QFETCH(bool, storage);
        QFETCH(bool, timed);
        QTemporaryDir dir;
        MessageRecorder recorder;
        Window w = timed ? lxiAlarmWindow(recorder) : storageWindow(recorder);
        QVERIFY(w && w->resetButton->isEnabled());
        w->daq->storeToFile->setChecked(storage);
        if (timed)
            w->daq->setAlarm(30 * 365 * 86400);
        const auto watch = storage ? answerSettings(dir.filePath("run.bin6842")) : nullptr;
        int resetDuringRun = -1; // 1 usable, 0 greyed
        QTimer::singleShot(300, w.get(), [&] {
            resetDuringRun = w->waveform->isAcquiring() ? w->resetButton->isEnabled() : -1;
            w->contButton->click();
        });
        QTimer::singleShot(3000, w.get(), [&] { nv6842_stopMultAcquisition(w->d_vi); }); // a wait the stop missed
        w->contButton->click();
        QVERIFY(QTest::qWaitFor([&] { return !w->contButton->isChecked(); }, 5000));
        QCOMPARE(resetDuringRun, 0);
        QVERIFY(w->resetButton->isEnabled());
    }

    void pastAlarmTimeIsRefused_data()
    {
        QTest::addColumn<bool>("storage");
        QTest::newRow("block") << false;
        QTest::newRow("storage") << true;
    }

    void pastAlarmTimeIsRefused()
    {
        QFETCH(bool, storage);
        QTemporaryDir dir;
        const QString path = dir.filePath("late.bin6842");
        MessageRecorder recorder;
        Window w = lxiAlarmWindow(recorder);
        QVERIFY(w);
        w->daq->storeToFile->setChecked(storage);
        w->daq->setAlarm(-60);
        journal();
        std::shared_ptr<ModalWatch> watch;
        if (storage)
            watch = answerSettings(path);
        w->singleButton->click();
        QCOMPARE(recorder.texts(), QStringList{acqStartTimePassedText()});
        QCOMPARE(recorder.last().icon, QMessageBox::Warning);
        QVERIFY(journal().filter(QRegularExpression("^nv6842_(setMultTrigConfig|multConfig|start)")).isEmpty());
        QVERIFY(!QFile::exists(path));
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(!w->singleButton->isChecked() && w->singleButton->isEnabled() && w->contButton->isEnabled());
    }

    void setupFailureStartsNothing_data()
    {
        QTest::addColumn<bool>("storage");
        QTest::newRow("block") << false;
        QTest::newRow("storage") << true;
    }

    void setupFailureStartsNothing()
    {
        QFETCH(bool, storage);
        SimConfig config("default; fail call=nv6842_multConfig status=0xBFFC0801 count=always");
        QTemporaryDir dir;
        const QString path = dir.filePath("unset.bin6842");
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        w->daq->storeToFile->setChecked(storage);
        journal();
        std::shared_ptr<ModalWatch> watch;
        if (storage)
            watch = answerSettings(path);
        w->contButton->click();
        const QStringList errors = boxTexts(recorder, QMessageBox::Critical);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith("nv6842_multConfig(d_vi, "), qPrintable(errors[0]));
        const QStringList lines = journal();
        // The set-up went on (both cards' output triggers) but nothing started.
        QCOMPARE(lines.filter("nv6842_setOTRIConfig(").size(), 2);
        QVERIFY2(lines.filter(QRegularExpression("^nv6842_startMultAcquisition")).isEmpty(), qPrintable(lines.join('\n')));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(!w->contButton->isChecked() && w->contButton->isEnabled() && w->singleButton->isEnabled());
        QCOMPARE(w->waveform->errorLabel->text(), acqSetupFailedText());
        QCOMPARE(w->waveform->stateLabel->text(), acqStageText(7));
    }

    void shortBlockIsNotShown_data()
    {
        QTest::addColumn<QByteArray>("sim");
        QTest::addColumn<bool>("repetitive");
        QTest::addColumn<int>("got");
        QTest::newRow("single, 100 scans") << QByteArray("default; short call=nv6842_readMultAcquisition scans=100")
                                           << false << 100;
        QTest::newRow("single, one scan") << QByteArray("default; short call=nv6842_readMultAcquisition scans=1")
                                          << false << 1;
        QTest::newRow("repetitive, after a whole block")
            << QByteArray("default; short call=nv6842_readMultAcquisition scans=100 count=always after=1") << true
            << 100;
    }

    void shortBlockIsNotShown()
    {
        QFETCH(QByteArray, sim);
        QFETCH(bool, repetitive);
        QFETCH(int, got);
        SimConfig config(sim);
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w);
        recorder.clear();
        selectData(w->daq->lengthCombo, scans);
        nv6842fp_Waveform *wave = w->waveform;
        const QString shortText = acqShortBlockText(got, scans);
        if (repetitive) {
            w->contButton->click();
            // The second block is short: the first stays on display, whole.
            QVERIFY2(QTest::qWaitFor([&] { return wave->errorLabel->text() == shortText; }, 5000),
                     qPrintable(wave->errorLabel->text()));
            QCOMPARE(wave->scans, scans);
            QCOMPARE(shownBlock(wave->curves[0], vxi, {0, 1}, rate, scans), 0);
            QVERIFY(w->contButton->isChecked() && wave->refreshTimer->isActive());
            w->contButton->click();
            QVERIFY(waitForEnd(w.get()));
        } else {
            w->singleButton->click();
            QVERIFY(QTest::qWaitFor([&] { return wave->errorLabel->text() == shortText; }, 5000));
            QCOMPARE(wave->stateLabel->text(), acqStageText(7));
            QVERIFY(!wave->refreshTimer->isActive());
            QCOMPARE(wave->scans, scans);
            QCOMPARE(wave->curves[0]->dataSize(), size_t(0));
        }
        QCOMPARE(wave->scans, scans);
        QVERIFY2(recorder.count() == 0, qPrintable(recorder.texts().join('\n')));
    }

    void singleShotStopsTheCardOnce()
    {
        MessageRecorder recorder;
        Window w = twoCards(recorder);
        QVERIFY(w);
        selectData(w->daq->lengthCombo, scans);
        journal();
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        // One stop before the read, one for the end of the run.
        const QStringList stops = journal().filter(QRegularExpression("^nv6842_stopMultAcquisition\\("));
        QCOMPARE(stops.size(), 2);
        // Stopping again with nothing running changes nothing.
        w->waveform->stateLabel->setText("unchanged");
        w->waveform->stopDAQ();
        QCOMPARE(w->waveform->stateLabel->text(), QStringLiteral("unchanged"));
        QVERIFY(journal().isEmpty());
    }

    void streamErrorIsShownOnce()
    {
        // Reads fail from the third on: the card's FIFO fills and the run ends
        // with an overflow, which stops it from the refresh.
        SimConfig config("default; fifo scans=1000; "
                         "fail call=nv6842_readMultAcquisition status=0xBFFC080A count=always after=2");
        QTemporaryDir dir;
        const QString path = dir.filePath("failing.bin6842");
        MessageRecorder recorder;
        Window w = storageWindow(recorder);
        QVERIFY(w);
        auto watch = answerSettings(path);
        w->contButton->click();
        QCOMPARE(watch->acted, 1);
        QVERIFY2(QTest::qWaitFor([&] { return w->waveform->stateLabel->text() == QStringLiteral("End  [FIFO overflow]"); }, 10000),
                 qPrintable(w->waveform->stateLabel->text()));
        QVERIFY(waitForEnd(w.get()));
        const QStringList errors = boxTexts(recorder, QMessageBox::Critical);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith("nv6842_readMultAcquisitionEx failed due to ["), qPrintable(errors[0]));
        // The overflow's warning comes once, with the two blocks read before the reads failed.
        QCOMPARE(boxTexts(recorder, QMessageBox::Warning),
                 QStringList{"Acquired data was lost in a FIFO overflow: the file holds the 2 blocks written before it."});
        verifyRecording(path, vxi, vxiChannels, rate, scans, 2);

        // A later start that is cancelled stops nothing: the old text stays gone.
        recorder.clear();
        auto cancel = whenModal<acqConfig>([](acqConfig *d) { d->cancelButton->click(); });
        w->contButton->click();
        QCOMPARE(cancel->acted, 1);
        QVERIFY2(recorder.count() == 0, qPrintable(recorder.texts().join('\n')));
        QVERIFY(!w->contButton->isChecked() && w->contButton->isEnabled());
    }

    void emptyRateListRefusesTheStart()
    {
        // A card whose range holds none of the listed rates.
        SimConfig config("carrier vxi slot=2; fc 1 rate=60000:70000");
        MessageRecorder recorder;
        Window w = realWindow(recorder, {{vxi, 1}});
        QVERIFY(w);
        recorder.clear();
        QCOMPARE(w->daq->rateCombo->count(), 0);
        journal();
        w->singleButton->click();
        QCOMPARE(recorder.texts(), QStringList{acqRateMissingText(0)});
        QCOMPARE(recorder.last().icon, QMessageBox::Warning);
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP Warning message"));
        QVERIFY(journal().filter(QRegularExpression("^nv6842_(setMultTrigConfig|multConfig|start)")).isEmpty());
        QVERIFY(!w->waveform->refreshTimer->isActive());
        QVERIFY(!w->singleButton->isChecked() && w->singleButton->isEnabled() && w->contButton->isEnabled());
    }

    void hostsDifferSoTheSynchronisationIsAsked_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("synch");
        QTest::newRow("LXI Triggers") << 0 << 0xFFFE;
        QTest::newRow("IEEE 1588") << 1 << 0xFFFF;
    }

    void hostsDifferSoTheSynchronisationIsAsked()
    {
        QFETCH(int, method);
        QFETCH(int, synch);
        SimConfig config("carrier lxi ip=127.0.0.2; fc 1; carrier lxi ip=127.0.0.3; fc 1");
        MessageRecorder recorder;
        QStringList items;
        auto watch = whenModal<nv6842fp_syncMethodDialog>([&](nv6842fp_syncMethodDialog *d) {
            for (int i = 0; i < d->syncMethod->count(); ++i)
                items << d->syncMethod->itemText(i);
            d->syncMethod->setCurrentIndex(method);
            d->okButton->click();
        }, 2); // a second showing is answered too (and counted) rather than left hanging
        Window w = realWindow(recorder, {{lxi, 1}, {"TCPIP0::127.0.0.3::INSTR", 1}});
        QVERIFY(w && w->cards() == 2);
        recorder.clear();
        QCOMPARE(watch->acted, 1);
        QCOMPARE(items, (QStringList{"LXI Triggers", "IEEE 1588"}));
        QVERIFY(w->waveform->syncMethod);
        QCOMPARE(w->waveform->syncMethod->currentIndex(), method);

        selectData(w->daq->lengthCombo, scans);
        journal();
        w->singleButton->click();
        QVERIFY(waitForEnd(w.get()));
        QVERIFY2(recorder.count() == 0, qPrintable(recorder.texts().join('\n')));
        const QStringList multConfig = journal().filter("nv6842_multConfig(");
        QCOMPARE(multConfig.size(), 1);
        QVERIFY2(multConfig[0].endsWith(QStringLiteral(", %1, %1)").arg(synch)), qPrintable(multConfig[0]));
        QCOMPARE(watch->acted, 1);
    }
};

QTEST_MAIN(TestAppStream)
#include "test_app_stream.moc"
