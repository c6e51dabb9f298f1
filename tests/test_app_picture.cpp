// Plot pictures: "Save Picture…" and "Copy Picture" of the two plot pages,
// and sfpplot drawing the same pictures from the stored file. Pictures are
// read back by outside code: the PNG's pixels where the axis scale puts the
// curves, Qt's XML reader for SVG, pdftotext for PDF.
#include "nv6842fp_DAQ.h"
#include "pictureCaption.h"
#include "plotPictureBar.h"
#include "fftViewControls.h"
#include "plot_voltage.h"
#include "test_app_window.h"
#include "trendlog.h"

#include <qwt_plot_curve.h>

#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QToolButton>
#include <QXmlStreamReader>

namespace {

const double rate = 1000.0;
const int scans = 1000;
const uint16_t mask = 0x0003;
const int32_t firstSecond = 1700000000;
const int width = 1200;

// Channel 1 rises from -10 V to +10 V over every block and channel 2 falls,
// so the time plot autoscales to exactly -10 ... 10 V; block b is stamped
// firstSecond + b, one millisecond per scan.
double ramp(int ordinal, double scan)
{
    const double rise = 20.0 * scan / (scans - 1);
    return ordinal == 0 ? rise - 10 : 10 - rise;
}

QString writeRamps(const QString &path)
{
    const StoredLayout layout{rate, scans, 1, &mask, true};
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
    bool ok = file && writeBinaryHeader(file, layout);
    std::vector<double> samples(2 * scans);
    std::vector<int32_t> seconds(scans), nanos(scans);
    for (int b = 0; b < 3 && ok; ++b) {
        for (int s = 0; s < scans; ++s) {
            samples[size_t(s)] = ramp(0, s);
            samples[size_t(scans + s)] = ramp(1, s);
            seconds[size_t(s)] = firstSecond + b;
            nanos[size_t(s)] = s * 1000000;
        }
        ok = writeBinaryBlock(file, samples.data(), 2, scans, seconds.data(), nanos.data());
    }
    if (file)
        std::fclose(file);
    return ok ? path : QString();
}

// Block 2 of the ramps, as every picture of this test shows it.
QString expectedCaption(bool spectrum)
{
    pictureCaptionInput in;
    in.shownChannels = {mask};
    in.rateHz = rate;
    in.scans = scans;
    in.block = 2;
    in.blockCount = 3;
    in.hasStamp = true;
    in.stampSeconds = firstSecond + 1;
    in.fileName = QStringLiteral("ramps.bin6842");
    in.spectrum = spectrum;
    in.windowName = pictureWindowName(1);
    in.padding = 10;
    return pictureCaption(in);
}

// The plot's canvas in a picture: the box of its background colour.
const QColor canvasColour = QColor(Qt::darkBlue).darker(200).darker(200);

QRect canvasOf(const QImage &image)
{
    QRect canvas;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == canvasColour.rgb())
                canvas |= QRect(x, y, 1, 1);
    return canvas;
}

// The rows of a column where channel ordinal o of card 1 is drawn: its
// colour, at 80 % over the canvas.
QVector<int> curveRows(const QImage &image, const QRect &canvas, int column, int o)
{
    const QColor c = QColor::fromHsvF(((o + 8) % 16) / 17.0, 0.9, 0.9);
    const int rgb[3] = {qRound(0.8 * c.red()), qRound(0.8 * c.green()),
                        qRound(0.8 * c.blue() + 0.2 * canvasColour.blue())};
    QVector<int> rows;
    for (int y = canvas.top(); y <= canvas.bottom(); ++y) {
        const QColor p = image.pixelColor(column, y);
        if (std::abs(p.red() - rgb[0]) + std::abs(p.green() - rgb[1]) + std::abs(p.blue() - rgb[2]) <= 9)
            rows << y;
    }
    return rows;
}

// Channel o drawn in the column at fraction at of the canvas width, near
// the row at fraction high of its height from the top, and nowhere else in it.
void verifyCurveAt(const QImage &image, const QRect &canvas, int o, double at, double high)
{
    const int column = canvas.left() + qRound(at * canvas.width());
    const double row = canvas.top() + high * canvas.height();
    const QVector<int> rows = curveRows(image, canvas, column, o);
    QVERIFY2(!rows.isEmpty(), qPrintable(QString("no channel %1 in column %2").arg(o + 1).arg(column)));
    for (int y : rows)
        QVERIFY2(std::abs(y - row) < canvas.height() / 50.0,
                 qPrintable(QString("channel %1 at row %2, expected %3").arg(o + 1).arg(y).arg(row)));
}

