#include "fftViewControls.h"

#include "plotHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>

using sfpPlots::setHelp;

bool SpectrumViewSettings::operator==(const SpectrumViewSettings &other) const
{
    return averaging == other.averaging && averagingCount == other.averagingCount && unit == other.unit
           && harmonics == other.harmonics;
}

fftViewControls::fftViewControls(QWidget *parent) : QWidget(parent)
{
    averagingCombo = new QComboBox(this);
    for (int mode = 0; mode < averagingModeCount; ++mode)
        averagingCombo->addItem(QString::fromStdString(averagingModeName(AveragingMode(mode))), mode);
    setHelp(averagingCombo, QStringLiteral("Averages the power of the spectra over blocks: the mean of the "
                                           "first N blocks (linear), a running mean that weighs newer blocks "
                                           "more (exponential), or the largest value per bin (peak hold)."));
    countBox = new QSpinBox(this);
    countBox->setRange(averagingMinCount, averagingMaxCount);
    countBox->setValue(SpectrumViewSettings().averagingCount);
    setHelp(countBox, QStringLiteral("N: the blocks averaged before a linear average holds, and the depth of "
                                     "an exponential average."));
    restartButton = new QPushButton(QStringLiteral("Restart"), this);
    setHelp(restartButton, QStringLiteral("Starts the averages again with the next block."));
    countLabel = new QLabel(this);
    setHelp(countLabel, QStringLiteral("Blocks in the averages shown."));
    unitCombo = new QComboBox(this);
    for (int unit = 0; unit < spectrumUnitCount; ++unit)
        unitCombo->addItem(QString::fromStdString(spectrumUnitName(SpectrumUnit(unit))), unit);
    setHelp(unitCombo, QStringLiteral("Unit of the magnitudes: dB re 1 V peak, dB re a full-scale sine of the "
                                      "channel's range, dB re 1 V rms, or the noise density in dB re 1 V/\u221aHz."));
    harmonicsBox = new QCheckBox(QStringLiteral("Harmonics"), this);
    setHelp(harmonicsBox, QStringLiteral("Labels the fundamental, its harmonics and the largest other spur of the "
                                         "channel of the last placed marker, else of the first channel shown."));

    // Two short rows rather than one long one: the page stays narrow
    // enough for a small screen.
    auto *grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Averaging:"), this), 0, 0);
    grid->addWidget(averagingCombo, 0, 1);
    grid->addWidget(countBox, 0, 2);
    grid->addWidget(restartButton, 0, 3);
    grid->addWidget(countLabel, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("Unit:"), this), 1, 0);
    grid->addWidget(unitCombo, 1, 1);
    grid->addWidget(harmonicsBox, 1, 2, 1, 3);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addLayout(grid);
    row->addStretch();

    connect(averagingCombo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &fftViewControls::modeOrCountChanged);
    connect(countBox, qOverload<int>(&QSpinBox::valueChanged), this, &fftViewControls::modeOrCountChanged);
    connect(restartButton, &QPushButton::clicked, this, [this] {
        showCountReached(0);
        emit restartClicked();
    });
    connect(unitCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &fftViewControls::unitChanged);
    connect(harmonicsBox, &QCheckBox::toggled, this, &fftViewControls::harmonicsToggled);
    modeOrCountChanged();
}

SpectrumViewSettings fftViewControls::settings() const
{
    SpectrumViewSettings s;
    s.averaging = AveragingMode(averagingCombo->currentData().toInt());
    s.averagingCount = countBox->value();
    s.unit = SpectrumUnit(unitCombo->currentData().toInt());
    s.harmonics = harmonicsBox->isChecked();
    return s;
}

void fftViewControls::setSettings(const SpectrumViewSettings &s)
{
    // The count first: a new mode then restarts once, with the new count.
    {
        const QSignalBlocker quiet(countBox);
        countBox->setValue(std::clamp(s.averagingCount, averagingMinCount, averagingMaxCount));
    }
    const int mode = averagingCombo->findData(int(s.averaging));
    if (mode >= 0 && mode != averagingCombo->currentIndex())
        averagingCombo->setCurrentIndex(mode);
    else
        modeOrCountChanged();
    const int unit = unitCombo->findData(int(s.unit));
    if (unit >= 0)
        unitCombo->setCurrentIndex(unit);
    harmonicsBox->setChecked(s.harmonics);
}

void fftViewControls::modeOrCountChanged()
{
    const AveragingMode mode = settings().averaging;
    // Peak hold holds every block since the restart: it has no count.
    countBox->setEnabled(mode == AveragingMode::linear || mode == AveragingMode::exponential);
    restartButton->setEnabled(mode != AveragingMode::off);
    reached = 0;
    refreshCountText();
    emit averagingChanged();
}

void fftViewControls::showCountReached(int blocks)
{
    reached = blocks;
    refreshCountText();
}

void fftViewControls::refreshCountText()
{
    const SpectrumViewSettings s = settings();
    countLabel->setText(QString::fromStdString(averagingCountText(s.averaging, reached, s.averagingCount)));
}

QString fftViewControls::inForceText() const
{
    const SpectrumViewSettings s = settings();
    QStringList parts;
    const QString count = QString::fromStdString(averagingCountText(s.averaging, reached, s.averagingCount));
    switch (s.averaging) {
    case AveragingMode::linear:
        parts << QStringLiteral("Linear average, %1 blocks").arg(count);
        break;
    case AveragingMode::exponential:
        parts << QStringLiteral("Exponential average, %1 blocks").arg(count);
        break;
    case AveragingMode::peakHold:
        parts << QStringLiteral("Peak hold over %1 blocks").arg(count);
        break;
    case AveragingMode::off:
        break;
    }
    if (s.unit != SpectrumUnit::dBPeak)
        parts << QStringLiteral("unit ") + QString::fromStdString(spectrumUnitSuffix(s.unit));
    return parts.join(QStringLiteral("; "));
}
