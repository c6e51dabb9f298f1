#include "measurement.h"

#include "analysisPool.h"
#include "analysisSettingsDialog.h"
#include "analysisSettingsStore.h"
#include "channelFullScale.h"
#include "channelMeasurement.h"
#include "leakageWarning.h"
#include "measurementDetails.h"
#include "measurementJson.h"
#include "measurementOptions.h"
#include "measurementText.h"
#include "nv6842fp_App.h"
#include "nv6842fp_DAQ.h"
#include "nv6842fp_Waveform.h"
#include "nv6842fp_channelRules.h"
#include "nv6842fp_fileNames.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_panelHelpers.h"
#include "wholeFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <vector>

bool measurement::messageFlag = false;
bool measurement::boxOpen = false;

measurement::measurement(nv6842fp_App *mainWindow)
    : QWidget(mainWindow), parent(mainWindow), s(logicalDpiX() / 96.0)
{
    cardCombo = new QComboBox;
    for (int k = 0; k < parent->cards(); ++k)
        cardCombo->addItem(QStringLiteral("Function Card #%1").arg(k + 1));

    model = new QStandardItemModel(measurementChannelCount, measurementColumnCount, this);
    for (int c = 0; c < measurementColumnCount; ++c)
        model->setHorizontalHeaderItem(c, new QStandardItem(QString::fromLatin1(measurementColumnHeaders[c])));
    for (int r = 0; r < measurementChannelCount; ++r) {
        QList<QStandardItem *> row;
        for (int c = 0; c < measurementColumnCount; ++c) {
            auto *item = new QStandardItem;
            item->setTextAlignment(Qt::AlignCenter);
            model->setItem(r, c, item);
            row << item;
        }
        rows << row;
    }
    table = new QTableView;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setModel(model);

    label = new QLabel;
    label->setWordWrap(true);
    warningLabel = new QLabel;
    warningLabel->setWordWrap(true);
    warningLabel->hide();
    copyButton = new QPushButton(QStringLiteral("Copy to Clipboard"));
    // Demo waves are not worth copying; a viewed file's figures are.
    copyButton->setEnabled(!parent->demoMode || fileModeActive());
    saveButton = new QPushButton(QStringLiteral("Save Table\u2026"));
    saveButton->setEnabled(copyButton->isEnabled());
    setHelp(saveButton, QStringLiteral("Saves the table of the card shown to a file: a name ending in .csv gets "
                                       "the text Copy to Clipboard copies, one ending in .json the figures as "
                                       "sfpmeasure --format json prints them."));
    details = new measurementDetails;
    details->copyButton->setEnabled(copyButton->isEnabled());
    options = new measurementOptions;
    settingsDialog = new analysisSettingsDialog(this);
    settings = nv6842fp_readAnalysisSettings(&storedSettingsProblem);
    settingsDialog->setSettings(settings);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(label, 10);
    bottom->addStretch();
    bottom->addWidget(cardCombo);
    bottom->addWidget(copyButton);
    bottom->addWidget(saveButton);
    // The operator shares the height between the two tables.
    auto *tables = new QSplitter(Qt::Vertical);
    tables->addWidget(table);
    tables->addWidget(details);
    tables->setStretchFactor(0, 1);
    tables->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tables, 1);
    layout->addWidget(options);
    layout->addLayout(bottom);
    // A line of its own below the label, as wide as the page.
    layout->addWidget(warningLabel);

    connect(cardCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, &measurement::recalculate);
    connect(copyButton, &QPushButton::clicked, this, &measurement::copyToClipboard);
    connect(saveButton, &QPushButton::clicked, this, &measurement::saveTable);
    connect(&watcher, &QFutureWatcherBase::finished, this, &measurement::measured);
    connect(options, &measurementOptions::settingsClicked, this, &measurement::editAnalysisSettings);
    connect(options, &measurementOptions::averageCountChanged, this, &measurement::setAverageBlocks);
    // Open, the details take part of the tables' height; closed, they take
    // a line and cost nothing.
    connect(details, &QGroupBox::toggled, this, [this, tables](bool open) {
        if (open) {
            const int height = tables->height();
            tables->setSizes({height * 3 / 5, height - height * 3 / 5});
        }
        recalculate();
    });
    showWarning(QString());
}

void measurement::resizeEvent(QResizeEvent *event)
{
    fitColumns();
    QWidget::resizeEvent(event);
}

// Each column gets its share of the page, (width - 80 s) / 10, or more where
// its header or a figure needs more: no digit is ever elided, and the table
// scrolls sideways instead.
void measurement::fitColumns()
{
    const int share = int((width() - 80 * s) / 10);
    const QAbstractItemView *view = table; // public there: every row's widest cell
    for (int c = 0; c < measurementColumnCount; ++c) {
        const int content = std::max(view->sizeHintForColumn(c), table->horizontalHeader()->sectionSizeHint(c));
        table->setColumnWidth(c, std::max(share, content));
    }
}

