// The "Waveforms" page: the time plot of the last block of every enabled
// channel with its legends, status row, symbol sizes and the block slider of
// offline viewing; it also holds the acquisition state and drives the engine
// (set-up and start, the refresh cycle, streaming to file, stopping).
#ifndef NV6842FP_WAVEFORM_H
#define NV6842FP_WAVEFORM_H

#include "acqState.h"
#include "contParams.h"
#include "recordingHealth.h"
#include "visa.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QPair>
#include <QVector>
#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QSlider;
class QTimer;
class QwtPlot;
class QwtPlotGrid;
class QwtPlotZoomer;
class axisConfig;
class chLabel;
class decimatedCurve;
class fittingLabel;
class myQwtPlotPicker;
class plotPictureBar;
struct pictureContent;
class nv6842fp_App;
class analysisRun;
class plot_voltage;
struct acqSettings;
struct spectrumInput;
struct spectrumResult;
struct spectrumViewState;
struct startMultInThd_params_t;

class nv6842fp_Waveform : public QWidget
{
    Q_OBJECT
public:
    explicit nv6842fp_Waveform(nv6842fp_App *parent);
    ~nv6842fp_Waveform() override;

    nv6842fp_App *const parent;
    const int demoMode;
    const ViSession d_vi;
    const int cardCount;
    const bool lxiCarrier;

    // The status row, left to right: the stage (stateLabel), an error
    // (errorLabel, red and bold, hidden when there is none), the file size
    // (infoLabel) and the recording health (healthLabel). Each label wraps
    // (the stage: cuts) a long text and shows it whole in its tool tip when
    // it does not fit, so the row never widens the window.
    QLabel *stateLabel = nullptr;
    fittingLabel *errorLabel = nullptr;
    QLabel *infoLabel = nullptr;
    fittingLabel *healthLabel = nullptr;
    QwtPlot *plot = nullptr;
    myQwtPlotPicker *picker = nullptr;
    QwtPlotZoomer *zoomer = nullptr;
    QwtPlotGrid *grid = nullptr;
    QVector<decimatedCurve *> curves; // index card * 16 + channel
    QVector<chLabel *> legends;       // same index
    QComboBox *symbolSize = nullptr;
    QSlider *blockSlider = nullptr;   // offline file mode: block number, 1-based
    QLabel *positionLabel = nullptr;
    QTimer *refreshTimer = nullptr;
    QComboBox *syncMethod = nullptr;  // exists once the synchronisation question was shown
    axisConfig *yAxisDlg = nullptr;
    axisConfig *xAxisDlg = nullptr;
    plotPictureBar *pictureBar = nullptr; // pictures of the time plot

    double yLower = -10.24, yUpper = 10.24;
    double unitOffset = 0.0, unitMultiplier = 1.0;
    double xLower = 0.0, xUpper = 1.0;
    bool setupDone = false;
    QPair<double, double> keptXRange;

    // Acquisition state.
    double freq = 0.0;
    int scans = 0;
    QVector<quint16> chanMask;         // per card
    std::unique_ptr<double[]> data;    // blockBufferValues doubles, channel after channel
    std::unique_ptr<double[]> times;   // blockBufferValues doubles, seconds per scan
    std::vector<double> fftWindow;     // scans values
    int fftWindowType = 0;             // the type fftWindow was made of
    // Blocks shown so far: a spectrum or measurement asked for again without
    // a new block (a legend click, another option) is not averaged twice.
    quint64 blockSerial = 0;
    int serialFileBlock = -1; // offline viewing: the file block blockSerial counts
    contParams_t contParams;

    // Shows why the acquisition, the stream or a start failed in the status
    // row; an empty text hides it. Cleared by the next start.
    void setStatusError(const QString &text);
    // The recording-health text after the file size (rates, backlog, disk
    // space); an empty text hides it. Hidden by the stop.
    void setRecordingHealth(const QString &text);

    // Enabled channels over all cards, as the last start counted them.
    int enabledChannels() const;
    // Offline viewing: the file block on display (from 0), -1 before the first.
    int fileBlockOnDisplay() const { return fileBlockShown; }
    // A display spectrum is being computed, or another waits to follow it.
    bool spectrumUnderWay() const { return spectrumBusy || spectrumPending; }
    // Started and not yet stopped: running, or waiting for a timed start.
    bool isAcquiring() const { return acquiring; }
    // A shown block as a picture's caption describes it, noted when the
    // block is shown (the run's settings may change before the next).
    struct shownBlockInfo {
        std::vector<uint16_t> masks;
        double rateHz = 0.0;
        int scans = 0;
        int64_t number = 0; // from 1; 0: none yet
        bool hasStamp = false;
        int32_t stampSeconds = 0, stampNanos = 0; // of the block's first scan
        QDateTime acquired; // live blocks only
    };

    // Lets the spectrum page's picture bar draw its page.
    void connectSpectrumPictures();
    // The pictures of the time plot and of the spectrum page as they are
    // drawn now, with the caption of the block each shows.
    pictureContent timePicture() const;
    pictureContent spectrumPicture() const;

