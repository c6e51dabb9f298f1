// The "Measurements" page (with "-acperf"): for the 16 channels of one card,
// the sine-fit figures and the spectral AC figures of the last block, and
// the table as comma-separated text on the clipboard or in a file (the same
// text as .csv, or JSON as sfpmeasure writes it). Below it the harmonic
// and spur details (measurementDetails.h) and a row of options
// (measurementOptions.h): the analysis settings, kept with QSettings
// (analysisSettingsStore.h), the mean of the figures over the last N blocks,
// and the coherent-frequency helper. A tone off the FFT grid under the
// 3-parameter fit gets a bold warning on a line below the label.
#ifndef MEASUREMENT_H
#define MEASUREMENT_H

#include "channelMeasurement.h"
#include "figureAveraging.h"

#include <QFutureWatcher>
#include <QList>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTableView;
class analysisRun;
class analysisSettingsDialog;
class measurementDetails;
class measurementOptions;
class nv6842fp_App;
struct ClipboardRow;
struct measurementJob;

class measurement : public QWidget
{
    Q_OBJECT
public:
    explicit measurement(nv6842fp_App *mainWindow);
    ~measurement() override;

    nv6842fp_App *const parent;
    const double s; // logical DPI / 96
    QComboBox *cardCombo = nullptr;
    QTableView *table = nullptr;
    QStandardItemModel *model = nullptr;
    QList<QList<QStandardItem *>> rows; // 16 rows of 10 cells
    QLabel *label = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *saveButton = nullptr; // "Save Table…"
    int lastScans = 0;
    double lastFreq = 0.0;
    QLabel *warningLabel = nullptr; // below label: a tone off the grid, stored settings not used
    measurementDetails *details = nullptr;
    measurementOptions *options = nullptr;
    analysisSettingsDialog *settingsDialog = nullptr;

    // The analysis settings in force, as a settings file keeps them.
    // Setting them (refused with a warning naming the range when unusable)
    // updates the dialog, stores them and measures the block shown again.
    AnalysisSettings analysisSettings() const { return settings; }
    void setAnalysisSettings(const AnalysisSettings &settings);
    // "Average over N blocks": 1 (every block alone, the default) ... 1000.
    int averageBlocks() const { return averager.count(); }
    void setAverageBlocks(int blocks);

    // One flag for the whole program: a reported failure is not reported
    // again until a run gets past the constructions.
    static bool messageFlag;
    // True while a failure box waits for the operator: no second one opens.
    static bool boxOpen;
    // Channels x scans x padding above which a card is measured on the
    // thread pool (16 x 8192 at padding 10: some 40 ms at once on two cores).
    static long long poolPoints;

    // What a measurement was asked for with, beyond its input (a job on the
    // pool carries it).
    struct request
    {
        int scans = 0;
        double freq = 0.0;
        quint64 generation = 0;
        quint64 block = 0; // the waveform panel's block serial
        int card = 0;
        int padding = 1;
        int iterations = 0;
        int fileBlock = -1; // the viewed file's block measured (from 0), -1 for live data
    };

    // A measurement runs on the pool (until its figures are shown), or
    // another waits to follow it.
    bool busy() const;

    // The table of the card shown: the clipboard's text, and JSON with the
    // figures as computed (the cells round them), the viewed file and block.
    std::string tableText() const;
    std::string tableJson() const;

public slots:
    void recalculate();
    void copyToClipboard();
    // Asks for a file and writes the table to it, by its extension: .csv
    // the clipboard's text, .json tableJson().
    void saveTable();
    // Opens the analysis settings dialog; OK applies its settings.
    void editAnalysisSettings();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitColumns();
    void measured();
    // Fills the table and label from a finished measurement, and applies
    // the message rule.
    void show(CardMeasurement result, const request &asked);
    // Folds the figures into the averages (once per block; anything else
    // that changes the figures starts them again).
    void average(const CardMeasurement &result, const request &asked);
    void writeCells(const CardMeasurement &result);
    // The line below the label: the leakage warning (rich text, may be
    // empty) and why the stored settings are not used.
    void showWarning(const QString &leakage);
    // A viewed file holds no gain or filter; demo waves are not worth copying.
    bool viewingFile() const;
    std::vector<ClipboardRow> tableRows() const;

    QFutureWatcher<void> watcher;
    std::shared_ptr<analysisRun> run;            // on the analysis pool
    std::shared_ptr<measurementJob> running;     // its job, until shown
    bool pending = false;
    quint64 generation = 0;      // requests so far
    quint64 shownGeneration = 0; // the request whose figures are shown
    ChannelFigures shownFigures[measurementChannelCount]; // as the cells show them, unrounded
    int shownFileBlock = -1;

    AnalysisSettings settings;
    QString storedSettingsProblem; // why the stored settings are not used
    FigureAverager averager;
    request averagedAs;            // what the averages hold
    uint16_t averagedMask = 0;
    AnalysisSettings averagedSettings;
    bool averagedAny = false;      // a block was folded since they started
};

#endif
