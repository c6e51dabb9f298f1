#include "measurementOptions.h"

#include "analysis/coherentFrequency.h"
#include "analysis/figureAveraging.h"
#include "analysis/plainNumber.h"
#include "fittingLabel.h"
#include "nv6842fp_panelHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

measurementOptions::measurementOptions(QWidget *parent) : QWidget(parent)
{
    settingsButton = new QPushButton(QStringLiteral("Analysis Settings..."), this);
    setHelp(settingsButton, QStringLiteral("Sets the harmonics counted, the spans, the analysis band and the fit's "
                                           "start frequency of the figures."));
    averageBox = new QSpinBox(this);
    averageBox->setRange(1, figureAveragingMaxCount);
    averageBox->setPrefix(QStringLiteral("Average over "));
    averageBox->setSuffix(QStringLiteral(" block"));
    setHelp(averageBox, QStringLiteral("Shows the mean of each figure over the last N blocks measured; its tool tip "
                                       "gives the standard deviation."));
    countLabel = new QLabel(this);
    countLabel->hide();
    wantedEdit = new QLineEdit(this);
    wantedEdit->setPlaceholderText(QStringLiteral("Hz"));
    wantedEdit->setMaximumWidth(110);
    setHelp(wantedEdit, QStringLiteral("A wanted input frequency in Hz: the nearest coherent frequency (a whole, odd "
                                       "number of cycles J in the block) is shown beside it."));
    // The answer wraps (or is cut, whole in its tool tip) rather than
    // widen the window: the options share one row, so that the table keeps
    // its height on a small screen.
    coherentLabel = new fittingLabel(2, this);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(settingsButton);
    row->addWidget(averageBox);
    row->addWidget(countLabel);
    row->addSpacing(fontMetrics().height());
    row->addWidget(new QLabel(QStringLiteral("Coherent frequency near:"), this));
    row->addWidget(wantedEdit);
    row->addWidget(coherentLabel, 1);

    connect(settingsButton, &QPushButton::clicked, this, &measurementOptions::settingsClicked);
    connect(averageBox, qOverload<int>(&QSpinBox::valueChanged), this, [this](int count) {
        showCountSuffix();
        emit averageCountChanged(count);
    });
    connect(wantedEdit, &QLineEdit::textChanged, this, &measurementOptions::showCoherent);
}

void measurementOptions::setAverageCount(int count)
{
    const QSignalBlocker quiet(averageBox);
    averageBox->setValue(count);
    showCountSuffix();
}

void measurementOptions::showCountSuffix()
{
    averageBox->setSuffix(averageBox->value() == 1 ? QStringLiteral(" block") : QStringLiteral(" blocks"));
}

void measurementOptions::showCountReached(int reached, int count)
{
    countLabel->setVisible(count > 1);
    countLabel->setText(QStringLiteral("%1 of %2").arg(reached).arg(count));
}

void measurementOptions::setBlock(int scans, double rateHz)
{
    blockScans = scans;
    blockRate = rateHz;
    showCoherent();
}

void measurementOptions::showCoherent()
{
    const QString text = wantedEdit->text().trimmed();
    double wanted = 0.0;
    bool read = parsePlainNumber(text.toStdString(), wanted);
    if (!read)
        wanted = QLocale().toDouble(text, &read);
    if (text.isEmpty()) {
        coherentLabel->clear();
    } else if (!read || !(wanted >= 0.0)) {
        coherentLabel->setText(QStringLiteral("Type a frequency in Hz."));
    } else {
        const CoherentFrequency c = coherentFrequency(wanted, blockRate, blockScans);
        coherentLabel->setText(
            c.cycles ? QStringLiteral("%1 Hz (J = %2 cycles in %3 scans)")
                           .arg(QString::fromStdString(plainShortest(c.frequencyHz)))
                           .arg(c.cycles)
                           .arg(blockScans)
                     : QStringLiteral("The block is too short for a coherent frequency."));
    }
}
