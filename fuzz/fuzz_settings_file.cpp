// libFuzzer target: any bytes as a settings file, loaded into a plain copy
// of a two-card LXI panel as the card window loads one. Besides crashes it
// checks the promises the window relies on: a refused file says why and
// changes nothing; what is applied lies inside the session's ranges (item
// indices, thresholds within the range of their gain, a filter only on an
// enabled channel, Low Active only with Front Panel Input Trigger 3, no
// other source beside the PTP alarm); and saving the result and loading it
// again changes nothing and reports nothing. The first byte chooses: bit 0
// puts a valid [File] section before the rest and bits 2 to 4 a section
// header after it (so that the fuzzer reaches the rows soon), bit 1 gives
// the table its synchronisation row, bit 5 starts from a panel with every
// trigger source and every channel with its filter on, bit 6 picks the
// header among the analysis pages' sections, bit 7 builds the table without
// "-acperf" (the measurement page's rows absent).
#include "acqConfigRules.h"
#include "nv6842fp_channelRules.h"
#include "nv6842fp_daqRules.h"
#include "nv6842fp_settingsRows.h"
#include "settingsIni.h"
#include "settingsTable.h"

#include "analysis/figureAveraging.h"
#include "analysis/powerAveraging.h"
#include "analysis/magnitudeUnits.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// The controls, as plain values, with the rules the pages apply: the PTP
// alarm switches the other sources off, Low Active goes with Front Panel
// Input Trigger 3, a disabled channel's filter is off, the measurement page
// keeps its settings when given unusable ones.
struct PlainPanel : nv6842fp_setupPanel
{
    nv6842fp_panelSetup shown;

    PlainPanel()
    {
        shown.streaming.splitEvery = acqSplitEveryDefault;
        shown.spectrum.averagingCount = averagingMinCount;
        shown.averageBlocks = 1;
    }

    void readAcquisition(nv6842fp_acquisitionSetup &s) override { s = shown.acquisition; }
    void applyAcquisition(const nv6842fp_acquisitionSetup &s) override
    {
        shown.acquisition = s;
        for (bool &source : shown.acquisition.sources)
            source = source && !s.ptpAlarm;
        shown.acquisition.sources[3] = shown.acquisition.sources[3] && shown.acquisition.sources[2];
    }
    void readVref(int &i) override { i = shown.vref; }
    void applyVref(int i) override { shown.vref = i; }
    void readFft(nv6842fp_fftSetup &s) override { s = shown.fft; }
    void applyFft(const nv6842fp_fftSetup &s) override { shown.fft = s; }
    void readStreaming(nv6842fp_streamingSetup &s) override { s = shown.streaming; }
    void applyStreaming(const nv6842fp_streamingSetup &s) override { shown.streaming = s; }
    void readSync(int &i) override { i = shown.syncMethod; }
    void applySync(int i) override { shown.syncMethod = i; }
    void readSpectrum(nv6842fp_spectrumSetup &s) override { s = shown.spectrum; }
    void applySpectrum(const nv6842fp_spectrumSetup &s) override { shown.spectrum = s; }
    void readAnalysis(AnalysisSettings &s) override { s = shown.analysis; }
    void applyAnalysis(const AnalysisSettings &s) override
    {
        if (checkAnalysisSettings(s).empty())
            shown.analysis = s;
    }
    void readAverageBlocks(int &n) override { n = shown.averageBlocks; }
    void applyAverageBlocks(int n) override { shown.averageBlocks = n; }
    void readOutputs(int card, nv6842fp_outputSetup &s) override { s = shown.outputs[card]; }
    void applyOutputs(int card, const nv6842fp_outputSetup &s) override { shown.outputs[card] = s; }
    void readChannel(int chIdx, nv6842fp_channelSetup &s) override { s = shown.channels[chIdx]; }
    void applyChannel(int chIdx, const nv6842fp_channelSetup &s) override
    {
        shown.channels[chIdx] = s;
        shown.channels[chIdx].filter = s.filter && s.enabled;
    }
};

bool inside(int index, int count)
{
    return index >= 0 && index < count;
}

