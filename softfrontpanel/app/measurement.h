// The "Measurements" page (with "-acperf"): for the 16 channels of one card,
// the sine-fit figures and the spectral AC figures of the last block, and
// the table as comma-separated text on the clipboard.
#ifndef MEASUREMENT_H
#define MEASUREMENT_H

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTableView;
class nv6842fp_App;

class measurement : public QWidget
{
    Q_OBJECT
public:
    explicit measurement(nv6842fp_App *mainWindow);

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

public slots:
    void recalculate();
    void copyToClipboard();

protected:
    void resizeEvent(QResizeEvent *event) override;
};

#endif
