// Opening the 6842 card window in tests: without hardware, or on simulated
// cards typed into the address dialog; and the simulator's journal of calls.
#ifndef TEST_APP_WINDOW_H
#define TEST_APP_WINDOW_H

#include "messagerecorder.h"
#include "nv6842_fc.h"
#include "datafile_writer.h"
#include "nv6842fp_App.h"
#include "nv6842fp_Waveform.h"
#include "measurement.h"
#include "nv6842fp_globals.h"
#include "nv9471fp_fcEnterAddress.h"
#include "nv9471fp_fcEnterAddressFc.h"
#include "test_connect_modal.h"
#include "trellin_sim.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <QList>
#include <QPair>
#include <QPushButton>
#include <QSlider>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <vector>

using Window = std::unique_ptr<nv6842fp_App>;

// Without hardware, as offline file mode starts it.
inline Window demoWindow(int cards)
{
    return std::make_unique<nv6842fp_App>(&gl_fc, cards, true);
}

// Real cards typed into the address dialog: (descriptor, FC number) rows.
inline Window realWindow(MessageRecorder &recorder, const QList<QPair<QString, int>> &cards)
{
    recorder.answerCustomText("Enter Address");
    auto watch = whenModal<nv9471fp_fcEnterAddress>([cards](nv9471fp_fcEnterAddress *d) {
        d->countBox->setCurrentIndex(cards.size() - 1);
        for (int i = 0; i < cards.size(); ++i) {
            d->rows[i]->descriptorBox->setEditText(cards[i].first);
            d->rows[i]->fcNumberBox->setCurrentIndex(cards[i].second);
        }
        d->okButton->click();
    });
    return std::make_unique<nv6842fp_App>(&gl_fc, 2, false);
}

// Demo mode chosen in the connection dialog, with the given card count.
inline Window demoModeWindow(MessageRecorder &recorder, int cards)
{
    recorder.answerCustomText("Run In Demo Mode");
    return std::make_unique<nv6842fp_App>(&gl_fc, cards, false);
}

// The only card of a system with one resource, found by "Auto Find" (the
// search then leaves the global pool at one thread).
inline Window oneResourceWindow(MessageRecorder &recorder)
{
    recorder.answerCustomText("Auto Find");
    return std::make_unique<nv6842fp_App>(&gl_fc, 1, false);
}

// The default system's VXI carrier: FC 1 and FC 2.
inline Window twoCards(MessageRecorder &recorder)
{
    return realWindow(recorder, {{"VXI0::2::INSTR", 1}, {"VXI0::2::INSTR", 2}});
}

inline QStringList journal()
{
    static char text[1 << 18];
    trellinSimJournal(text, sizeof text);
    trellinSimJournalClear();
    return QString::fromLatin1(text).split('\n', Qt::SkipEmptyParts);
}

// Waits until the panel has stopped (the stage shows "End").
inline bool waitForEnd(nv6842fp_App *w, int timeoutMs = 10000)
{
    return QTest::qWaitFor([w] { return w->waveform->stateLabel->text().startsWith("End")
                                        && !w->waveform->refreshTimer->isActive(); },
                           timeoutMs);
}

// Shows the window with its frame covering the given screen area.
inline void showOnScreen(QWidget *w, const QRect &screen)
{
    w->show();
    w->resize(screen.size() - (w->frameGeometry().size() - w->size()));
    w->move(screen.topLeft()); // the frame's corner
}

// Hands every pending layout request on, up to the window.
inline void settleLayouts()
{
    for (int level = 0; level < 16; ++level)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// Selects the item carrying value; fails the test when there is none.
inline void selectData(QComboBox *combo, const QVariant &value)
{
    const int item = combo->findData(value);
    QVERIFY2(item >= 0, qPrintable(value.toString()));
    combo->setCurrentIndex(item);
}

// Writes a stored file of `blocks` blocks: sample(block, ordinal, scan) volts
// for the enabled channels of the card masks, in file order. Returns the path,
// empty when the file cannot be written.
template <class F>
QString writeStoredFile(const QString &path, double rate, int scans, std::vector<uint16_t> masks,
                        int blocks, F sample)
{
    StoredLayout layout;
    layout.rateHz = rate;
    layout.scans = scans;
    layout.fcCount = int(masks.size());
    layout.channelMask = masks.data();
    const int channels = enabledChannelCount(layout);
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file || !writeBinaryHeader(file, layout)) {
        if (file)
            std::fclose(file);
        return QString();
    }
    std::vector<double> block(size_t(channels) * size_t(scans));
    for (int b = 0; b < blocks; ++b) {
        for (int o = 0; o < channels; ++o)
            for (int s = 0; s < scans; ++s)
                block[size_t(o) * size_t(scans) + size_t(s)] = sample(b, o, s);
        writeBinaryBlock(file, block.data(), size_t(channels), size_t(scans), nullptr, nullptr);
    }
    std::fclose(file);
    return path;
}

// Waits until the display spectrum and the measurement of the block shown
// are on the pages.
inline bool waitForAnalysis(nv6842fp_App *w, int timeoutMs = 10000)
{
    return QTest::qWaitFor([w] { return !w->waveform->spectrumUnderWay() && !w->measPanel->busy(); }, timeoutMs);
}

// The offline viewer shows block `block` (1-based) of its file and its
// analysis: moved to by the slider, or played by a single shot when the
// slider is there already (which then moves on and shows the next block too).
inline bool showFileBlock(nv6842fp_App *w, int block)
{
    if (w->waveform->blockSlider->value() == block) {
        w->singleButton->click();
        if (!waitForEnd(w))
            return false;
    } else {
        w->waveform->blockSlider->setValue(block);
    }
    return waitForAnalysis(w);
}

// The offline viewer of a stored file, preset as start-up presets it.
inline Window openStoredFile(const QString &path)
{
    StoredFileInfo = StoredFileInfo_t{};
    if (path.isEmpty() || readStoredFileHeader(QFile::encodeName(path).constData(), &StoredFileInfo) != 0)
        return nullptr;
    Window w = demoWindow(StoredFileInfo.fcCount);
    w->presetFromStoredFile(StoredFileInfo);
    return w;
}

#endif
