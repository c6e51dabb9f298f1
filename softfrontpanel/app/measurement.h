// The "Measurements" page (with "-acperf"): for the 16 channels of one card,
// the sine-fit figures and the spectral AC figures of the last block, and
// the table as comma-separated text on the clipboard or in a file (the same
// text as .csv, or JSON as sfpmeasure writes it).
#ifndef MEASUREMENT_H
#define MEASUREMENT_H

#include "channelMeasurement.h"

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

    // One flag for the whole program: a reported failure is not reported
    // again until a run gets past the constructions.
    static bool messageFlag;
    // True while a failure box waits for the operator: no second one opens.
    static bool boxOpen;
    // Channels x scans x padding above which a card is measured on the
    // thread pool (16 x 8192 at padding 10: some 40 ms at once on two cores).
    static long long poolPoints;

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

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitColumns();
    void measured();
    // Fills the table and label from a finished measurement of N scans at
    // freq, and applies the message rule.
    // fileBlock: the viewed file's block measured (from 0), -1 for live data.
    void show(CardMeasurement result, int N, double freq, quint64 requested, int fileBlock);
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
};

#endif
