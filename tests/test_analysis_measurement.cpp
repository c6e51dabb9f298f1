// The measurement panel's computation for one card, its message rule, the
// clipboard text, and the sfpmeasure tool run on a file written by the file
// writer. Figures are checked against the sines the blocks were built from.
#include "channelMeasurement.h"
#include "datafile_writer.h"
#include "detailsText.h"
#include "measurementText.h"
#include "test_analysis_signals.h"

#include <QtTest>

namespace {

// A block of several channels, channel after channel, each a sine
// amplitude * sin(2 pi f t + phase) + offset at t = i / fs.
struct Channel
{
    double amplitude, frequency, phase, offset;
};

std::vector<double> makeBlock(const std::vector<Channel> &channels, int N, double fs, long long firstScan = 0)
{
    std::vector<double> data;
    for (const Channel &c : channels)
        for (int i = 0; i < N; ++i)
            data.push_back(c.amplitude * std::sin(2.0 * testPi() * c.frequency * double(firstScan + i) / fs + c.phase)
                           + c.offset);
    return data;
}

CardMeasurementInput inputFor(const std::vector<double> &data, int N, double fs, const std::vector<uint16_t> &masks,
                              int card, const std::vector<double> &times)
{
    CardMeasurementInput in;
    in.scans = N;
    in.times = times.data();
    in.rateHz = fs;
    in.padding = 1;
    in.iterations = 0;
    locateCardSamples(data.data(), N, masks.data(), card, in);
    return in;
}

double phaseUs(double phase, double reference, double frequency)
{
    return (phase - reference) / (2.0 * testPi() * frequency) * 1e6;
}

} // namespace

