// The caption of plot pictures, checked against its quoted parts, with a
// desktop language that writes decimal commas.
#include "pictureCaption.h"

#include <QtTest>

#include <clocale>

Q_DECLARE_METATYPE(pictureCaptionInput)

class TestLogicCaption : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_ALL, "de_DE.UTF-8"); // where the locale exists
    }

    void caption_data()
    {
        QTest::addColumn<pictureCaptionInput>("in");
        QTest::addColumn<QString>("expected");
        pictureCaptionInput file;
        file.shownChannels = {0x00ED, 0x0000, 0x8003};
        file.rateHz = 12345.5;
        file.scans = 2048;
        file.block = 12;
        file.blockCount = 40;
        file.hasStamp = true;
        file.stampSeconds = 1714564837;
        file.stampNanos = 1000;
        file.fileName = QStringLiteral("run.bin6842");
        QTest::newRow("stored block with stamps")
            << file << "FC1 Ch 1, 3, 4, 6-8; FC3 Ch 1, 2, 16 | 12345.5 Hz | 2048 scans per block | "
                       "block 12 of 40, first time stamp 1714564837.000001000 s | file run.bin6842";
        pictureCaptionInput live;
        live.shownChannels = {0x0001};
        live.rateHz = 10000;
        live.scans = 32;
        live.block = 3;
        live.acquired = QDateTime(QDate(2024, 5, 1), QTime(12, 0, 5), Qt::UTC);
        QTest::newRow("acquired block")
            << live << "FC1 Ch 1 | 10000 Hz | 32 scans per block | block 3, acquired 2024-05-01T12:00:05Z";
        pictureCaptionInput spectrum = live;
        spectrum.acquired = QDateTime();
        spectrum.spectrum = true;
        spectrum.windowName = pictureWindowName(4);
        spectrum.padding = 10;
        spectrum.spectrumMode = QStringLiteral("peak hold, 7 blocks");
        QTest::newRow("spectrum") << spectrum
                                  << "FC1 Ch 1 | 10000 Hz | 32 scans per block | block 3 | 4-Term Blackman-Harris "
                                     "window, zero padding 10 x | peak hold, 7 blocks";
        spectrum.windowName = pictureWindowName(99);
        spectrum.padding = 1;
        spectrum.spectrumMode.clear();
        QTest::newRow("no padding") << spectrum
                                    << "FC1 Ch 1 | 10000 Hz | 32 scans per block | block 3 | Rectangular window, "
                                       "zero padding off";
        pictureCaptionInput unit = live;
        unit.acquired = QDateTime();
        unit.customUnit = true;
        unit.unitName = QStringLiteral("mA");
        unit.unitOffset = -2.5;
        unit.unitMultiplier = 0.125;
        QTest::newRow("custom unit")
            << unit << "FC1 Ch 1 | 10000 Hz | 32 scans per block | block 3 | unit mA = (V + 2.5 V) x 0.125";
    }

    void caption()
    {
        QFETCH(pictureCaptionInput, in);
        QFETCH(QString, expected);
        QCOMPARE(pictureCaption(in), expected);
    }
};

QTEST_GUILESS_MAIN(TestLogicCaption)
#include "test_logic_caption.moc"
