// The streaming settings dialog on the offscreen platform: texts, tables and
// defaults, the settings it starts from, the data-rate label, the path checks
// with their boxes, Start and Cancel, and the browse choice through a stand-in
// for the save-file dialog.
#include "acqConfig.h"
#include "messagerecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString boxTitle = "Trellin 6842 SFP";

// Answers the save-file dialog with a set name and records how it was asked.
class BrowsingDialog : public acqConfig
{
public:
    using acqConfig::acqConfig;
    QString answer;
    QString caption, startPath, filters, preselected;
    int asked = 0;

protected:
    QString chooseOutputFile(const QString &c, const QString &start, const QString &f,
                             QString *selected) override
    {
        ++asked;
        caption = c;
        startPath = start;
        filters = f;
        preselected = selected ? *selected : QString();
        return answer;
    }
};

void writeStoredSettings(const QVariant &fileName, const QVariant &format, const QVariant &stamps)
{
    QSettings own("Norvane Ltd.", "Trellin 6842 Soft Front Panel");
    own.remove("DataStorage");
    if (fileName.isValid())
        own.setValue("DataStorage/FileName", fileName);
    if (format.isValid())
        own.setValue("DataStorage/Format", format);
    if (stamps.isValid())
        own.setValue("DataStorage/Timestamps", stamps);
    own.sync();
}

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QList<int> itemData(const QComboBox *combo)
{
    QList<int> data;
    for (int i = 0; i < combo->count(); ++i)
        data << combo->itemData(i).toInt();
    return data;
}
} // namespace

class TestPanelsAcqConfig : public QObject
{
    Q_OBJECT
private slots:
    void init() { writeStoredSettings(QVariant(), QVariant(), QVariant()); }
    void layoutAndDefaults();
    void storedSettings();
    void dataRate();
    void formatChangeRenamesSilently();
    void checkPathBoxes();
    void startAndCancel();
    void browse();
};

void TestPanelsAcqConfig::layoutAndDefaults()
{
    QWidget main;
    main.setWindowIcon(QIcon(":/fp_splash.png"));
    QVERIFY(!main.windowIcon().isNull());
    acqConfig dialog(&main);
    QCOMPARE(dialog.windowTitle(), QString("Continuous Acquisition Configuration"));
    QVERIFY(dialog.isModal());
    QCOMPARE(dialog.windowIcon().cacheKey(), main.windowIcon().cacheKey());
    QCOMPARE(dialog.mainWindow, &main);
    QCOMPARE(itemTexts(dialog.formatCombo),
             QStringList({"Binary, ViReal64", "Text, CSV (V)", "Text, CSV (mV)"}));
    QCOMPARE(itemData(dialog.formatCombo), QList<int>({8, 27, 27}));
    QCOMPARE(itemTexts(dialog.refreshCombo),
             QStringList({"20 msec", "50 msec", "100 msec", "200 msec", "500 msec", "1 sec",
                          "2 sec"}));
    QCOMPARE(itemData(dialog.refreshCombo), QList<int>({20, 50, 100, 200, 500, 1000, 2000}));
    QCOMPARE(dialog.refreshCombo->currentIndex(), 1);
    QCOMPARE(dialog.refreshLabel->text(), QString("Plot Refresh Interval"));
    QCOMPARE(dialog.timestampsBox->text(), QString("Store Timestamps"));
    QCOMPARE(dialog.samplesPerSecond, 0);
    QCOMPARE(dialog.rateLabel->text(), QString("Data Rate: 0 B/s"));
    QCOMPARE(dialog.startButton->text(), QString("Start"));
    QCOMPARE(dialog.cancelButton->text(), QString("Cancel"));
    QCOMPARE(dialog.browseButton->text(), QString("Browse"));
    // A file set and the trend log: offered, off.
    QCOMPARE(dialog.splitBox->text(), QString("Start a new file every"));
    QCOMPARE(itemTexts(dialog.splitUnitCombo), QStringList({"MB", "minutes"}));
    QCOMPARE(dialog.trendBox->text(), QString("Write a measurement trend log"));
    QVERIFY(!dialog.splitBox->isChecked() && !dialog.trendBox->isChecked());
    QVERIFY(!dialog.splitValue->isEnabled() && !dialog.splitUnitCombo->isEnabled());
    dialog.splitBox->setChecked(true);
    QVERIFY(dialog.splitValue->isEnabled() && dialog.splitUnitCombo->isEnabled());
    QCOMPARE(dialog.splitValue->minimum(), 1);
    bool formatLabel = false;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        formatLabel = formatLabel || label->text() == "Data Format";
    QVERIFY(formatLabel);
    QCOMPARE(dialog.fileNameEdit->minimumWidth(), int(300 * dialog.logicalDpiX() / 96.0));

    const QString pathHelp =
        "When the path is empty, the data is acquired but not stored to the hard drive.";
    const QString formatHelp =
        "<html>Binary storage allows acquisition at higher data rates. The text output (CSV "
        "format) is very slow and may only be used in case of small amount of channels and low "
        "data rates.</html>";
    const QString refreshHelp =
        "The minimum time between plot refreshes. It may be longer if the data rate is small.";
    const QPair<QWidget *, QString> helps[] = {{dialog.fileNameEdit, pathHelp},
                                               {dialog.formatCombo, formatHelp},
                                               {dialog.refreshCombo, refreshHelp}};
    for (const auto &help : helps) {
        QCOMPARE(help.first->toolTip(), help.second);
        QCOMPARE(help.first->whatsThis(), help.second);
    }

    // Nothing stored: dump.bin6842 in the test's USERPROFILE, binary, no time stamps.
    const QString profile = QString::fromLocal8Bit(qgetenv("USERPROFILE"));
    QCOMPARE(dialog.fileNameEdit->text(), QDir::toNativeSeparators(profile + "/dump.bin6842"));
    QCOMPARE(dialog.formatCombo->currentIndex(), 0);
    QVERIFY(!dialog.timestampsBox->isChecked());
}

