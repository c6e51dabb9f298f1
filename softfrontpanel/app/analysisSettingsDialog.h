// "Analysis Settings" of the measurement page: the rules behind the spectral
// figures (analysisSettings.h) as an engineer may tune them. OK takes the
// entries only when they make usable settings; otherwise a warning names
// the setting and its range and the dialog stays open. "Defaults" puts in
// the panel's own rules.
#ifndef ANALYSISSETTINGSDIALOG_H
#define ANALYSISSETTINGSDIALOG_H

#include "analysis/analysisSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class analysisSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit analysisSettingsDialog(QWidget *parent = nullptr);

    void setSettings(const AnalysisSettings &settings);
    // The settings of the last accepted OK.
    AnalysisSettings settings() const { return accepted; }

    QSpinBox *harmonics;        // 1 shows "all below Nyquist"
    QCheckBox *aliased;
    QSpinBox *harmonicBins;
    QSpinBox *dcBins;
    QSpinBox *fundamentalBins;
    QLineEdit *bandLow;         // Hz
    QLineEdit *bandHigh;        // Hz, empty or "Nyquist" for the Nyquist frequency
    QComboBox *fitStart;
    QPushButton *defaultsButton;
    QPushButton *okButton;
    QPushButton *cancelButton;

public slots:
    void checkValuesAndAccept();

private:
    AnalysisSettings accepted;
};

#endif
