// The measurement page's row of options: "Analysis Settings..." (the dialog
// of analysisSettingsDialog.h), "Average over N blocks" with the count
// reached, and the coherent-frequency helper: the operator types a wanted
// input frequency and reads the nearest frequency of J whole cycles in the
// block (coherentFrequency.h), so that a generator can be set for a
// measurement without leakage.
#ifndef MEASUREMENTOPTIONS_H
#define MEASUREMENTOPTIONS_H

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class measurementOptions : public QWidget
{
    Q_OBJECT
public:
    explicit measurementOptions(QWidget *parent = nullptr);

    // Shows N without asking for it.
    void setAverageCount(int count);
    // The blocks averaged so far and the count asked for (hidden for 1).
    void showCountReached(int reached, int count);
    // The block the coherent frequency is for: scans at rateHz.
    void setBlock(int scans, double rateHz);

    QPushButton *settingsButton;
    QSpinBox *averageBox;      // N, 1 ... 1000
    QLabel *countLabel;
    QLineEdit *wantedEdit;     // Hz
    QLabel *coherentLabel;

signals:
    void settingsClicked();
    void averageCountChanged(int count);

private:
    void showCoherent();
    void showCountSuffix();

    int blockScans = 0;
    double blockRate = 0.0;
};

#endif
