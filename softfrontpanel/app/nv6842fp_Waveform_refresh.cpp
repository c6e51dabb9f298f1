// The refresh cycle of the waveform panel (GUI thread): one step per timer
// tick fetches a block when one is ready (driver, streaming copy, demo waves
// or stored file), shows it, re-arms or stops, and shows stage and errors.
#include "nv6842fp_Waveform.h"

#include "acqBlock.h"
#include "acqState.h"
#include "acqTexts.h"
#include "chLabel.h"
#include "fittingLabel.h"
#include "myQwtPlotPicker.h"
#include "measurement.h"
#include "nv6842.h"
#include "nv6842fp_App.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_panelHelpers.h"
#include "nv9471.h"
#include "nv9471fp_led.h"
#include "nv9471fp_messages.h"

#include <qwt_plot.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>

namespace {

// Shifts the demo waves a little at every block.
double demoPhase = 0.0;

} // namespace

void nv6842fp_Waveform::timerSlot()
{
    timerSlot(true);
}

acqReporter nv6842fp_Waveform::refreshReporter()
{
    // A failing call of the refresh cycle stops the timer before it is shown;
    // the start buttons stay as they are, and the status row says why
    // nothing moves any more until the stop.
    return [this](ViStatus status, const char *call) {
        if (status < VI_SUCCESS) {
            refreshTimer->stop();
            setStatusError(nv6842fp_App::driverFailureText(status, call));
        }
        reportDriver(status, call);
    };
}

bool nv6842fp_Waveform::readOfflineBlock()
{
    const size_t count = size_t(enabledChannels()) * size_t(scans);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[StoredFileInfo.sampleBytes]);
    if (!buffer) {
        nv6842fp_cardBox(parent, QMessageBox::Critical, QStringLiteral("Failed to allocate memory."));
        sfp::endProcess(-1);
        return false;
    }
    // With stamps the block is read with them, for the caption of its pictures.
    const bool stamps = StoredFileInfo.stampBytes > 0 && StoredFileInfo.scansPerBlock > 0;
    std::vector<int32_t> seconds(stamps ? size_t(StoredFileInfo.scansPerBlock) : 0);
    std::vector<int32_t> nanos(seconds.size());
    errno = 0;
    const int block = blockSlider->value() - 1;
    if ((stamps ? readStoredBlockStamps(StoredFileInfo, buffer.get(), seconds.data(), nanos.data(), block)
                : readStoredBlock(StoredFileInfo, buffer.get(), block))
        != 1) {
        // Without a system error the file ended early: it shrank since it was opened.
        const int error = errno;
        const QString reason = error ? QString::fromLocal8Bit(std::strerror(error))
                                     : QStringLiteral("The file is shorter than its header says.");
        nv6842fp_cardBox(parent, QMessageBox::Critical,
                         QStringLiteral("Cannot read: \"%1\".").arg(QString::fromLocal8Bit(StoredFileInfo.path))
                             + QLatin1Char('\n') + reason);
        sfp::endProcess(-1);
        return false;
    }
    storedSamplesToVolts(StoredFileInfo, buffer.get(), data.get(),
                         std::min(count, storedBlockValueCount(StoredFileInfo)));
    noteBlockShown(block + 1, stamps, stamps ? seconds[0] : 0, stamps ? nanos[0] : 0);
    return true;
}

void nv6842fp_Waveform::synthesiseDemoBlock()
{
    const int n = enabledChannels();
    for (int c = 0; c < n; ++c)
        for (int k = 0; k < scans; ++k)
            data[size_t(c) * size_t(scans) + size_t(k)] =
                std::sin(k * (c + 1) * 1.2 * 2 * M_PI / scans + demoPhase);
    demoPhase += 0.05;
}

void nv6842fp_Waveform::showBlock()
{
    // Offline viewing shows the file's block on display again (a play
    // starting where the slider is): that is no new block.
    const int fileBlock = fileModeActive() && demoMode ? blockSlider->value() - 1 : -1;
    if (fileBlock < 0 || fileBlock != serialFileBlock)
        ++blockSerial;
    serialFileBlock = fileBlock;
    updatePlot();
    updateFft();
    parent->measPanel->recalculate();
}

