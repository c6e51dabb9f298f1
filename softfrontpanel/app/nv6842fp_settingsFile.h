// "Save Settings…" and "Load Settings…" of the acquisition page: the card
// window's whole configuration (every card's channel panels and output
// triggers, the acquisition page with its triggers, reference and FFT
// options, the streaming settings with the file set and trend log, the
// synchronisation method, the spectrum page's averaging, unit and labels,
// and the measurement page's analysis settings and averages) in a readable
// settings file of the operator's choice.
//
// A load reads and checks the file, shows what would change and what cannot
// be applied, and changes the controls only when the operator answers Yes:
// then each changed channel panel is sent as "Apply to all" sends it and a
// changed voltage reference is set, while output triggers, triggers and
// timing reach the cards at the next start, as always. Nothing is restored
// at start-up.
//
// The rows are in logic/nv6842fp_settingsRows.h, widget-free so that the
// fuzzer loads them into a plain panel; this class is their panel: a page
// with settings of its own gets a read and an apply here and its rows
// there. buildTable() may add rows that need the widgets themselves.
#ifndef NV6842FP_SETTINGSFILE_H
#define NV6842FP_SETTINGSFILE_H

#include "nv6842fp_settingsRows.h"

#include <QObject>

class nv6842fp_App;

class nv6842fp_settingsFile : public QObject, private nv6842fp_setupPanel
{
    Q_OBJECT
public:
    // Connects the acquisition page's two buttons; a child of the window.
    explicit nv6842fp_settingsFile(nv6842fp_App *window);

    // Ask for the file, then save or load it; every failure is told in a box.
    void save();
    void load();

    // The summary lists at most this many lines of changes (and as many of
    // what is not applied); the box's details hold them all.
    static constexpr int summaryLines = 15;

private:
    void buildTable(settingsTable &table, nv6842fp_panelSetup &setup);
    nv6842fp_setupLimits limits();
    void saveTo(const QString &path);
    void loadFrom(const QString &path);

    void readAcquisition(nv6842fp_acquisitionSetup &setup) override;
    void applyAcquisition(const nv6842fp_acquisitionSetup &setup) override;
    void readVref(int &index) override;
    void applyVref(int index) override;
    void readFft(nv6842fp_fftSetup &setup) override;
    void applyFft(const nv6842fp_fftSetup &setup) override;
    void readStreaming(nv6842fp_streamingSetup &setup) override;
    void applyStreaming(const nv6842fp_streamingSetup &setup) override;
    void readSync(int &index) override;
    void applySync(int index) override;
    void readSpectrum(nv6842fp_spectrumSetup &setup) override;
    void applySpectrum(const nv6842fp_spectrumSetup &setup) override;
    void readAnalysis(AnalysisSettings &settings) override;
    void applyAnalysis(const AnalysisSettings &settings) override;
    void readAverageBlocks(int &blocks) override;
    void applyAverageBlocks(int blocks) override;
    void readOutputs(int card, nv6842fp_outputSetup &setup) override;
    void applyOutputs(int card, const nv6842fp_outputSetup &setup) override;
    void readChannel(int chIdx, nv6842fp_channelSetup &setup) override;
    void applyChannel(int chIdx, const nv6842fp_channelSetup &setup) override;

    nv6842fp_App *const window;
};

#endif