// A measurement run on the pool: its own copy of the card's samples and of
// the time axis, since the next block may replace the panel's meanwhile.
struct measurementJob
{
    std::vector<double> samples;
    std::vector<double> times;
    CardMeasurementInput input;
    CardMeasurement result;
    measurement::request asked;
};

long long measurement::poolPoints = 16LL * 8192 * 10;

measurement::~measurement()
{
    // The job owns its samples: one that does not end soon is left to
    // finish on its own rather than hold up closing.
    if (run && !run->waitFor(analysisClosingWaitMs))
        run->abandon();
}

bool measurement::busy() const
{
    // Until its figures are shown, not only until the pool is done.
    return running || pending;
}

void measurement::recalculate()
{
    const nv6842fp_DAQ *daq = parent->daq;
    const nv6842fp_Waveform *wave = parent->waveform;
    if (!daq || !wave || !daq->acperf)
        return;
    const int N = wave->scans;
    if (parent->demoMode && N == 0) {
        lastFreq = wave->freq;
        lastScans = N;
        return;
    }

    const int card = std::max(0, cardCombo->currentIndex());
    CardMeasurementInput in;
    in.scans = N;
    in.times = wave->times.get();
    in.rateHz = wave->freq;
    in.padding = daq->zeroPaddingCombo->currentData().toInt();
    in.iterations = daq->sineFitCombo ? daq->sineFitCombo->currentData().toInt() : 0;
    in.threads = 0; // one per core: sixteen fits at a large padding take a while
    in.settings = settings;
    in.details = details->isChecked();
    for (int k = 0; k < measurementChannelCount; ++k)
        in.fullScaleVolts[k] = nv6842fp_channelFullScale(*parent, card * measurementChannelCount + k);
    const std::vector<uint16_t> masks(wave->chanMask.begin(), wave->chanMask.end());
    if (card < int(masks.size()))
        locateCardSamples(wave->data.get(), N, masks.data(), card, in);
    ++generation;
    request asked;
    asked.scans = N;
    asked.freq = wave->freq;
    asked.generation = generation;
    asked.block = wave->blockSerial;
    asked.card = card;
    asked.padding = in.padding;
    asked.iterations = in.iterations;
    asked.fileBlock = wave->fileBlockOnDisplay();

    int channels = 0;
    for (int k = 0; k < measurementChannelCount; ++k)
        channels += in.samples[k] ? 1 : 0;
    if (N < 10 || (long long)channels * N * std::max(1, in.padding) <= poolPoints) {
        show(measureCard(in), asked);
        return;
    }
    // Large transforms go to the analysis pool so that the window keeps responding;
    // blocks that arrive meanwhile are coalesced into one more run.
    if (running) {
        pending = true;
        return;
    }
    auto job = std::make_shared<measurementJob>();
    job->input = in;
    job->asked = asked;
    job->times.assign(in.times, in.times + N);
    job->input.times = job->times.data();
    job->samples.resize(size_t(channels) * size_t(N));
    size_t o = 0;
    for (int k = 0; k < measurementChannelCount; ++k)
        if (in.samples[k]) {
            std::copy(in.samples[k], in.samples[k] + N, job->samples.begin() + std::ptrdiff_t(o));
            job->input.samples[k] = job->samples.data() + o;
            o += size_t(N);
        }
    running = job;
    // One task; measureCard spreads the channels over threads of its own,
    // never over the pool it runs on.
    run = analysisRun::start(1, [job](int) { job->result = measureCard(job->input); });
    watcher.setFuture(run->future());
}

void measurement::measured()
{
    // The run's own check hands its results over (it holds once finished
    // is signalled): the signal itself passes only through Qt's locks.
    if (!run || !run->complete())
        return;
    const std::shared_ptr<measurementJob> job = std::move(running);
    // A later request computed at once has already shown newer figures.
    if (job && job->asked.generation > shownGeneration)
        show(std::move(job->result), job->asked);
    if (pending) {
        pending = false;
        recalculate();
    }
}

