// The row of the spectrum page that steers what the curves show beyond one
// block's magnitudes: averaging ("Averaging:" Off / Linear / Exponential /
// Peak hold, the count N, "Restart" and the count reached, "12 of 64"), the
// unit of the magnitudes, and the "Harmonics" labels. The widgets hold the
// settings; the averaging itself (powerAveraging.h) and the unit offsets
// (magnitudeUnits.h) are the waveform panel's, which reads settings() for
// every block and reports back with showCountReached().
#ifndef FFTVIEWCONTROLS_H
#define FFTVIEWCONTROLS_H

#include "analysis/powerAveraging.h"
#include "analysis/magnitudeUnits.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// Everything the row shows, as a settings file would keep it. The defaults
// are the page as it always was: no averaging, dB re 1 V peak, no labels.
struct SpectrumViewSettings
{
    AveragingMode averaging = AveragingMode::off;
    int averagingCount = 16; // averagingMinCount ... averagingMaxCount
    SpectrumUnit unit = SpectrumUnit::dBPeak;
    bool harmonics = false;

    bool operator==(const SpectrumViewSettings &other) const;
    bool operator!=(const SpectrumViewSettings &other) const { return !(*this == other); }
};

class fftViewControls : public QWidget
{
    Q_OBJECT
public:
    explicit fftViewControls(QWidget *parent = nullptr);

    SpectrumViewSettings settings() const;
    // Puts the settings into the controls (the count clamped into its
    // range); each control that changes emits its signal below.
    void setSettings(const SpectrumViewSettings &settings);

    // The blocks the shown averages hold (SpectrumAverager::countReached).
    void showCountReached(int reached);
    int countReached() const { return reached; }

    // The averaging and unit in force, for a caption: "" for the defaults,
    // else for example "Linear average, 12 of 64 blocks; unit dBFS".
    QString inForceText() const;

    QComboBox *averagingCombo;
    QSpinBox *countBox;
    QPushButton *restartButton;
    QLabel *countLabel;
    QComboBox *unitCombo;
    QCheckBox *harmonicsBox;

signals:
    // A new mode or count: the averages start again.
    void averagingChanged();
    void restartClicked();
    void unitChanged();
    void harmonicsToggled(bool on);

private:
    void modeOrCountChanged();
    void refreshCountText();

    int reached = 0;
};

#endif
