// The "Measurements" page (with "-acperf"): for the 16 channels of one card,
// the sine-fit figures and the spectral AC figures of the last block, and
// the table as comma-separated text on the clipboard.
#ifndef MEASUREMENT_H
#define MEASUREMENT_H

#include "channelMeasurement.h"

#include <QFutureWatcher>
#include <QList>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTableView;
class analysisRun;
class nv6842fp_App;
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

public slots:
    void recalculate();
    void copyToClipboard();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitColumns();
    void measured();
    // Fills the table and label from a finished measurement of N scans at
    // freq, and applies the message rule.
    void show(CardMeasurement result, int N, double freq, quint64 requested);

    QFutureWatcher<void> watcher;
    std::shared_ptr<analysisRun> run;            // on the analysis pool
    std::shared_ptr<measurementJob> running;     // its job, until shown
    bool pending = false;
    quint64 generation = 0;      // requests so far
    quint64 shownGeneration = 0; // the request whose figures are shown
};

#endif