bool nv6842fp_Waveform::markOverRange()
{
    std::vector<uint16_t> marks;
    if (acqReadOverRange(d_vi, std::vector<uint16_t>(chanMask.begin(), chanMask.end()), &marks,
                         refreshReporter()) < VI_SUCCESS)
        return false;
    for (int j = 0; j < cardCount && j < int(marks.size()); ++j)
        for (int i = 0; i < 16; ++i)
            parent->chPanels[j * 16 + i]->outOfRange->setValue((marks[size_t(j)] >> i) & 1);
    // The channel panels' lamps are on a page disabled while acquiring.
    setLegendOverRange(marks);
    return true;
}

bool nv6842fp_Waveform::streamSilent()
{
    const int32_t count = blocksAcquired;
    if (count != lastBlockCount || !blockClock.isValid()) {
        lastBlockCount = count;
        blockClock.restart();
        return false;
    }
    return blockClock.elapsed() > qint64(2000.0 * scans / freq) + 1000;
}

void nv6842fp_Waveform::setTimeAxis(double lower, double upper)
{
    plot->setAxisScale(QwtPlot::xBottom, lower, upper);
    const QwtInterval x = plot->axisInterval(QwtPlot::xBottom);
    const QwtInterval y = plot->axisInterval(QwtPlot::yLeft);
    xLower = x.minValue();
    xUpper = x.maxValue();
    yLower = y.minValue();
    yUpper = y.maxValue();
    picker->setXRange(xLower, xUpper);
    picker->setYRange(yLower, yUpper);
    for (int i = 0; i < scans; ++i)
        times[size_t(i)] = i / freq + lower;
}

// Block mode: reads the ready block and shows it when it is complete. A short
// block is not shown (its channels sit at other places than a whole block's)
// and leaves scans as configured; the stage row says so until a complete
// block arrives. False when a driver call failed.
bool nv6842fp_Waveform::fetchBlock()
{
    const size_t values = size_t(enabledChannels()) * size_t(scans);
    if (blockRead.size() < values)
        blockRead.assign(values, 0.0);
    int32_t got = 0;
    if (acqFetchBlock(d_vi, scans, blockRead.data(), &got, refreshReporter()) < VI_SUCCESS)
        return false;
    if (got != scans) {
        blockReadError = acqShortBlockText(got, scans);
        return true;
    }
    blockReadError.clear();
    std::copy(blockRead.begin(), blockRead.begin() + std::ptrdiff_t(values), data.get());
    noteBlockShown(++blocksShownInRun);
    showBlock();
    return true;
}

// One step of offline viewing: shows the slider's block (unless it is on
// display already) and, in a run, stops at the end or moves the slider on.
void nv6842fp_Waveform::viewFileStep(bool incrementSlider)
{
    const int value = blockSlider->value();
    // After the timer moved the slider on, its change handler has shown that
    // block: the next tick only moves on.
    if (!incrementSlider || value - 1 != fileBlockShown) {
        if (!readOfflineBlock())
            return; // the process is ending
        const double lower = (value - 1) * double(scans) / freq + StoredFileInfo.timeOffset;
        setTimeAxis(lower, value * double(scans) / freq + StoredFileInfo.timeOffset);
        fileBlockShown = value - 1; // before the measurement, which records it
        showBlock();
    }
    // A slider moved by hand outside a run only shows its block, and the
    // stage reads as after a single shot.
    if (!acquiring) {
        setStage(7, 0, QString());
        return;
    }
    const bool last = value >= blockSlider->maximum();
    if (!parent->contButton->isChecked() || last) {
        stopDAQ();
        parent->userBreak();
    }
    // The change handler shows the next block at once.
    if (incrementSlider && !last)
        blockSlider->setValue(value + 1);
}