void TestPanelsAcqConfig::storedSettings()
{
    MessageRecorder recorder;
    // The stored path is shown as stored even when its extension does not
    // fit the format: nothing is checked while the dialog is built.
    writeStoredSettings("/data/run.txt", 2, true);
    {
        acqConfig dialog(nullptr);
        QCOMPARE(dialog.fileNameEdit->text(), QString("/data/run.txt"));
        QCOMPARE(dialog.formatCombo->currentIndex(), 2);
        QVERIFY(dialog.timestampsBox->isChecked());
        QCOMPARE(dialog.refreshCombo->currentIndex(), 1);

        dialog.fileNameEdit->setText("/elsewhere/x.bin6842");
        dialog.formatCombo->setCurrentIndex(0);
        dialog.timestampsBox->setChecked(false);
        dialog.saveSettings();
    }
    QSettings own("Norvane Ltd.", "Trellin 6842 Soft Front Panel");
    QCOMPARE(own.value("DataStorage/FileName").toString(), QString("/elsewhere/x.bin6842"));
    QCOMPARE(own.value("DataStorage/Format").toInt(), 0);
    QCOMPARE(own.value("DataStorage/Timestamps").toBool(), false);
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsAcqConfig::dataRate()
{
    MessageRecorder recorder;
    writeStoredSettings("", QVariant(), QVariant());
    acqConfig dialog(nullptr);
    dialog.setDataRate(160000); // 16 channels at 10 kHz
    QCOMPARE(dialog.samplesPerSecond, 160000);
    QCOMPARE(dialog.rateLabel->text(), QString("Data Rate: 1.2 MB/s"));
    dialog.formatCombo->setCurrentIndex(1);
    QCOMPARE(dialog.rateLabel->text(), QString("Data Rate: 4.1 MB/s (TEXT)"));
    dialog.setDataRate(-1);
    QCOMPARE(dialog.samplesPerSecond, 160000);
    // Many cards as text: 27 x 80,000,000 bytes per second is past 2^31.
    dialog.setDataRate(80000000);
    QCOMPARE(dialog.rateLabel->text(), QString("Data Rate: 2059.9 MB/s (TEXT)"));
    dialog.formatCombo->setCurrentIndex(0);
    QCOMPARE(dialog.rateLabel->text(), QString("Data Rate: 610.4 MB/s"));
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsAcqConfig::formatChangeRenamesSilently()
{
    MessageRecorder recorder;
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString base = QDir::toNativeSeparators(temp.path() + "/run");
    writeStoredSettings(base + ".bin6842", 0, false);
    acqConfig dialog(nullptr);
    QSignalSpy edits(dialog.fileNameEdit, &QLineEdit::textChanged);
    dialog.formatCombo->setCurrentIndex(2);
    QCOMPARE(dialog.fileNameEdit->text(), base + ".csv");
    dialog.formatCombo->setCurrentIndex(1);
    QCOMPARE(dialog.fileNameEdit->text(), base + ".csv");
    dialog.formatCombo->setCurrentIndex(0);
    QCOMPARE(dialog.fileNameEdit->text(), base + ".bin6842");
    // A missing directory is only reported at Start; the extension still follows.
    dialog.fileNameEdit->setText(QDir::toNativeSeparators(temp.path() + "/none/a.1.x"));
    edits.clear();
    dialog.formatCombo->setCurrentIndex(1);
    QCOMPARE(dialog.fileNameEdit->text(), QDir::toNativeSeparators(temp.path() + "/none/a.csv"));
    QCOMPARE(edits.count(), 0); // written with the edit's signals blocked
    QCOMPARE(recorder.count(), 0);
}

void TestPanelsAcqConfig::checkPathBoxes()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = temp.path();
    QVERIFY(QDir(root).mkdir("sub"));
    QFile existing(root + "/old.csv");
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    const QString missingText = QString("Directory: \"%1\" does not exist.")
                                    .arg(QDir::toNativeSeparators(root + "/none"));
    const QString toBinary = "File extension changed to '.bin6842'.";
    const QString toCsv = "File extension changed to '.csv'.";
    const QString overwrite = "File already exists, overwrite?";

    struct Case {
        QString path;
        int format;
        QMessageBox::StandardButton answer; // for the overwrite question
        bool result;
        QString pathAfter;
        QStringList texts;
        QList<QMessageBox::Icon> icons;
        QString quietPathAfter = QString(); // without the further checks, when it differs
    };
    const QList<Case> cases = {
        {"", 0, QMessageBox::Yes, true, "", {}, {}},
        {root + "/none/x.txt", 1, QMessageBox::Yes, false, root + "/none/x.txt", {missingText},
         {QMessageBox::Critical}, root + "/none/x.csv"},
        {root + "/new.bin6842", 0, QMessageBox::Yes, true, root + "/new.bin6842", {}, {}},
        {root + "/run.1.bin", 0, QMessageBox::Yes, true, root + "/run.bin6842", {toBinary},
         {QMessageBox::Warning}},
        {root + "/old.csv", 2, QMessageBox::Yes, true, root + "/old.csv", {overwrite},
         {QMessageBox::Question}},
        {root + "/old.csv", 1, QMessageBox::No, false, root + "/old.csv", {overwrite},
         {QMessageBox::Question}},
        {root + "/old.txt", 1, QMessageBox::No, false, root + "/old.csv", {toCsv, overwrite},
         {QMessageBox::Warning, QMessageBox::Question}},
        {root + "/sub", 1, QMessageBox::Yes, true, root + "/sub.csv", {toCsv},
         {QMessageBox::Warning}},
    };
    for (const Case &c : cases) {
        writeStoredSettings(QDir::toNativeSeparators(c.path), c.format, false);
        acqConfig dialog(nullptr);
        MessageRecorder recorder;
        recorder.defaultAnswer.standard = c.answer;
        const QByteArray where = c.path.toLocal8Bit() + " format " + QByteArray::number(c.format);
        QVERIFY2(dialog.checkPath(true) == c.result, where);
        QVERIFY2(dialog.fileNameEdit->text() == QDir::toNativeSeparators(c.pathAfter), where);
        QVERIFY2(recorder.texts() == c.texts, where);
        for (int i = 0; i < recorder.count(); ++i) {
            QVERIFY2(recorder.boxes.at(i).title == boxTitle, where);
            QVERIFY2(recorder.boxes.at(i).icon == c.icons.at(i), where);
            const auto buttons = c.icons.at(i) == QMessageBox::Question
                                     ? QMessageBox::Yes | QMessageBox::No
                                     : QMessageBox::StandardButtons(QMessageBox::Ok);
            QVERIFY2(recorder.boxes.at(i).buttons == buttons, where);
            // Overwriting is never the answer Enter gives.
            if (c.icons.at(i) == QMessageBox::Question)
                QVERIFY2(recorder.boxes.at(i).defaultButton == QMessageBox::No, where);
        }
        // Without the further checks nothing is asked and the path is accepted.
        recorder.clear();
        dialog.fileNameEdit->setText(QDir::toNativeSeparators(c.path));
        QVERIFY2(dialog.checkPath(), where);
        const QString quiet = c.quietPathAfter.isEmpty() ? c.pathAfter : c.quietPathAfter;
        QVERIFY2(dialog.fileNameEdit->text() == QDir::toNativeSeparators(quiet), where);
        QVERIFY2(recorder.count() == 0, where);
    }
}

void TestPanelsAcqConfig::startAndCancel()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    MessageRecorder recorder;
    const QList<QPair<QString, int>> cases = {
        {temp.path() + "/fresh.bin6842", QDialog::Accepted},
        {temp.path() + "/none/fresh.bin6842", QDialog::Rejected},
    };
    for (const auto &c : cases) {
        writeStoredSettings(c.first, 0, false);
        acqConfig dialog(nullptr);
        dialog.setResult(-1);
        QTest::mouseClick(dialog.startButton, Qt::LeftButton);
        QCOMPARE(dialog.result(), c.second);
    }
    acqConfig dialog(nullptr);
    dialog.setResult(-1);
    QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(recorder.texts(),
             QStringList({QString("Directory: \"%1\" does not exist.")
                              .arg(QDir::toNativeSeparators(temp.path() + "/none"))}));
}