void measurement::show(CardMeasurement result, const request &asked)
{
    const int N = asked.scans;
    shownGeneration = asked.generation;
    shownFileBlock = asked.fileBlock;
    lastFreq = asked.freq;
    lastScans = N;
    const MeasurementMessage message = settleCardMeasurement(result, messageFlag);
    QString failure;
    if (!result.error.empty())
        failure = QString::fromStdString(result.error);
    else if (result.fitFailed)
        failure = QString::fromLatin1(measurementFitFailedText);

    average(result, asked);
    writeCells(result);
    fitColumns();
    details->showMeasurement(result, N, asked.freq);
    options->setBlock(N, asked.freq);
    // The specified label keeps its text; the warning is a line of its own.
    showWarning(QString::fromStdString(leakageWarningText(largestLeakageBins(result))));
    label->setText(
        QStringLiteral("The measurements are for the last <b>%1</b> scans (the plot view). The input "
                       "signal should be a precise sine wave and be at least 3 periods in length. The "
                       "signal frequency should be a multiple of the FFT resolution. If it is not, then it "
                       "is recommended to enable FFT zero padding. Alternatively, you can also increase "
                       "the frequency resolution and improve measurement accuracy by changing the plot "
                       "length, or choose the 4-parameter sine fitting algorithm. The 7-Term "
                       "Blackman-Harris window is always used for measurements. The user window "
                       "selection only applies to plotting. The phase measurement is relative to the "
                       "first enabled channel.")
            .arg(N));
    // Every failing run says so on the page, boxed or not.
    if (!failure.isEmpty())
        label->setText(QStringLiteral("<b>%1</b><br>").arg(failure.toHtmlEscaped()) + label->text());

    // The box is modal: while it waits for the operator, the blocks of a
    // repetitive run go on arriving and recalculating. They open no second
    // box on top of it; the label shows their failures.
    if (message == MeasurementMessage::None || boxOpen)
        return;
    boxOpen = true;
    nv6842fp_cardBox(this, QMessageBox::Critical, failure, QMessageBox::Ok,
                     QString::fromLatin1(measurementMessageTitle));
    boxOpen = false;
}

bool measurement::viewingFile() const
{
    return parent->demoMode && fileModeActive();
}

std::vector<ClipboardRow> measurement::tableRows() const
{
    const int card = std::max(0, cardCombo->currentIndex());
    const quint16 mask = card < parent->waveform->chanMask.size() ? parent->waveform->chanMask[card] : 0;
    std::vector<ClipboardRow> lines;
    for (int k = 0; k < measurementChannelCount; ++k) {
        if (!((mask >> k) & 1))
            continue;
        ClipboardRow row;
        row.channel = k + 1;
        const nv6842fp_chCfg *panel = parent->chPanels.value(card * 16 + k);
        // A viewed file holds no gain or filter: those columns show "-".
        if (panel && !viewingFile()) {
            row.gainIndex = panel->gain->currentIndex();
            row.filterOn = panel->filter->isChecked();
        }
        for (int c = 0; c < measurementColumnCount; ++c) {
            const QString text = rows[k][c]->text();
            if (text == QLatin1String(missingFigureText))
                setFigureMissing(row.figures, c);
            else
                setFigureColumn(row.figures, c, text.toDouble());
        }
        lines.push_back(row);
    }
    return lines;
}

std::string measurement::tableText() const
{
    return measurementClipboardText(lastScans, parent->waveform->freq, tableRows());
}

std::string measurement::tableJson() const
{
    const nv6842fp_DAQ *daq = parent->daq;
    MeasurementJsonRun run;
    if (viewingFile())
        run.file = QFile::decodeName(StoredFileInfo.path).toStdString();
    run.card = std::max(0, cardCombo->currentIndex()) + 1;
    run.scans = lastScans;
    run.rateHz = parent->waveform->freq;
    run.padding = daq->zeroPaddingCombo->currentData().toInt();
    run.iterations = daq->sineFitCombo ? daq->sineFitCombo->currentData().toInt() : 0;
    MeasurementJsonTable table;
    if (viewingFile() && shownFileBlock >= 0)
        table.block = shownFileBlock + 1;
    for (const ClipboardRow &row : tableRows()) {
        MeasurementJsonChannel channel;
        channel.channel = row.channel;
        if (row.gainIndex)
            channel.gain = gainValArr[std::clamp(*row.gainIndex, 0, gainCount - 1)];
        channel.filter = row.filterOn;
        channel.figures = shownFigures[row.channel - 1];
        table.channels.push_back(channel);
    }
    return measurementJsonText(run, {table});
}

void measurement::saveTable()
{
    if (parent->demoMode && !viewingFile())
        return;
    nv6842fp_fileQuestion question;
    question.parent = this;
    question.caption = QStringLiteral("Save Table");
    question.filters = QStringLiteral("CSV, the clipboard's text (*.csv);;JSON (*.json)");
    question.kind = QStringLiteral("Table");
    question.suggestedName = QStringLiteral("measurements.csv");
    const QString path = nv6842fp_askFileName(question);
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("json")) {
        nv6842fp_cardBox(this, QMessageBox::Warning,
                         QStringLiteral("The table was not saved: \"%1\" ends in neither .csv nor .json, which "
                                        "choose the text of Copy to Clipboard or JSON.")
                             .arg(QDir::toNativeSeparators(path)));
        return;
    }
    const std::string text = suffix == QLatin1String("csv") ? tableText() : tableJson();
    QString reason;
    if (!writeWholeFile(path, QByteArray::fromStdString(text), &reason))
        nv6842fp_cardBox(this, QMessageBox::Critical,
                         QStringLiteral("Cannot save the table to \"%1\":\n%2.")
                             .arg(QDir::toNativeSeparators(path), reason));
}

void measurement::copyToClipboard()
{
    if (parent->demoMode && !viewingFile())
        return;
    QApplication::clipboard()->setText(QString::fromStdString(tableText()));
}
