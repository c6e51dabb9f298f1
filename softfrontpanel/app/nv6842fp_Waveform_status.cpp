// The status row of the waveform panel (stage, error, file size, recording
// health) and the over-range marks of the legends. The frame's layout keeps
// the window at least as wide as its contents want to be, so every label of
// the row wraps or cuts a long text instead of asking for its width.
#include "nv6842fp_Waveform.h"

#include "acqState.h"
#include "acqTexts.h"
#include "chLabel.h"
#include "fittingLabel.h"

#include <QHBoxLayout>

QLayout *nv6842fp_Waveform::buildStatusRow()
{
    QFont bold = font();
    bold.setBold(true);
    stateLabel = new fittingLabel(1);
    stateLabel->setText(QStringLiteral("Idle"));
    stateLabel->setFont(bold);
    stateLabel->setAlignment(Qt::AlignCenter);
    const QString stageHelp = QStringLiteral("Shows the current stage of the Data Acquisition process");
    stateLabel->setToolTip(stageHelp);
    stateLabel->setWhatsThis(stageHelp);
    // Two lines at most for the others: the plot keeps its height.
    errorLabel = new fittingLabel(2);
    errorLabel->setFont(bold);
    setTextColour(errorLabel, Qt::red);
    errorLabel->hide();
    infoLabel = new fittingLabel(2);
    infoLabel->hide();
    healthLabel = new fittingLabel(2);
    healthLabel->hide();

    // The stage, a short text, keeps its width (alone, it fills the row); an
    // error, the longest text, gets the most of what is left.
    auto *row = new QHBoxLayout;
    row->setSpacing(fontMetrics().height());
    row->addWidget(stateLabel, 0);
    row->addWidget(errorLabel, 3);
    row->addWidget(infoLabel, 2);
    row->addWidget(healthLabel, 2);
    return row;
}

void nv6842fp_Waveform::setStatusError(const QString &text)
{
    errorLabel->setText(text);
    errorLabel->setVisible(!text.isEmpty());
}

void nv6842fp_Waveform::setRecordingHealth(const QString &text)
{
    healthLabel->setText(text);
    healthLabel->setVisible(!text.isEmpty());
}

// Storage mode, every refresh (also while the page is not in front): the file
// size and backlog with the recording's health once a second, or, once
// streaming ended by an error, the error and what the file kept. A trend log
// that stopped is said in the error part; the recording goes on.
void nv6842fp_Waveform::showStorageProgress()
{
    if (!contParams.failed()) {
        infoLabel->setText(acqStorageInfoText(bytesWritten, gl_scanBacklog));
        setTextColour(infoLabel, acqBacklogHigh(gl_scanBacklog) ? QColor(255, 128, 0) : QColor(Qt::black));
        if (contParams.storing
            && health.sample(healthClock.elapsed(), bytesWritten, contRingBacklog(contParams),
                             contParams.writer.freeBytes))
            setRecordingHealth(health.text());
        if (contParams.trend.failed())
            setStatusError(QString::fromStdString(contParams.trend.errorText()));
        return;
    }
    setStatusError(contParams.errorText());
    setRecordingHealth(QString());
    if (contParams.storing) {
        infoLabel->setText(acqStoringStoppedText(contParams.blocksStored, bytesWritten));
        setTextColour(infoLabel, Qt::black);
    }
}

// marks[j] bit i: channel i of card j is over range; channels of cards
// without an entry are in range.
void nv6842fp_Waveform::setLegendOverRange(const std::vector<uint16_t> &marks)
{
    for (chLabel *legend : qAsConst(legends)) {
        const int card = legend->channelIndex() / 16;
        const int channel = legend->channelIndex() % 16;
        legend->setOverRange(card < int(marks.size()) && ((marks[size_t(card)] >> channel) & 1));
    }
}
