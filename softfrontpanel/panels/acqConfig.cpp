#include "acqConfig.h"

#include "nv6842fp_panelHelpers.h"
#include "acqConfigRules.h"
#include "nv9471fp_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>


acqConfig::acqConfig(QWidget *parent) : QDialog(parent), mainWindow(parent)
{
    const double scale = logicalDpiX() / 96.0;

    fileNameEdit = new QLineEdit(this);
    fileNameEdit->setMinimumWidth(int(300 * scale));
    setHelp(fileNameEdit,
            QStringLiteral("When the path is empty, the data is acquired but not stored to the "
                           "hard drive."));
    browseButton = new QPushButton(QStringLiteral("Browse"), this);

    formatCombo = new QComboBox(this);
    for (int i = 0; i < acqConfigFormatCount(); ++i)
        formatCombo->addItem(QString::fromLatin1(acqConfigFormatAt(i).text),
                             acqConfigFormatAt(i).bytesPerValue);
    setHelp(formatCombo,
            QStringLiteral("<html>Binary storage allows acquisition at higher data rates. The "
                           "text output (CSV format) is very slow and may only be used in case "
                           "of small amount of channels and low data rates.</html>"));
    timestampsBox = new QCheckBox(QStringLiteral("Store Timestamps"), this);

    splitBox = new QCheckBox(QStringLiteral("Start a new file every"), this);
    splitValue = new QSpinBox(this);
    splitValue->setRange(1, acqSplitEveryMax);
    splitUnitCombo = new QComboBox(this);
    for (int unit : {acqSplitMegabytes, acqSplitMinutes})
        splitUnitCombo->addItem(acqConfigSplitUnitText(unit));
    const QString splitHelp = QStringLiteral(
        "Stores the recording as a set of files NAME_0001, NAME_0002 ..., split at whole blocks, "
        "each a complete stored file.");
    for (QWidget *w : std::initializer_list<QWidget *>{splitBox, splitValue, splitUnitCombo})
        setHelp(w, splitHelp);
    trendBox = new QCheckBox(QStringLiteral("Write a measurement trend log"), this);
    setHelp(trendBox, QStringLiteral("Writes NAME.trend.csv beside the data: for every block and channel the "
                                     "mean, RMS, minimum, maximum, over range and the measurement figures."));

    refreshLabel = new QLabel(QStringLiteral("Plot Refresh Interval"), this);
    refreshCombo = new QComboBox(this);
    for (int i = 0; i < acqConfigRefreshCount(); ++i)
        refreshCombo->addItem(QString::fromLatin1(acqConfigRefreshAt(i).text),
                              acqConfigRefreshAt(i).milliseconds);
    refreshCombo->setCurrentIndex(acqConfigDefaultRefreshIndex);
    setHelp(refreshCombo, QStringLiteral("The minimum time between plot refreshes. It may be "
                                         "longer if the data rate is small."));

    rateLabel = new QLabel(this);
    startButton = new QPushButton(QStringLiteral("Start"), this);
    startButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(fileNameEdit);
    fileRow->addWidget(browseButton);
    auto *formatRow = new QHBoxLayout;
    formatRow->addWidget(new QLabel(QStringLiteral("Data Format"), this));
    formatRow->addWidget(formatCombo);
    formatRow->addWidget(timestampsBox);
    auto *splitRow = new QHBoxLayout;
    splitRow->addWidget(splitBox);
    splitRow->addWidget(splitValue);
    splitRow->addWidget(splitUnitCombo);
    splitRow->addStretch();
    splitRow->addWidget(trendBox);
    auto *refreshRow = new QHBoxLayout;
    refreshRow->addWidget(refreshLabel);
    refreshRow->addWidget(refreshCombo);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(rateLabel);
    buttonRow->addSpacing(int(20 * scale));
    buttonRow->addStretch();
    buttonRow->addWidget(startButton);
    buttonRow->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(formatRow);
    layout->addLayout(splitRow);
    layout->addLayout(refreshRow);
    layout->addLayout(buttonRow);

    setWindowTitle(QStringLiteral("Continuous Acquisition Configuration"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    setModal(true);

    // Before the connections: restoring the format must not rename the stored path.
    const acqStorageSettings settings = acqConfigReadSettings();
    fileNameEdit->setText(settings.fileName);
    formatCombo->setCurrentIndex(settings.format);
    timestampsBox->setChecked(settings.timestamps);
    splitBox->setChecked(settings.splitFiles);
    splitValue->setValue(settings.splitEvery);
    splitUnitCombo->setCurrentIndex(settings.splitUnit);
    trendBox->setChecked(settings.trendLog);
    splitValue->setEnabled(settings.splitFiles);
    splitUnitCombo->setEnabled(settings.splitFiles);
    connect(splitBox, &QCheckBox::toggled, splitValue, &QWidget::setEnabled);
    connect(splitBox, &QCheckBox::toggled, splitUnitCombo, &QWidget::setEnabled);

    connect(startButton, &QPushButton::clicked, this, &acqConfig::acceptMaybe);
    connect(cancelButton, &QPushButton::clicked, this, &acqConfig::reject);
    // The index is no rate: the rate is kept, only the bytes per value change.
    connect(formatCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        setDataRate();
        checkPath();
    });
    connect(browseButton, &QPushButton::clicked, this, &acqConfig::browseSlot);

    setDataRate();
}

void acqConfig::saveSettings() const
{
    acqStorageSettings settings;
    settings.fileName = fileNameEdit->text();
    settings.format = formatCombo->currentIndex();
    settings.timestamps = timestampsBox->isChecked();
    settings.splitFiles = splitBox->isChecked();
    settings.splitEvery = splitValue->value();
    settings.splitUnit = splitUnitCombo->currentIndex();
    settings.trendLog = trendBox->isChecked();
    acqConfigWriteSettings(settings);
}

void acqConfig::setDataRate(int samplesPerSecond)
{
    if (samplesPerSecond >= 0)
        this->samplesPerSecond = samplesPerSecond;
    const qint64 bytes =
        acqConfigBytesPerSecond(formatCombo->currentData().toInt(), this->samplesPerSecond);
    rateLabel->setText(acqConfigRateLabel(formatCombo->currentIndex(), bytes));
}

bool acqConfig::checkPath(bool moreChecks)
{
    const int format = formatCombo->currentIndex();
    const acqPathCheck check = acqConfigCheckPath(QDir::fromNativeSeparators(fileNameEdit->text()), format,
                                                  splitBox->isChecked(), trendBox->isChecked());
    if (check.empty)
        return true;
    if (check.directoryMissing && moreChecks) {
        nv6842fp_cardBox(this, QMessageBox::Critical,
                QStringLiteral("Directory: \"%1\" does not exist.")
                    .arg(QDir::toNativeSeparators(check.directory)));
        return false;
    }
    if (check.extensionChanged) {
        {
            const QSignalBlocker blocker(fileNameEdit);
            fileNameEdit->setText(QDir::toNativeSeparators(check.path));
        }
        if (moreChecks)
            nv6842fp_cardBox(this, QMessageBox::Warning,
                    QStringLiteral("File extension changed to '.%1'.")
                        .arg(acqConfigSuffix(format)));
    }
    if (check.exists && moreChecks)
        return nv6842fp_cardBox(this, QMessageBox::Question,
                       QStringLiteral("File already exists, overwrite?"),
                       QMessageBox::Yes | QMessageBox::No, QStringLiteral("Trellin 6842 SFP"),
                       QMessageBox::No) // Enter keeps the existing file
                   .standard
               == QMessageBox::Yes;
    return true;
}

void acqConfig::acceptMaybe()
{
    if (checkPath(true))
        accept();
    else
        reject();
}

void acqConfig::browseSlot()
{
    const QString current = fileNameEdit->text();
    QString filter = acqConfigBrowseFilter(QDir::fromNativeSeparators(current));
    const QString chosen =
        chooseOutputFile(tr("Set Output File Name"), current, acqConfigBrowseFilters(), &filter);
    if (chosen.isEmpty())
        return;
    const int format = acqConfigFormatForChosenFile(chosen, formatCombo->currentIndex());
    if (format != formatCombo->currentIndex())
        formatCombo->setCurrentIndex(format);
    fileNameEdit->setText(QDir::toNativeSeparators(chosen));
}

QString acqConfig::chooseOutputFile(const QString &caption, const QString &startPath,
                                    const QString &filters, QString *selectedFilter)
{
    return QFileDialog::getSaveFileName(this, caption, startPath, filters, selectedFilter);
}