void checkShown(const nv6842fp_panelSetup &p, const nv6842fp_setupLimits &limits)
{
    const nv6842fp_acquisitionSetup &a = p.acquisition;
    check(inside(a.length, limits.lengths.size()) && inside(a.rate, limits.rates.size()), "length and rate listed");
    check(inside(a.detection, 2) && inside(p.vref, limits.vrefs.size()), "detection and reference listed");
    check(!a.sources[3] || a.sources[2], "Low Active only with Front Panel Input Trigger 3");
    for (int i = 0; i < 5; ++i)
        check(!(a.ptpAlarm && a.sources[i]), "no other source beside the PTP alarm");
    check(inside(p.fft.padding, nv6842fp_zeroPaddingItems().size()) && inside(p.fft.window, nv6842fp_fftWindowItems().size())
              && inside(p.fft.sineFit, nv6842fp_sineFitItems().size()),
          "FFT options listed");
    check(inside(p.streaming.format, acqConfigFormatCount()) && inside(p.streaming.refresh, acqConfigRefreshCount())
              && inside(p.syncMethod, 2),
          "streaming and synchronisation listed");
    check(p.streaming.splitEvery >= 1 && p.streaming.splitEvery <= acqSplitEveryMax && inside(p.streaming.splitUnit, 2),
          "file set within the dialog's range");
    check(inside(p.spectrum.averaging, averagingModeCount) && inside(p.spectrum.unit, spectrumUnitCount)
              && p.spectrum.averagingCount >= averagingMinCount && p.spectrum.averagingCount <= averagingMaxCount,
          "spectrum view within its controls' ranges");
    check(checkAnalysisSettings(p.analysis).empty() && p.averageBlocks >= 1 && p.averageBlocks <= figureAveragingMaxCount,
          "measurement settings usable");
    for (const nv6842fp_outputSetup &o : p.outputs)
        check(inside(o.trigger1, nv6842fp_outputTrigger1Items().size())
                  && inside(o.trigger2, nv6842fp_outputTrigger2Items().size()),
              "output triggers listed");
    for (const nv6842fp_channelSetup &c : p.channels) {
        check(inside(c.source, 2) && inside(c.gain, gainCount) && inside(c.triggerMode, 3) && inside(c.hysteresis, 2)
                  && inside(c.comparison, 2),
              "channel items listed");
        const double limit = nv6842fp::thresholdLimit(gainValArr[c.gain], limits.thresholdFactor);
        check(c.threshold1 >= -limit && c.threshold1 <= limit && c.threshold2 >= -limit && c.threshold2 <= limit,
              "thresholds within the range of their gain");
        check(!c.filter || c.enabled, "a filter only on an enabled channel");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nv6842fp_setupLimits limits;
    limits.cards = 2;
    limits.subtypes = QStringList{QStringLiteral("AA"), QStringLiteral("V1")};
    for (int length : nv6842fp_lengthTable())
        limits.lengths << length;
    limits.rates = nv6842fp_ratesInRange(1, 20000);
    limits.vrefs = {0.0, 4.5, 0.45, 0.045, 0.0045, -0.0045, -0.045, -0.45, -4.5};
    limits.thresholdFactor = 6;
    limits.lxi = true;
    if (size == 0)
        return 0;
    limits.acperf = !(data[0] & 128);
    limits.syncChoice = data[0] & 2;

    PlainPanel panel;
    panel.shown.outputs.resize(limits.cards);
    panel.shown.channels.resize(limits.cards * nv6842fp::channelsPerCard);
    if (data[0] & 32) {
        for (bool &source : panel.shown.acquisition.sources)
            source = true;
        for (nv6842fp_channelSetup &channel : panel.shown.channels)
            channel.enabled = channel.filter = true;
    }
    nv6842fp_panelSetup setup;
    settingsTable table(QLatin1String(nv6842fp_settingsProgram), nv6842fp_settingsFormat);
    nv6842fp_addSettingsRows(table, setup, limits, panel);

    const char *const sections[16] = {"",           "[Acquisition]\n", "[Trigger]\n", "[FFT]\n",
                                      "[Streaming]\n", "[Card 1]\n", "[Card 1 Channel 1]\n", "[Card 2 Channel 16]\n",
                                      "[Spectrum]\n", "[Measurements]\n", "[Spectrum]\n", "[Measurements]\n",
                                      "[Streaming]\n", "[Measurements]\n", "[Spectrum]\n", "[Measurements]\n"};
    QByteArray text;
    if (data[0] & 1)
        text = QByteArray("[File]\nProgram=Trellin 6842 Soft Front Panel\nFormat=1\n") + sections[((data[0] >> 2) & 7) | ((data[0] >> 3) & 8)];
    text += QByteArray(reinterpret_cast<const char *>(data) + 1, int(size) - 1);
    const settingsIniFile file = settingsParseIni(text);
    const settingsPlan plan = table.plan(file);
    check(file.error.isEmpty() || !plan.refused.isEmpty(), "a damaged file is refused");
    if (!plan.refused.isEmpty()) {
        check(plan.changes.isEmpty() && plan.problems.isEmpty(), "a refused file lists nothing");
        return 0;
    }
    for (const settingsChange &change : plan.changes)
        check(change.from != change.to, "a change changes");
    table.apply(plan);
    checkShown(panel.shown, limits);
    // What the summary promised is what the panel shows.
    for (int i = 0; i < 5; ++i)
        check(panel.shown.acquisition.sources[i] == setup.acquisition.sources[i], "trigger sources as summarised");
    for (int i = 0; i < setup.channels.size(); ++i)
        check(panel.shown.channels[i].filter == setup.channels[i].filter, "filters as summarised");
    if (limits.acperf)
        check(panel.shown.analysis == setup.analysis, "analysis settings as summarised");

    const settingsPlan again = table.plan(settingsParseIni(table.save(QStringLiteral("again"))));
    check(again.refused.isEmpty() && again.changes.isEmpty() && again.problems.isEmpty(),
          "what was saved loads back as it is");
    return 0;
}