void TestPanelsAcqConfig::browse()
{
    MessageRecorder recorder;
    struct Case {
        QString start;
        int format;
        QString chosen;
        int formatAfter;
        QString textAfter;
        QString preselected;
    };
    const QString binary = "Binary data (*.bin6842)";
    const QString csv = "CSV data (*.csv)";
    const QList<Case> cases = {
        {"/d/a.bin6842", 2, "/e/b.csv", 2, "/e/b.csv", binary}, // millivolts kept
        {"/d/a.bin6842", 0, "/e/b.csv", 1, "/e/b.csv", binary},
        {"/d/a.CSV", 1, "/e/b.bin6842", 0, "/e/b.bin6842", csv},
        {"/d/a.csv", 1, "/e/b.dat", 1, "/e/b.dat", csv},
        {"/d/a.csv", 2, "", 2, "/d/a.csv", csv}, // cancelled: nothing changes
    };
    for (const Case &c : cases) {
        writeStoredSettings(QDir::toNativeSeparators(c.start), c.format, false);
        BrowsingDialog dialog(nullptr);
        dialog.answer = c.chosen;
        QTest::mouseClick(dialog.browseButton, Qt::LeftButton);
        QCOMPARE(dialog.asked, 1);
        QCOMPARE(dialog.caption, QString("Set Output File Name"));
        QCOMPARE(dialog.startPath, QDir::toNativeSeparators(c.start));
        QCOMPARE(dialog.filters, QString("Binary data (*.bin6842);;CSV data (*.csv)"));
        QCOMPARE(dialog.preselected, c.preselected);
        QCOMPARE(dialog.formatCombo->currentIndex(), c.formatAfter);
        QCOMPARE(dialog.fileNameEdit->text(), QDir::toNativeSeparators(c.textAfter));
    }
    QCOMPARE(recorder.count(), 0);
}

QTEST_MAIN(TestPanelsAcqConfig)
#include "test_panels_acqconfig.moc"