    // Before the process ends: a stream, a block run or a waiting timed
    // start ends as the stop button ends it (the ring is written out and the
    // file closed), and a cancelled timed start has left the driver.
    void endBeforeExit();

signals:
    // A run began (startDAQ) or ended (stopDAQ); a waiting timed start runs.
    void acquiringChanged(bool acquiring);

public slots:
    void stopDAQ();
    void toggleChannels();
    void startDAQ();
    void breakSingle();
    void start();
    void startSingle();
    void startCont();
    void stopCont();
    void updatePlot();
    void updateFft();
    void timerSlot(bool incrementSlider);
    void timerSlot();
    void asSlot(bool asOn);
    void waveSlot();
    void sliderChanged(int value);
    void symbolSizeSlot();
    // Offline viewing: a new window, zero padding or sine fit applies to the
    // block on display at once, and to every later one.
    void fftOptionsChanged();
    // The spectrum page's controls: averaging restarts with the next block
    // (a new mode, count or "Restart"), the curves move to another unit, the
    // harmonic labels follow the box, the marked channel and the settings.
    void spectrumAveragingChanged();
    void restartSpectrumAveraging();
    void spectrumUnitChanged();
    void harmonicLabelsChanged();

public:
    // Connects the spectrum page's controls to the slots above.
    void connectSpectrumControls(plot_voltage *spectrum);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLayout *buildStatusRow();
    void showStorageProgress();
    void setLegendOverRange(const std::vector<uint16_t> &marks);
    QWidget *buildLegendFrame();
    QString cardHeader(int card, ViUInt16 intfType, ViUInt16 fcNumber);
    void askSyncMethodIfHostsDiffer();
    void openVoltageAxisDialog();
    void openTimeAxisDialog();
    static void setTextColour(QLabel *label, const QColor &colour);
    void setStage(int state, quint16 errors, const QString &errorText);
    void reportDriver(ViStatus status, const char *call);
    acqReporter driverReporter();
    acqReporter refreshReporter();
    bool storageMode() const;
    bool prepareAcquisition(acqSettings *settings);
    void refuseStart(const QString &warning);
    bool timedStart(nv6842_dataCallback callback, void *user, int callbackScans, qint64 startTime);
    bool prepareStreaming();
    void setTimeAxis(double lower, double upper);
    void showBlock();
    bool fetchBlock();
    bool markOverRange();
    bool readOfflineBlock();
    void viewFileStep(bool incrementSlider);
    void synthesiseDemoBlock();

    // A run begun by startDAQ() and not yet ended by stopDAQ(): a second stop
    // for the same run (an error stops it, then the frame's release of its
    // button asks again) finds nothing to do.
    bool acquiring = false;
    // contParams was prepared for this run; stopDAQ() finishes it and shows
    // its error text, once.
    bool streamPrepared = false;
    // The record of a timed start while its task runs (it lives in
    // timedStart()), else null.
    startMultInThd_params_t *timedStartParams = nullptr;
    // Block mode reads here first: only a complete block replaces data, so
    // the plot and every later redraw keep the last complete block.
    std::vector<double> blockRead;
    // A short block-mode read, shown in the stage row until a complete block.
    QString blockReadError;
    // Offline viewing: the file block on display (0-based), -1 before the
    // first of a run.
    int fileBlockShown = -1;

    // The block on display, noted when it is shown.
    shownBlockInfo blockShown;
    int64_t blocksShownInRun = 0; // block mode and demo waves: the count is the number
    void noteBlockShown(int64_t number, bool hasStamp = false, int32_t seconds = 0, int32_t nanos = 0);
    // What the spectrum on display was computed from and with.
    shownBlockInfo spectrumBlock;
    int spectrumWindowType = 0;
    int spectrumPadding = 1;

    // Spectra are computed on the analysis pool from a copy of the block; a
    // block that arrives meanwhile is computed once the running one has been
    // shown.
    // labelsOnly: no new spectra, only the harmonic labels of the block shown.
    void startSpectrum(bool labelsOnly = false);
    void spectrumReady();
    void makeFftWindow();
    // The averaging of a new spectrum (nv6842fp_Waveform_spectrumView.cpp):
    // true when the curves already hold this block's averages.
    bool prepareAveraging(spectrumInput &in, int windowType);
    bool prepareHarmonics(spectrumInput &in, spectrumResult &result);
    void showHarmonics(const spectrumResult &result);
    // dB added to curve g's values in the unit chosen, for a spectrum of
    // that block shape.
    double spectrumUnitOffset(int g, int blockScans, double rateHz, int windowType);
    spectrumViewState &spectrumState();
    std::shared_ptr<spectrumViewState> spectrumView;
    std::shared_ptr<analysisRun> spectrumRun;
    std::shared_ptr<spectrumResult> spectrumComputed; // filled by spectrumRun
    QFutureWatcher<void> spectrumWatcher;
    bool spectrumBusy = false; // started and not yet shown
    bool spectrumPending = false;

    // Streaming to a file: the health line, sampled once a second.
    recordingHealth health;
    QElapsedTimer healthClock;

    // Streaming: after a FIFO overflow the card calls back no more, so a
    // silence of two blocks and a second makes the refresh ask the stage.
    int32_t lastBlockCount = -1;
    QElapsedTimer blockClock;
    bool streamSilent();
};

#endif