// Both curves of the time plot where the axes put them: the time axis spans
// the block (1 ... 2 s), the voltage axis -10 ... 10 V.
void verifyTimeCurves(const QImage &image)
{
    const QRect canvas = canvasOf(image);
    QVERIFY(canvas.width() > image.width() / 2 && canvas.height() > image.height() / 3);
    for (double at : {0.25, 0.75})
        for (int o = 0; o < 2; ++o)
            verifyCurveAt(image, canvas, o, at, (10 - ramp(o, at * scans)) / 20);
}

// A trend log of blocks 0 ... 10 of channels 1 and 2, half a second each,
// blocks 4 to 6 skipped: channel 1's SNR rises 40 + 2 b dB, channel 2's
// falls 60 - 2 b dB, so the value axis autoscales to exactly 40 ... 60 dB
// and the time axis spans 0 ... 5 s.
const int trendBlocks = 11, firstSkip = 4, lastSkip = 6;

double trendSnr(int o, double block)
{
    return o == 0 ? 40 + 2 * block : 60 - 2 * block;
}

QString writeTrend(const QString &path)
{
    std::string text = trendLogHeaderText();
    for (int b = 0; b < trendBlocks; ++b) {
        if (b == firstSkip)
            appendTrendSkip(text, firstSkip, lastSkip);
        if (b >= firstSkip && b <= lastSkip)
            continue;
        for (int o = 0; o < 2; ++o) {
            TrendRow row;
            row.block = b;
            row.timeSeconds = 0.5 * b;
            row.hasTimestamp = true;
            row.stampSeconds = firstSecond + b;
            row.channel = o + 1;
            for (double &figure : row.figures)
                figure = 1;
            row.figures[trendFigureIndex("SNR")] = trendSnr(o, b);
            appendTrendRow(text, row);
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.data(), qint64(text.size())) == qint64(text.size())
               ? path
               : QString();
}

// The SNR of both channels where the axes put them, and nothing between
// the last block before the skip and the first after it.
void verifyTrendCurves(const QImage &image)
{
    const QRect canvas = canvasOf(image);
    QVERIFY(canvas.width() > image.width() / 2 && canvas.height() > image.height() / 3);
    const double span = 0.5 * (trendBlocks - 1);
    for (double block : {0.5, 2.0, 8.5, 9.5})
        for (int o = 0; o < 2; ++o)
            verifyCurveAt(image, canvas, o, 0.5 * block / span, (60 - trendSnr(o, block)) / 20);
    for (double block : {firstSkip - 0.5, (firstSkip + lastSkip) / 2.0, lastSkip + 0.5}) {
        const int column = canvas.left() + qRound(0.5 * block / span * canvas.width());
        for (int o = 0; o < 2; ++o)
            QVERIFY2(curveRows(image, canvas, column, o).isEmpty(),
                     qPrintable(QString("channel %1 drawn across the skip at block %2").arg(o + 1).arg(block)));
    }
}

QString textOf(const QString &path)
{
    if (path.endsWith(".pdf")) {
        QProcess pdftotext;
        pdftotext.start("pdftotext", {path, "-"});
        if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
            return "pdftotext (poppler-utils) failed: " + pdftotext.errorString();
        return QString::fromUtf8(pdftotext.readAllStandardOutput());
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QXmlStreamReader svg(&file);
    QStringList texts;
    while (!svg.atEnd())
        if (svg.readNext() == QXmlStreamReader::StartElement && svg.name() == QLatin1String("text"))
            texts << svg.readElementText(QXmlStreamReader::IncludeChildElements);
    return svg.hasError() ? "XML error: " + svg.errorString() : texts.join('\n');
}

void verifyPicture(const QString &path, bool spectrum)
{
    if (path.endsWith(".png")) {
        const QImage image(path);
        QCOMPARE(image.width(), width);
        if (!spectrum)
            verifyTimeCurves(image);
        return;
    }
    const QString text = textOf(path);
    QVERIFY2(text.contains(expectedCaption(spectrum)), qPrintable(text));
    QVERIFY2(text.contains("FC1 Ch 1") && text.contains("FC1 Ch 2"), qPrintable(text));
}

struct Run {
    int code = -1;
    QString err;
};

// sfpplot as a user runs it, with no display and no platform chosen; with
// a file size limit of a few kB, a disk that fills up under the picture.
Run sfpplot(const QStringList &arguments, bool limited = false)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    process.setProcessEnvironment(environment);
    if (limited)
        process.start("/bin/sh", QStringList{"-c", "ulimit -f 8; exec \"$0\" \"$@\"", SFPPLOT_PATH} + arguments);
    else
        process.start(QStringLiteral(SFPPLOT_PATH), arguments);
    Run run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        run.code = process.exitCode();
        run.err = QString::fromLocal8Bit(process.readAllStandardError() + process.readAllStandardOutput());
    }
    return run;
}

