#include "analysisSettingsDialog.h"

#include "analysis/plainNumber.h"
#include "nv6842fp_panelHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const char nyquistText[] = "Nyquist";

QSpinBox *binsBox(int minimum, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(minimum, analysisMaxSpanBins);
    box->setSuffix(QStringLiteral(" bins"));
    return box;
}

// A frequency as typed: a plain number, or one in the desktop's notation.
bool readHz(const QString &typed, double &value)
{
    const QString text = typed.trimmed();
    if (parsePlainNumber(text.toStdString(), value))
        return true;
    bool ok = false;
    value = QLocale().toDouble(text, &ok);
    return ok && std::isfinite(value);
}

QString hzText(double value)
{
    return QString::fromStdString(plainShortest(value));
}

} // namespace

analysisSettingsDialog::analysisSettingsDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Analysis Settings"));
    setModal(true);

    harmonics = new QSpinBox(this);
    harmonics->setRange(1, analysisMaxHarmonics);
    harmonics->setSpecialValueText(QStringLiteral("all below Nyquist (at most 30)"));
    setHelp(harmonics, QStringLiteral("Highest harmonic order counted in THD and the details, 2 to 30."));
    aliased = new QCheckBox(QStringLiteral("Count aliased harmonics"), this);
    setHelp(aliased, QStringLiteral("Harmonics above the Nyquist frequency count too, folded back into the band."));
    harmonicBins = binsBox(1, this);
    setHelp(harmonicBins, QStringLiteral("Half-span of each harmonic, 1 to 100 bins of fs/N."));
    dcBins = binsBox(0, this);
    setHelp(dcBins, QStringLiteral("Bins 0 up to this one belong to DC and count in no figure, 0 to 100 bins of fs/N."));
    fundamentalBins = binsBox(1, this);
    setHelp(fundamentalBins, QStringLiteral("Half-span of the fundamental, 1 to 100 bins of fs/N."));
    bandLow = new QLineEdit(this);
    bandHigh = new QLineEdit(this);
    const QString bandHelp = QStringLiteral("Noise, spurs and harmonics count only inside the analysis band (Hz); "
                                            "the upper end may be \"%1\".").arg(QLatin1String(nyquistText));
    setHelp(bandLow, bandHelp);
    setHelp(bandHigh, bandHelp);
    fitStart = new QComboBox(this);
    fitStart->addItem(QStringLiteral("Largest bin"), int(FitStart::largestBin));
    fitStart->addItem(QStringLiteral("Interpolated from the spectrum"), int(FitStart::interpolated));
    setHelp(fitStart, QStringLiteral("Frequency the sine fit starts from. Interpolated, the 3-parameter fit reads "
                                     "a tone between two bins right."));

    auto *band = new QHBoxLayout;
    band->addWidget(bandLow);
    band->addWidget(new QLabel(QStringLiteral("to"), this));
    band->addWidget(bandHigh);
    band->addWidget(new QLabel(QStringLiteral("Hz"), this));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Harmonics up to:"), harmonics);
    form->addRow(QString(), aliased);
    form->addRow(QStringLiteral("Harmonic half-span:"), harmonicBins);
    form->addRow(QStringLiteral("DC exclusion:"), dcBins);
    form->addRow(QStringLiteral("Fundamental half-span:"), fundamentalBins);
    form->addRow(QStringLiteral("Analysis band:"), band);
    form->addRow(QStringLiteral("Fit start:"), fitStart);

    defaultsButton = new QPushButton(QStringLiteral("Defaults"), this);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(defaultsButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &analysisSettingsDialog::checkValuesAndAccept);
    connect(cancelButton, &QPushButton::clicked, this, &analysisSettingsDialog::reject);
    connect(defaultsButton, &QPushButton::clicked, this, [this] {
        const AnalysisSettings kept = accepted;
        setSettings(AnalysisSettings());
        accepted = kept; // until OK
    });
    setSettings(AnalysisSettings());
}

void analysisSettingsDialog::setSettings(const AnalysisSettings &s)
{
    accepted = s;
    harmonics->setValue(s.harmonics == 0 ? harmonics->minimum() : s.harmonics);
    aliased->setChecked(s.aliasedHarmonics);
    harmonicBins->setValue(s.harmonicBins);
    dcBins->setValue(s.dcBins);
    fundamentalBins->setValue(s.fundamentalBins);
    bandLow->setText(hzText(s.bandLowHz));
    bandHigh->setText(std::isinf(s.bandHighHz) ? QLatin1String(nyquistText) : hzText(s.bandHighHz));
    fitStart->setCurrentIndex(std::max(0, fitStart->findData(int(s.fitStart))));
}

void analysisSettingsDialog::checkValuesAndAccept()
{
    AnalysisSettings s;
    s.harmonics = harmonics->value() == harmonics->minimum() ? 0 : harmonics->value();
    s.aliasedHarmonics = aliased->isChecked();
    s.harmonicBins = harmonicBins->value();
    s.dcBins = dcBins->value();
    s.fundamentalBins = fundamentalBins->value();
    s.fitStart = FitStart(fitStart->currentData().toInt());
    const QString high = bandHigh->text().trimmed();
    const bool highIsNyquist = high.isEmpty() || high.compare(QLatin1String(nyquistText), Qt::CaseInsensitive) == 0;
    if (highIsNyquist)
        s.bandHighHz = std::numeric_limits<double>::infinity();
    const QString low = bandLow->text().trimmed();
    bool bandRead = low.isEmpty() || readHz(low, s.bandLowHz);
    if (!highIsNyquist)
        bandRead = readHz(high, s.bandHighHz) && bandRead;
    if (!bandRead) {
        nv6842fp_cardBox(this, QMessageBox::Warning,
                         QStringLiteral("The analysis band must be given in Hz, from 0 Hz up to the Nyquist "
                                        "frequency (the upper end may be \"%1\").")
                             .arg(QLatin1String(nyquistText)));
        return;
    }
    const std::string refused = checkAnalysisSettings(s);
    if (!refused.empty()) {
        nv6842fp_cardBox(this, QMessageBox::Warning, QString::fromStdString(refused));
        return;
    }
    accepted = s;
    accept();
}