void nv6842fp_Waveform::timerSlot(bool incrementSlider)
{
    if (scans < 1 || freq <= 0)
        return;
    if (fileModeActive() && demoMode) {
        viewFileStep(incrementSlider);
        return;
    }
    const bool storage = storageMode() && !demoMode;

    bool ready = false;
    int32_t shownBlock = 0; // the streamed block taken for display
    contBlockStamp shownStamp;
    if (!demoMode && !storage) {
        if (acqPollStage(d_vi, refreshReporter()) < VI_SUCCESS)
            return;
        ready = acqBlockReady(scans);
    } else if (storage) {
        ready = contTakeDisplayCopy(contParams, data.get(), &shownBlock, &shownStamp);
        if (streamSilent() && acqPollStage(d_vi, refreshReporter()) < VI_SUCCESS)
            return;
    }

    if (ready || demoMode) {
        const double block = storage ? shownBlock : displayedBlock.load();
        setTimeAxis(block * scans / freq, (block + 1) * scans / freq);
    }
    QString errorText;

    if (demoMode) {
        synthesiseDemoBlock();
        noteBlockShown(++blocksShownInRun);
        showBlock();
        if (!parent->contButton->isChecked()) {
            stopDAQ();
            parent->userBreak();
        }
        return;
    }

    if (ready) {
        if (storage) {
            noteBlockShown(int64_t(shownBlock) + 1, shownStamp.valid, shownStamp.seconds, shownStamp.nanos);
            showBlock();
        } else if (!fetchBlock()) {
            return;
        }
        if (gl_errors & 1) {
            if (!markOverRange())
                return;
        } else {
            setLegendOverRange({}); // every channel is back in range
        }
        if (!storage) {
            if (parent->contButton->isChecked()) {
                const ViStatus status = nv6842_startMultAcquisition(d_vi);
                if (status != VI_SUCCESS) {
                    refreshReporter()(status, "nv6842_startMultAcquisition(d_vi)");
                    if (status < VI_SUCCESS)
                        return;
                }
            } else {
                stopDAQ();
                parent->userBreak();
            }
        }
    } else if (gl_state == 4) {
        bool anySource = false;
        for (QCheckBox *box : parent->daq->trgSrc)
            anySource = anySource || (box && box->isChecked());
        if (!anySource && acqSoftwareTrigger(d_vi, refreshReporter()) < VI_SUCCESS)
            return;
    }

    bool fatal = false;
    errorText = acqErrorText(gl_errors, &fatal);
    const bool overflow = fatal && (gl_errors & 0x0040);
    // Asked before the stop, which forgets the stream; the count of blocks in
    // its file is final only once the stop has drained the ring.
    const bool storingToFile = streamPrepared && contParams.storing;
    if (fatal) {
        stopDAQ();
        parent->userBreak();
    }
    // A streaming failure is shown as soon as it happens, not only at stop.
    if (storage)
        showStorageProgress();
    else
        setStatusError(blockReadError);
    setStage(gl_state, gl_errors, errorText);
    // The stage text names the overflow; what it cost is said once per run.
    if (overflow)
        showWarning(acqOverflowLostText(storingToFile, contParams.blocksStored));
    if (ready && storage && firstBlockDone)
        parent->userBreak();
}

void nv6842fp_Waveform::stopDAQ()
{
    refreshTimer->stop();
    // One stop per run: the error path stops, and the frame's release of the
    // checked button then asks again; nothing runs by then.
    if (!acquiring)
        return;
    acquiring = false;
    emit acquiringChanged(false);
    // No callback reads a block after this; the ring stays until finish().
    contLeaveCallbacks(contParams);
    // A viewed file leaves nothing to configure: those pages stay disabled.
    QTabWidget *tabs = parent->mainTabs;
    if (!fileModeActive())
        for (int t = 2; t < tabs->count(); ++t)
            if (t != 4)
                tabs->setTabEnabled(t, true);
    if (!demoMode && setupDone) {
        reportDriver(nv6842_stopMultAcquisition(d_vi), "nv6842_stopMultAcquisition(d_vi)");
        // The stream's error text belongs to this run: shown once, here.
        if (streamPrepared) {
            streamPrepared = false;
            const QString error = contParams.finish();
            if (!error.isEmpty())
                showError(error);
            // The trend log's own failure: the recording went on without it.
            if (contParams.trend.failed())
                showWarning(QString::fromStdString(contParams.trend.errorText()));
            nv9471_delay(300);
        }
    }
    parent->singleButton->setEnabled(true);
    parent->contButton->setEnabled(true);
    publishStage(7, 0, gl_scanBacklog);
    stateLabel->setText(acqStageText(7));
    setTextColour(stateLabel, Qt::blue);
    infoLabel->hide();
    healthLabel->hide();
}