// The stored file's viewer on block 2; with spectrum, both channels' spectra
// shown with the Hann window and 10 x padding.
Window viewRamps(const QString &path, bool spectrum)
{
    Window w = openStoredFile(path);
    if (!w)
        return w;
    w->waveform->blockSlider->setValue(2);
    if (spectrum) {
        selectData(w->daq->fftWindowCombo, 1);
        selectData(w->daq->zeroPaddingCombo, 10);
        w->spectrumPlot->selectAll(0);
        if (!QTest::qWaitFor([&] { return w->spectrumPlot->curves[1]->dataSize() == size_t(scans * 5); }, 20000))
            return nullptr;
    }
    return w;
}

} // namespace

class TestAppPicture : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString ramps, trend;

private slots:
    void initTestCase()
    {
        ramps = writeRamps(dir.filePath("ramps.bin6842"));
        QVERIFY(!ramps.isEmpty());
        QVERIFY(QFile::link("/dev/full", dir.filePath("full.png")));
        QFile damaged(dir.filePath("damaged.bin6842"));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("FORMAT=ViReal32\n#\n") > 0);
        trend = writeTrend(dir.filePath("ramps.trend.csv"));
        QVERIFY(!trend.isEmpty());
        // Line 4 of a log is cut short.
        QFile log(trend), cut(dir.filePath("damaged.trend.csv"));
        QVERIFY(log.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        QVERIFY(cut.write(lines.mid(0, 3).join('\n') + "\n" + lines[3].left(12) + "\n") > 0);
    }

    void cleanup() { plotPictureBar::setFileChooser({}); }

    void savedPicture_data()
    {
        QTest::addColumn<bool>("tool");
        QTest::addColumn<bool>("spectrum");
        QTest::addColumn<QString>("name");
        for (bool tool : {false, true})
            for (bool spectrum : {false, true})
                for (const char *extension : {"png", "svg", "pdf"})
                    QTest::addRow("%s, %s, %s", tool ? "sfpplot" : "panel", spectrum ? "spectrum" : "time",
                                  extension)
                        << tool << spectrum << QStringLiteral("%1-%2-%3.%4").arg(tool).arg(spectrum).arg(extension, extension);
    }

    void savedPicture()
    {
        QFETCH(bool, tool);
        QFETCH(bool, spectrum);
        QFETCH(QString, name);
        const QString out = dir.filePath(name);
        if (tool) {
            QStringList arguments{ramps, "--output", out, "--block", "2", "--width", QString::number(width)};
            if (spectrum)
                arguments << "--spectrum" << "--window" << "hann" << "--padding" << "10";
            const Run run = sfpplot(arguments);
            QVERIFY2(run.code == 0, qPrintable(run.err));
        } else {
            MessageRecorder recorder;
            Window w = viewRamps(ramps, spectrum);
            QVERIFY(w);
            plotPictureBar *bar = spectrum ? w->spectrumPlot->pictureBar : w->waveform->pictureBar;
            plotPictureBar::setPngWidth(width);
            QString startPath;
            plotPictureBar::setFileChooser([&](const plotPictureBar::FileRequest &r) { startPath = r.startPath; return out; });
            bar->saveButton->click();
            QVERIFY2(recorder.count() == 0, qPrintable(recorder.texts().join('\n')));
            // The next dialog opens in the folder of this picture.
            plotPictureBar::setFileChooser([&](const plotPictureBar::FileRequest &r) { startPath = r.startPath; return QString(); });
            bar->saveButton->click();
            QCOMPARE(QFileInfo(startPath).absolutePath(), QFileInfo(out).absolutePath());
        }
        verifyPicture(out, spectrum);
    }

    void trendPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << "trend.png";
        QTest::newRow("svg") << "trend.svg";
    }

    // One figure of a trend log over time, a gap at the skipped blocks.
    void trendPicture()
    {
        QFETCH(QString, name);
        const QString out = dir.filePath(name);
        const Run run = sfpplot({"--trend", trend, "--figure", "snr", "--output", out, "--width", QString::number(width)});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        if (name.endsWith(".png")) {
            const QImage image(out);
            QCOMPARE(image.width(), width);
            verifyTrendCurves(image);
            return;
        }
        const QString text = textOf(out);
        QVERIFY2(text.contains("FC1 Ch 1, 2 | SNR [dB] | 0 to 5 s | first time stamp 1700000000.000000000 s | "
                               "3 blocks skipped | file ramps.trend.csv"),
                 qPrintable(text));
        QVERIFY2(text.contains("FC1 Ch 1") && text.contains("FC1 Ch 2"), qPrintable(text));
    }

    // Averaging and a unit other than dB re 1 V peak are named in the caption.
    void captionNamesAveragingAndUnit()
    {
        MessageRecorder recorder;
        Window w = viewRamps(ramps, true);
        QVERIFY(w);
        SpectrumViewSettings view;
        view.averaging = AveragingMode::linear;
        view.averagingCount = 4;
        view.unit = SpectrumUnit::dBV;
        w->spectrumPlot->setViewSettings(view);
        // The new settings start the averages with the next block: blocks 3
        // and 1 averaged, in dB re 1 V rms.
        w->waveform->blockSlider->setValue(3);
        QTRY_VERIFY(w->spectrumPlot->displayInForceText().contains("1 of 4"));
        w->waveform->blockSlider->setValue(1);
        QTRY_VERIFY2(w->spectrumPlot->displayInForceText().contains("2 of 4"),
                     qPrintable(w->spectrumPlot->displayInForceText()));
        const QString out = dir.filePath("averaged.svg");
        plotPictureBar::setFileChooser([&](const plotPictureBar::FileRequest &) { return out; });
        w->spectrumPlot->pictureBar->saveButton->click();
        const QString text = textOf(out);
        const QString named = w->spectrumPlot->displayInForceText();
        QVERIFY2(named.contains("dBV") && text.contains(named), qPrintable(text));
    }

    void copiedPicture()
    {
        Window w = viewRamps(ramps, false);
        QVERIFY(w);
        plotPictureBar::setPngWidth(width);
        QApplication::clipboard()->clear();
        w->waveform->pictureBar->copyButton->click();
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime && mime->hasFormat("image/png"));
        const QImage image = QImage::fromData(mime->data("image/png"), "PNG");
        QCOMPARE(image.width(), width);
        verifyTimeCurves(image);
    }

    // Nothing acquired, or no spectrum shown: a message instead of a blank picture.
    void emptyPlotIsRefused()
    {
        MessageRecorder recorder;
        int asked = 0;
        plotPictureBar::setFileChooser([&](const plotPictureBar::FileRequest &) { ++asked; return dir.filePath("blank.png"); });
        Window demo = demoWindow(1);
        demo->waveform->pictureBar->saveButton->click();
        Window viewer = viewRamps(ramps, false);
        QVERIFY(viewer);
        viewer->spectrumPlot->pictureBar->copyButton->click();
        QCOMPARE(recorder.texts(), QStringList({plotPictureBar::emptyPlotText(), plotPictureBar::emptyPlotText()}));
        QCOMPARE(asked, 0);
        QVERIFY(!QFile::exists(dir.filePath("blank.png")));
    }

    void failedSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown extension") << "picture.jpg";
        QTest::newRow("missing folder") << "none/picture.png";
        QTest::newRow("below a file") << "ramps.bin6842/picture.png";
        QTest::newRow("full disk") << "full.png";
    }

    // One box saying why; no file, whole or partial, is left behind.
    void failedSave()
    {
        QFETCH(QString, name);
        const QString out = dir.filePath(name);
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        MessageRecorder recorder;
        Window w = viewRamps(ramps, false);
        QVERIFY(w);
        plotPictureBar::setFileChooser([&](const plotPictureBar::FileRequest &) { return out; });
        w->waveform->pictureBar->saveButton->click();
        QCOMPARE(recorder.count(), 1);
        QVERIFY2(recorder.last().text.startsWith(plotPictureBar::saveFailedText(out, QString())),
                 qPrintable(recorder.last().text));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
        QVERIFY(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
    }

    void toolExitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::addColumn<bool>("limited");
        const QString out = dir.filePath("tool.png");
        const QStringList ok{ramps, "--output", out};
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: sfpplot FILE --output" << false;
        QTest::newRow("no file") << QStringList{"--output", out} << 1 << "no FILE" << false;
        QTest::newRow("no output") << QStringList{ramps} << 1 << "--output" << false;
        QTest::newRow("unknown option") << ok + QStringList{"--colour"} << 1 << "'--colour'" << false;
        QTest::newRow("unknown extension") << QStringList{ramps, "--output", dir.filePath("tool.gif")} << 1 << ".png" << false;
        QTest::newRow("block 0") << ok + QStringList{"--block", "0"} << 1 << "--block" << false;
        QTest::newRow("block not in file") << ok + QStringList{"--block", "4"} << 1 << "blocks 1 to 3" << false;
        QTest::newRow("card not in file") << ok + QStringList{"--card", "2"} << 1 << "cards 1 to 1" << false;
        QTest::newRow("channel not in file") << ok + QStringList{"--channels", "3-16"} << 1 << "none of the channels" << false;
        QTest::newRow("bad channel list") << ok + QStringList{"--channels", "2-1"} << 1 << "--channels" << false;
        QTest::newRow("unknown window") << ok + QStringList{"--window", "kaiser"} << 1 << "--window" << false;
        QTest::newRow("bad padding") << ok + QStringList{"--padding", "3"} << 1 << "--padding" << false;
        QTest::newRow("narrow") << ok + QStringList{"--width", "10"} << 1 << "--width" << false;
        QTest::newRow("missing input") << QStringList{dir.filePath("none.bin6842"), "--output", out} << 2 << "cannot read" << false;
        QTest::newRow("damaged input") << QStringList{dir.filePath("damaged.bin6842"), "--output", out} << 2 << "cannot read" << false;
        QTest::newRow("missing folder") << QStringList{ramps, "--output", dir.filePath("none/tool.png")} << 3 << "cannot write" << false;
        QTest::newRow("full disk") << QStringList{ramps, "--output", dir.filePath("full.png")} << 3 << "cannot write" << false;
        QTest::newRow("disk fills up") << ok << 3 << "cannot write" << true;
        const QStringList snr{"--trend", trend, "--figure", "SNR", "--output", out};
        QTest::newRow("unknown figure") << QStringList{"--trend", trend, "--figure", "noise", "--output", out} << 1
                                        << "--figure needs one of mean, RMS, min, max, frequency, amplitude, THD, SINAD, SNR, SFDR or ENOB" << false;
        QTest::newRow("trend without figure") << QStringList{"--trend", trend, "--output", out} << 1 << "--figure" << false;
        QTest::newRow("trend and a block") << snr + QStringList{"--block", "2"} << 1 << "--block" << false;
        QTest::newRow("trend and a file") << snr + QStringList{ramps} << 1 << "FILE" << false;
        QTest::newRow("channel not in trend") << snr + QStringList{"--channels", "3-16"} << 1 << "none of the channels" << false;
        QTest::newRow("card not in trend") << snr + QStringList{"--card", "2"} << 1 << "none of the channels" << false;
        QTest::newRow("missing trend") << QStringList{"--trend", dir.filePath("none.trend.csv"), "--figure", "SNR", "--output", out}
                                       << 2 << "cannot read" << false;
        QTest::newRow("damaged trend") << QStringList{"--trend", dir.filePath("damaged.trend.csv"), "--figure", "SNR", "--output", out}
                                       << 2 << "line 4" << false;
    }

    void toolExitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, says);
        QFETCH(bool, limited);
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        const Run run = sfpplot(arguments, limited);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    }
};

QTEST_MAIN(TestAppPicture)
#include "test_app_picture.moc"