class TestAnalysisMeasurement : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    struct Run
    {
        int exitCode = -1;
        QByteArray out, err;
    };

    Run sfpmeasure(const QStringList &arguments, const QString &stdoutFile = QString())
    {
        QProcess process;
        if (!stdoutFile.isEmpty())
            process.setStandardOutputFile(stdoutFile);
        process.start(QStringLiteral(SFPMEASURE_PATH), arguments);
        Run result;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

private slots:
    // Two cards; the second card's channels come after all enabled channels
    // of the first. On-bin sines: the fit gives back what they were made of.
    void secondCardFigures()
    {
        const int N = 2048;
        const double fs = 20480.0, f = 500.0; // 50 periods, on a bin
        const std::vector<uint16_t> masks = {0x0005, 0x0012};
        const std::vector<Channel> channels = {{9.0, 40.0, 0.1, 0.0},   // card 1, channel 1: not measured
                                               {9.0, 40.0, 0.1, 0.0},   // card 1, channel 3
                                               {0.8, f, 0.4, 0.05},     // card 2, channel 2
                                               {0.3, f, 1.3, -0.2}};    // card 2, channel 5
        const std::vector<double> data = makeBlock(channels, N, fs);
        std::vector<double> times = scanTimes(N, fs);
        for (double &t : times)
            t += 12.5; // absolute times: only differences count
        for (int iterations : {0, 3}) {
            CardMeasurementInput in = inputFor(data, N, fs, masks, 1, times);
            in.iterations = iterations;
            in.threads = iterations + 1;
            QCOMPARE(in.mask, uint16_t(0x0012));
            CardMeasurement m = measureCard(in);
            bool flag = true; // a success clears it
            QCOMPARE(int(settleCardMeasurement(m, flag)), int(MeasurementMessage::None));
            QVERIFY(!flag);
            QVERIFY(m.computed && m.error.empty() && !m.fitFailed);
            QCOMPARE(m.referenceChannel, 1);
            for (int k : {0, 2, 3, 5, 15})
                QVERIFY(!m.enabled(k));
            const int measured[] = {1, 4};
            for (int i = 0; i < 2; ++i) {
                const ChannelFigures &g = m.figures[measured[i]];
                const Channel &c = channels[size_t(2 + i)];
                QVERIFY(m.enabled(measured[i]));
                QVERIFY(std::fabs(g.amplitude - c.amplitude) < 1e-9);
                QVERIFY(std::fabs(g.mean - c.offset) < 1e-9);
                QVERIFY(std::fabs(g.rms - std::sqrt(c.amplitude * c.amplitude / 2 + c.offset * c.offset)) < 1e-9);
                QVERIFY(std::fabs(g.frequency - f) < 1e-6);
                QVERIFY(std::fabs(g.phaseUs - phaseUs(c.phase, channels[2].phase, f)) < 1e-4);
                QVERIFY(g.snr > 150 && g.sfdr > 150 && g.thdDb < -150);
            }
        }
    }

    // Off-bin tones: the 4-parameter choices of the panel reach the tone
    // from the spectrum's peak bin whatever the rate and the block length;
    // the 3-parameter fit stays on the bin.
    void offBinToneRefined_data()
    {
        QTest::addColumn<double>("fs");
        QTest::addColumn<int>("N");
        QTest::addColumn<double>("f");
        QTest::addColumn<int>("iterations");
        QTest::newRow("50 Hz at 10 kHz, 7 iterations") << 10000.0 << 1024 << 50.0 << 7;
        QTest::newRow("50 Hz at 10 kHz, 3 iterations") << 10000.0 << 1024 << 50.0 << 3;
        QTest::newRow("3.3 Hz at 100 Hz, 7 iterations") << 100.0 << 1024 << 3.3 << 7;
        QTest::newRow("12345.6 Hz at 50 kHz, 5 iterations") << 50000.0 << 8192 << 12345.6 << 5;
    }
    // A tone above a quarter of the rate has no harmonic below the Nyquist
    // frequency: THD is not measured and shows "-" (not "-inf"); the rest is.
    void noHarmonicShowsDash()
    {
        const int N = 1024;
        const double fs = 1000.0;
        const std::vector<double> data = makeBlock({{1.0, 307.0 * fs / N, 0.0, 0.0}}, N, fs);
        std::vector<double> times(static_cast<size_t>(N));
        for (int i = 0; i < N; ++i)
            times[size_t(i)] = i / fs;
        const std::vector<uint16_t> masks{1};
        const CardMeasurement m = measureCard(inputFor(data, N, fs, masks, 0, times));
        QVERIFY(m.error.empty() && !m.fitFailed);
        QCOMPARE(figureText(m.figures[0], 5), std::string(missingFigureText));
        QVERIFY(std::fabs(m.figures[0].amplitude - 1.0) < 1e-9);
        QVERIFY(!figureMissing(m.figures[0], 7) && m.figures[0].snr > 200);
    }

    void offBinToneRefined()
    {
        QFETCH(double, fs);
        QFETCH(int, N);
        QFETCH(double, f);
        QFETCH(int, iterations);
        const Channel tone = {0.5, f, 0.3, 0.1};
        const std::vector<uint16_t> masks = {0x0001};
        const std::vector<double> data = makeBlock({tone}, N, fs), times = scanTimes(N, fs);
        double squares = 0.0; // mean square of the tone at the sample times
        for (double v : data)
            squares += v * v / N;
        CardMeasurementInput in = inputFor(data, N, fs, masks, 0, times);
        in.iterations = iterations;
        const ChannelFigures refined = measureCard(in).figures[0];
        const QString found = QString("f %1, amplitude %2, mean %3")
                                  .arg(refined.frequency, 0, 'g', 12).arg(refined.amplitude, 0, 'g', 12)
                                  .arg(refined.mean, 0, 'g', 12);
        QVERIFY2(std::fabs(refined.frequency - f) < 1e-6 * f, qPrintable(found));
        QVERIFY2(std::fabs(refined.amplitude - tone.amplitude) < 1e-6, qPrintable(found));
        QVERIFY2(std::fabs(refined.mean - tone.offset) < 1e-6, qPrintable(found));
        QVERIFY2(std::fabs(refined.rms - std::sqrt(squares)) < 1e-6, qPrintable(found));

        in.iterations = 0;
        const double bin = fs / N;
        QCOMPARE(measureCard(in).figures[0].frequency, std::round(f / bin) * bin);
    }

    void tooShortGivesZeros()
    {
        const std::vector<uint16_t> masks = {0x0001};
        const std::vector<double> data = makeBlock({{1.0, 1.0, 0.0, 0.5}}, 9, 9.0), times = scanTimes(9, 9.0);
        CardMeasurement m = measureCard(inputFor(data, 9, 9.0, masks, 0, times));
        QVERIFY(!m.computed && m.enabled(0));
        bool flag = true;
        QCOMPARE(int(settleCardMeasurement(m, flag)), int(MeasurementMessage::None));
        QVERIFY(flag); // nothing ran: the flag stays
        for (int column = 0; column < measurementColumnCount; ++column)
            QCOMPARE(figureColumn(m.figures[0], column), 0.0);
    }

    void onlyChannelFiveHasPhaseZero()
    {
        const int N = 1000;
        const std::vector<uint16_t> masks = {0x0010};
        const std::vector<double> data = makeBlock({{1.0, 50.0, 2.0, 0.0}}, N, 1000.0), times = scanTimes(N, 1000.0);
        CardMeasurement m = measureCard(inputFor(data, N, 1000.0, masks, 0, times));
        bool flag = false;
        settleCardMeasurement(m, flag);
        QCOMPARE(m.referenceChannel, 4);
        QVERIFY(std::fabs(m.figures[4].frequency - 50.0) < 1e-9);
        QCOMPARE(m.figures[4].phaseUs, 0.0);
        for (int k = 0; k < measurementChannelCount; ++k)
            QCOMPARE(m.enabled(k), k == 4);
    }

    // Phases lie in (-pi, pi]; their difference is taken back into that
    // range before it becomes a time, so two tones 0.08 rad apart across
    // the half turn read 13 us at 1 kHz, not -987 us. Channel 2 is the
    // inverted sine in the last rows.
    void phaseDifferenceIsWrapped_data()
    {
        QTest::addColumn<double>("reference");
        QTest::addColumn<double>("amplitude"); // of channel 2; negative: inverted
        QTest::addColumn<double>("phase");     // of channel 2
        QTest::addColumn<double>("difference"); // expected, rad
        QTest::newRow("no wrap") << 0.3 << 1.0 << 1.0 << 0.7;
        QTest::newRow("3.1 and -3.1") << 3.1 << 1.0 << -3.1 << 2 * testPi() - 6.2;
        QTest::newRow("-3.1 and 3.1") << -3.1 << 1.0 << 3.1 << 6.2 - 2 * testPi();
        QTest::newRow("2nd and 3rd quadrant") << 2.0 << 1.0 << -2.5 << 2 * testPi() - 4.5;
        QTest::newRow("inverted, 0.2 rad on") << 0.3 << -1.0 << 0.5 << 0.2 - testPi();
        QTest::newRow("inverted, 0.2 rad back") << 0.3 << -1.0 << 0.1 << testPi() - 0.2;
    }
    void phaseDifferenceIsWrapped()
    {
        QFETCH(double, reference);
        QFETCH(double, amplitude);
        QFETCH(double, phase);
        QFETCH(double, difference);
        const int N = 8192;
        const double fs = 51200.0, f = 1000.0; // 160 periods
        const std::vector<uint16_t> masks = {0x0003};
        const std::vector<double> data = makeBlock({{1.0, f, reference, 0.0}, {amplitude, f, phase, 0.0}}, N, fs),
                                  times = scanTimes(N, fs);
        CardMeasurement m = measureCard(inputFor(data, N, fs, masks, 0, times));
        bool flag = false;
        settleCardMeasurement(m, flag);
        const double expected = difference / (2.0 * testPi() * f) * 1e6;
        QVERIFY2(std::fabs(m.figures[1].phaseUs - expected) < 1e-6,
                 qPrintable(QString("%1 us instead of %2 us").arg(m.figures[1].phaseUs).arg(expected)));
        QCOMPARE(m.figures[0].phaseUs, 0.0);
    }

    // Figures that cannot be measured show "-" in the table, the clipboard
    // and the tool: at 32 scans the DC lobe and the tone's span take every
    // bin (no noise for SNR, SINAD, ENOB, no spur for SFDR) and the second
    // harmonic lies at the Nyquist frequency (no THD); at 10 scans no bin
    // lies above the DC region, so there is no fundamental and no fit either.
    void unmeasurableFiguresAreMissing_data()
    {
        QTest::addColumn<int>("N");
        QTest::addColumn<QString>("shown"); // the ten columns; "#" a number
        QTest::newRow("32 scans") << 32 << "# # # # # - - - - -";
        QTest::newRow("10 scans") << 10 << "- - - - - - - - - -";
    }
    void unmeasurableFiguresAreMissing()
    {
        QFETCH(int, N);
        QFETCH(QString, shown);
        const double fs = 1000.0;
        const std::vector<uint16_t> masks = {0x0001};
        const Channel tone = {0.5, 8 * fs / 32, 0.4, 0.1}; // 8 periods in 32 scans
        const std::vector<double> data = makeBlock({tone}, N, fs), times = scanTimes(N, fs);
        CardMeasurement m = measureCard(inputFor(data, N, fs, masks, 0, times));
        bool flag = false;
        QCOMPARE(int(settleCardMeasurement(m, flag)), int(MeasurementMessage::None));
        const QStringList expected = shown.split(' ');
        ClipboardRow row;
        row.figures = m.figures[0];
        const QStringList line = QString::fromStdString(measurementClipboardText(N, fs, {row})).split('\n').value(3).split(',');
        QCOMPARE(line.size(), 13);
        for (int column = 0; column < measurementColumnCount; ++column) {
            const QString text = QString::fromStdString(figureText(m.figures[0], column));
            QCOMPARE(figureMissing(m.figures[0], column), expected[column] == "-");
            QCOMPARE(text == "-", expected[column] == "-");
            QCOMPARE(line[3 + column], text);
        }
        if (!figureMissing(m.figures[0], 0)) {
            QVERIFY(std::fabs(m.figures[0].amplitude - tone.amplitude) < 1e-9);
            QVERIFY(std::fabs(m.figures[0].frequency - tone.frequency) < 1e-9);
        }
    }

    // A construction failure is reported once, until a run gets past the
    // constructions; its figures are all 0.
    void constructionFailureReportedOnce()
    {
        const int N = 256;
        const std::vector<uint16_t> masks = {0x0003};
        const std::vector<double> data = makeBlock({{1.0, 40.0, 0.5, 0.0}, {1.0, 40.0, 1.0, 0.0}}, N, 1024.0),
                                  times = scanTimes(N, 1024.0);
        CardMeasurementInput bad = inputFor(data, N, 1024.0, masks, 0, times);
        bad.padding = 0;
        bool flag = false;
        const MeasurementMessage expected[] = {MeasurementMessage::Error, MeasurementMessage::None};
        for (MeasurementMessage message : expected) {
            CardMeasurement m = measureCard(bad);
            QCOMPARE(QString::fromStdString(m.error), QString("Zero padding factor must be >= 1"));
            QCOMPARE(int(settleCardMeasurement(m, flag)), int(message));
            QVERIFY(flag);
            for (int column = 0; column < measurementColumnCount; ++column)
                QCOMPARE(figureColumn(m.figures[1], column), 0.0);
        }
        CardMeasurement good = measureCard(inputFor(data, N, 1024.0, masks, 0, times));
        QCOMPARE(int(settleCardMeasurement(good, flag)), int(MeasurementMessage::None));
        QVERIFY(!flag);
        QVERIFY(std::fabs(good.figures[1].phaseUs - phaseUs(1.0, 0.5, 40.0)) < 1e-3);
    }

    // A fit that refuses its arguments: fit values 0, reported on every
    // second run, phases relative to 0 when reported.
    void fitFailureReportedEverySecondRun()
    {
        const int N = 256;
        const std::vector<uint16_t> masks = {0x0001};
        const std::vector<double> data = makeBlock({{1.0, 40.0, 0.5, 0.0}}, N, 1024.0), times = scanTimes(N, 1024.0);
        CardMeasurementInput in = inputFor(data, N, 1024.0, masks, 0, times);
        in.iterations = 21;
        bool flag = false;
        const MeasurementMessage expected[] = {MeasurementMessage::FitFailed, MeasurementMessage::None,
                                               MeasurementMessage::FitFailed};
        for (MeasurementMessage message : expected) {
            CardMeasurement m = measureCard(in);
            QVERIFY(m.fitFailed && m.error.empty());
            QCOMPARE(int(settleCardMeasurement(m, flag)), int(message));
            QCOMPARE(flag, message == MeasurementMessage::FitFailed);
            for (int column = 0; column < measurementColumnCount; ++column)
                QCOMPARE(figureColumn(m.figures[0], column), 0.0);
        }
    }

    void clipboardText()
    {
        ChannelFigures one;
        one.amplitude = 1.0000004;
        one.mean = -0.0012345;
        one.rms = 0.7071068;
        one.frequency = 1000.00049;
        one.phaseUs = 0.0;
        one.thdDb = -80.126;
        one.sinad = 79.5;
        one.snr = 99.994;
        one.sfdr = std::numeric_limits<double>::infinity();
        one.enob = std::nan("");
        ChannelFigures three = one;
        three.phaseUs = -12.3456;
        setFigureMissing(three, 7); // SNR
        setFigureMissing(three, 9); // ENOB
        std::vector<ClipboardRow> rows(2);
        rows[0].channel = 1;
        rows[0].gainIndex = 0;
        rows[0].filterOn = false;
        rows[0].figures = one;
        rows[1].channel = 3;
        rows[1].gainIndex = 4;
        rows[1].filterOn = true;
        rows[1].figures = three;
        const std::string expected =
            "Number of scans: 8192, scan rate: 51200.000 Hz\n"
            "\n"
            "Channel, Gain, Filter (Hz), Amplitude (V), Mean (V), Vrms (V), Frequency (Hz), Phase (us), "
            "THD (dB), SINAD (dB), SNR (dB), SFDR (dB), ENOB\n"
            "1,0,off,1.000000,-0.001234,0.707107,1000.000,0.000,-80.13,79.50,99.99,inf,nan\n"
            "3,4,on,1.000000,-0.001234,0.707107,1000.000,-12.346,-80.13,79.50,-,inf,-\n";
        QCOMPARE(QString::fromStdString(measurementClipboardText(8192, 51200.0, rows)), QString::fromStdString(expected));
    }

    // The tool on a file of a session beyond 64 cards, three blocks of
    // continuous sines on its first and last card.
    void toolMeasuresStoredFile()
    {
        QVERIFY(dir.isValid());
        const int N = 4096;
        const double fs = 51200.0;
        std::vector<uint16_t> masks(65, 0);
        masks.front() = 0x0003;
        masks.back() = 0x0104;
        // Card 1: channels 1, 2; card 65: channels 3 and 9. 1000 Hz is on a bin.
        const std::vector<Channel> channels = {{1.0, 1000.0, 0.2, 0.0},
                                               {1.0, 2000.0, 0.2, 0.0},
                                               {0.5, 1000.0, 0.3, 0.1},
                                               {2.0, 1000.0, 1.1, -0.25}};
        const QString path = dir.filePath("sines.bin6842");
        FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
        const StoredLayout layout{fs, N, int(masks.size()), masks.data(), false};
        bool ok = file && writeBinaryHeader(file, layout);
        for (int block = 0; block < 3 && ok; ++block) {
            const std::vector<double> data = makeBlock(channels, N, fs, (long long)block * N);
            ok = writeBinaryBlock(file, data.data(), channels.size(), size_t(N), nullptr, nullptr);
        }
        QVERIFY(file && std::fclose(file) == 0 && ok);

        for (const QStringList &options : {QStringList{"--blocks", "2"}, QStringList{"--blocks", "1:3", "--average"}}) {
            const Run run = sfpmeasure(QStringList{path, "--card", "65", "--format", "json", "--iterations", "2"} + options);
            QCOMPARE(run.exitCode, 0);
            const QJsonObject root = QJsonDocument::fromJson(run.out).object();
            QCOMPARE(root.value("scans").toInt(), N);
            const QJsonObject table = options.contains("--average") ? root.value("average").toObject()
                                                                      : root.value("blocks").toArray().at(0).toObject();
            const QJsonArray rows = table.value("channels").toArray();
            QCOMPARE(rows.size(), 2);
            for (int i = 0; i < 2; ++i) {
                const Channel &c = channels[size_t(2 + i)];
                const QJsonObject row = rows.at(i).toObject();
                QCOMPARE(row.value("channel").toInt(), i == 0 ? 3 : 9);
                // A file holds no gain or filter.
                QVERIFY(row.contains("gain") && row.value("gain").isNull());
                QVERIFY(row.contains("filter") && row.value("filter").isNull());
                QVERIFY(std::fabs(row.value("amplitudeV").toDouble() - c.amplitude) < 1e-9);
                QVERIFY(std::fabs(row.value("meanV").toDouble() - c.offset) < 1e-9);
                QVERIFY(std::fabs(row.value("vrmsV").toDouble() - std::sqrt(c.amplitude * c.amplitude / 2 + c.offset * c.offset)) < 1e-9);
                QVERIFY(std::fabs(row.value("frequencyHz").toDouble() - 1000.0) < 1e-6);
                QVERIFY(std::fabs(row.value("phaseUs").toDouble() - phaseUs(c.phase, 0.3, 1000.0)) < 1e-4);
                QVERIFY(row.value("snrDb").toDouble() > 150);
            }
        }

        // CSV: the panel's clipboard layout after a block line.
        const Run csv = sfpmeasure({path, "--blocks", "3"});
        QCOMPARE(csv.exitCode, 0);
        const QList<QByteArray> lines = csv.out.split('\n');
        QCOMPARE(lines.value(0), QByteArray("Block: 3"));
        QCOMPARE(lines.value(1), QByteArray("Number of scans: 4096, scan rate: 51200.000 Hz"));
        QCOMPARE(lines.value(2), QByteArray());
        QVERIFY(lines.value(3).startsWith("Channel, Gain, Filter (Hz), Amplitude (V)"));
        // Card 1: amplitude, mean, Vrms, frequency, phase as printed.
        const double expected[2][5] = {{1.0, 0.0, std::sqrt(0.5), 1000.0, 0.0}, {1.0, 0.0, std::sqrt(0.5), 2000.0, 0.0}};
        for (int i = 0; i < 2; ++i) {
            const QList<QByteArray> fields = lines.value(4 + i).split(',');
            QCOMPARE(fields.size(), 13);
            QCOMPARE(fields[0], QByteArray::number(i + 1));
            QCOMPARE(fields[1], QByteArray("-"));
            QCOMPARE(fields[2], QByteArray("-"));
            for (int column = 0; column < 5; ++column)
                QVERIFY2(std::fabs(fields[3 + column].toDouble() - expected[i][column])
                             <= 0.5 * std::pow(10.0, -measurementColumnDecimals[column]),
                         fields[3 + column].constData());
            QCOMPARE(fields[3].split('.').value(1).size(), 6); // decimals of the table
            QCOMPARE(fields[6].split('.').value(1).size(), 3);
            QCOMPARE(fields[12].split('.').value(1).size(), 2);
        }
        QCOMPARE(lines.size(), 7); // the last line ends with a line end
    }

    // --details: the harmonic table of each channel with the settings used,
    // in JSON and as a second CSV table (the file of the test above).
    void toolDetails()
    {
        const QString path = dir.filePath("sines.bin6842");
        const QStringList settings{"--harmonics", "5", "--band", "0:20000"};
        const Run json = sfpmeasure(QStringList{path, "--card", "65", "--format", "json", "--details", "--blocks", "1"} + settings);
        QCOMPARE(json.exitCode, 0);
        const QJsonObject root = QJsonDocument::fromJson(json.out).object();
        QCOMPARE(root.value("settings").toObject().value("harmonics").toInt(), 5);
        QCOMPARE(root.value("settings").toObject().value("bandHighHz").toDouble(), 20000.0);
        const QJsonArray rows = root.value("blocks").toArray().at(0).toObject().value("channels").toArray();
        QCOMPARE(rows.size(), 2);
        const double amplitudes[] = {0.5, 2.0}; // channels 3 and 9 at 1000 Hz
        for (int i = 0; i < 2; ++i) {
            const QJsonObject details = rows.at(i).toObject().value("details").toObject();
            QVERIFY(std::fabs(details.value("fundamentalDbfs").toDouble() - 20 * std::log10(amplitudes[i] / 10)) < 0.01);
            const QJsonArray harmonics = details.value("harmonics").toArray();
            QCOMPARE(harmonics.size(), 4);
            for (int n = 2; n <= 5; ++n)
                QVERIFY(std::fabs(harmonics.at(n - 2).toObject().value("frequencyHz").toDouble() - 1000.0 * n) < 0.125);
        }

        AnalysisSettings expected;
        expected.harmonics = 5;
        expected.bandHighHz = 20000.0;
        const Run csv = sfpmeasure(QStringList{path, "--details", "--blocks", "1"} + settings);
        QCOMPARE(csv.exitCode, 0);
        const QList<QByteArray> lines = csv.out.split('\n');
        const int second = lines.indexOf(QByteArray(analysisSettingsLine(expected).c_str()));
        QVERIFY2(second > 6, csv.out.constData());
        QCOMPARE(lines.value(second - 1), lines.value(1)); // the scans and rate line
        QVERIFY(lines.value(second + 2).startsWith("Channel, H2 (Hz), H2 (dBc), H2 (dBFS), H3 (Hz)"));
        QCOMPARE(lines.value(second + 3).split(',').size(), 1 + detailsColumnCount(5));
        QVERIFY(lines.value(second + 3).startsWith("1,2000.000,"));
    }

    void toolExitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("no file") << QStringList{} << 1;
        QTest::newRow("unknown option") << QStringList{"FILE", "--fast"} << 1;
        QTest::newRow("padding 3") << QStringList{"FILE", "--padding", "3"} << 1;
        QTest::newRow("iterations 8") << QStringList{"FILE", "--iterations", "8"} << 1;
        QTest::newRow("format xml") << QStringList{"FILE", "--format", "xml"} << 1;
        QTest::newRow("card 66 of 65") << QStringList{"FILE", "--card", "66"} << 1;
        QTest::newRow("block 4 of 3") << QStringList{"FILE", "--blocks", "2:4"} << 1;
        QTest::newRow("31 harmonics") << QStringList{"FILE", "--harmonics", "31"} << 1;
        QTest::newRow("band upside down") << QStringList{"FILE", "--band", "5000:20"} << 1;
        QTest::newRow("band not a number") << QStringList{"FILE", "--band", "20:high"} << 1;
        QTest::newRow("DC 101 bins") << QStringList{"FILE", "--dc-bins", "101"} << 1;
        QTest::newRow("start in the middle") << QStringList{"FILE", "--start", "middle"} << 1;
        QTest::newRow("missing file") << QStringList{"MISSING"} << 2;
        QTest::newRow("not a data file") << QStringList{"TEXT"} << 2;
        QTest::newRow("output to a full disk") << QStringList{"FILE", "FULL"} << 3;
    }
    void toolExitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFile text(dir.filePath("notes.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("hello\n") > 0);
        text.close();
        arguments.replaceInStrings("FILE", dir.filePath("sines.bin6842"));
        arguments.replaceInStrings("MISSING", dir.filePath("missing.bin6842"));
        arguments.replaceInStrings("TEXT", text.fileName());
        const bool full = arguments.removeAll("FULL") > 0;
        const Run run = sfpmeasure(arguments, full ? QStringLiteral("/dev/full") : QString());
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0)
            QVERIFY(run.out.startsWith("Usage: sfpmeasure"));
        else
            QVERIFY(!run.err.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestAnalysisMeasurement)
#include "test_analysis_measurement.moc"
