// The measurement page's figures beyond one block: the analysis settings in
// force and their marks on the cells, the mean of the figures over the last
// N blocks with their standard deviation, and the warning line.
#include "measurement.h"

#include "analysisSettingsDialog.h"
#include "analysisSettingsStore.h"
#include "measurementDetails.h"
#include "measurementOptions.h"
#include "measurementText.h"
#include "nv6842fp_App.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_panelHelpers.h"

#include <QLabel>
#include <QSpinBox>
#include <QStandardItem>

#include <cmath>

namespace {

// Averages hold the figures of one way of measuring: another card, channel
// set, block shape, padding, fit or settings starts them again.
bool sameFigures(const measurement::request &a, uint16_t maskA, const AnalysisSettings &settingsA,
                 const measurement::request &b, uint16_t maskB, const AnalysisSettings &settingsB)
{
    return a.card == b.card && maskA == maskB && a.scans == b.scans && a.freq == b.freq && a.padding == b.padding
           && a.iterations == b.iterations && settingsA == settingsB;
}

} // namespace

void measurement::average(const CardMeasurement &result, const request &asked)
{
    if (averager.count() > 1) {
        if (!averagedAny || !sameFigures(asked, result.mask, result.settings, averagedAs, averagedMask, averagedSettings)) {
            averager.restart();
            averagedAny = false;
        }
        // Asked again for the same block (another option shown, a new
        // count): it is in the averages already.
        if (!averagedAny || asked.block != averagedAs.block)
            averager.add(result);
        averagedAs = asked;
        averagedMask = result.mask;
        averagedSettings = result.settings;
        averagedAny = true;
    }
    options->showCountReached(averager.countReached(), averager.count());
}

void measurement::writeCells(const CardMeasurement &result)
{
    const bool averaged = averager.count() > 1;
    for (int k = 0; k < measurementChannelCount; ++k)
        shownFigures[k] = result.figures[k];
    for (int k = 0; k < measurementChannelCount; ++k)
        for (int c = 0; c < measurementColumnCount; ++c) {
            QStandardItem *cell = rows[k][c];
            QString text = QString::fromLatin1(missingFigureText), spread;
            if (result.enabled(k) && averaged) {
                const FigureStatistics figure = averager.statistics(k, c);
                // A table file holds what the cells show: the means.
                if (std::isnan(figure.mean))
                    setFigureMissing(shownFigures[k], c);
                else
                    setFigureColumn(shownFigures[k], c, figure.mean);
                if (!std::isnan(figure.mean))
                    text = QString::number(figure.mean, 'f', measurementColumnDecimals[c]);
                spread = QStringLiteral("Mean of %1 blocks").arg(figure.count);
                if (std::isfinite(figure.standardDeviation))
                    spread += QStringLiteral(", standard deviation %1").arg(figure.standardDeviation, 0, 'g', 6);
            } else if (result.enabled(k) && !figureMissing(result.figures[k], c)) {
                text = QString::number(figureColumn(result.figures[k], c), 'f', measurementColumnDecimals[c]);
            }
            cell->setText(text);
            nv6842fp_markSettings(cell, result.settings, result.enabled(k) && figureFollowsSettings(c, result.settings),
                                  spread);
        }
}

void measurement::showWarning(const QString &leakage)
{
    QStringList lines;
    if (!leakage.isEmpty())
        lines << leakage;
    if (!storedSettingsProblem.isEmpty())
        lines << QStringLiteral("The stored analysis settings are not used: %1 The defaults apply until new "
                                "settings are chosen.")
                     .arg(storedSettingsProblem.toHtmlEscaped());
    warningLabel->setText(lines.join(QStringLiteral("<br>")));
    warningLabel->setVisible(!lines.isEmpty());
}

void measurement::setAnalysisSettings(const AnalysisSettings &wanted)
{
    const std::string refused = checkAnalysisSettings(wanted);
    if (!refused.empty()) {
        nv6842fp_cardBox(this, QMessageBox::Warning, QString::fromStdString(refused));
        return;
    }
    settings = wanted;
    storedSettingsProblem.clear();
    settingsDialog->setSettings(settings);
    nv6842fp_writeAnalysisSettings(settings);
    showWarning(QString());
    recalculate();
    // The spectrum's harmonic labels count the harmonics the same way.
    if (parent->waveform)
        parent->waveform->harmonicLabelsChanged();
}

void measurement::editAnalysisSettings()
{
    settingsDialog->setSettings(settings);
    if (settingsDialog->exec() == QDialog::Accepted)
        setAnalysisSettings(settingsDialog->settings());
}

void measurement::setAverageBlocks(int blocks)
{
    options->setAverageCount(blocks);
    if (options->averageBox->value() == averager.count())
        return;
    averager.setCount(options->averageBox->value());
    // The block on display is the first of the new averages.
    averagedAny = false;
    recalculate();
}
