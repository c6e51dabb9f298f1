// The 6842 card description and the splash picture painted from it.
#include "nv6842_fc.h"
#include "nv6842.h"
#include "nv9471fp_splashLabel.h"
#include "trellin_sim.h"

#include <QImage>
#include <QResource>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <string>

class TestCardDescription : public QObject
{
    Q_OBJECT
private slots:
    void supportsOnlyThe6842()
    {
        QCOMPARE(gl_fc.modelCode, 0x6842);
        QVERIFY(gl_fc.isSupportedModel(0x6842));
        QVERIFY(!gl_fc.isSupportedModel(0x6851));
        QVERIFY(!gl_fc.isSupportedModel(0));
        QVERIFY(!gl_fc.isSupportedModel(0x6843));
    }

    void textsAreTheCardsOwn()
    {
        QCOMPARE(gl_fc.description(),
                 QStringLiteral("16-Channel, 24-bit Sigma-Delta ADC Function Card"));
        QCOMPARE(gl_fc.version(), QStringLiteral("4.3.16.12460"));
        QVERIFY(!gl_fc.legalNotice().isEmpty());
        QVERIFY(!gl_fc.driverRevision().isEmpty());
    }

    void errorMessageFallsBackToEmpty()
    {
        // The driver explains its own codes ...
        QVERIFY(!gl_fc.errorMessage(nv6842_ERROR_RSRC_NFOUND).isEmpty());
        // ... and leaves the rest to the common library.
        QCOMPARE(gl_fc.errorMessage(ViStatus(0x12345678)), QString());
    }

    void storedDescriptorIsCutButPassedWhole()
    {
        std::string longList;
        while (longList.size() < 2100)
            longList += "TCPIP0::10.0.0.1::INSTR,";
        longList.pop_back();
        ViInt16 numbers[256] = {};
        for (int i = 0; i < 256; ++i)
            numbers[i] = ViInt16(i % 8 + 1);
        ViSession session = 0;
        const ViStatus status = gl_fc.multInitStore(const_cast<char *>(longList.c_str()), numbers,
                                                    256, VI_TRUE, VI_TRUE, &session);
        QCOMPARE(std::strlen(gl_fc.lastDescriptor), size_t(2047));
        QCOMPARE(std::string(gl_fc.lastDescriptor), longList.substr(0, 2047));
        QCOMPARE(gl_fc.lastFcNumbers[255], ViInt16(8));
        // The driver received the whole list, not the stored copy.
        std::string received(longList.size() + 2, 'x');
        QCOMPARE(trellinSimLastMultInitDescriptors(&received[0], int(received.size())),
                 int(longList.size()));
        QCOMPARE(std::string(received.c_str()), longList);
        // Nothing answers at that address.
        QVERIFY(status < 0);
        QCOMPARE(session, ViSession(0));
    }

    void reinitReopensTheStoredCards()
    {
        ViInt16 numbers[1] = {1};
        ViSession first = 0;
        QCOMPARE(gl_fc.multInitStore(const_cast<char *>("VXI0::2::INSTR"), numbers, 1, VI_TRUE,
                                     VI_TRUE, &first),
                 ViStatus(0));
        QVERIFY(first != 0);
        QCOMPARE(gl_fc.multClose(first), ViStatus(0));
        ViSession again = 0;
        QCOMPARE(gl_fc.multReinit(&again), ViStatus(0));
        QVERIFY(again != 0);
        QCOMPARE(gl_fc.multReset(again), ViStatus(0));
        ViSession card = 0;
        QCOMPARE(nv6842_getMultFCsession(again, 0, &card), ViStatus(0));
        QVERIFY(card != 0);
        QCOMPARE(gl_fc.multClose(again), ViStatus(0));
    }

    void splashPlacesTheDevicePicture()
    {
        QString middle = gl_fc.description();
        middle.replace(QStringLiteral(" Function Card"), QStringLiteral(" FC"));
        QCOMPARE(middle, QStringLiteral("16-Channel, 24-bit Sigma-Delta ADC FC"));
        const nv9471fp_splashLabel splash(1.0f, 20, gl_fc.modelCode, true, gl_fc.legalNotice(),
                                          middle);
        QCOMPARE(splash.size(), QSize(520, 400));
        // The program ships the 452 x 194 device picture, drawn at (67, 43).
        QCOMPARE(splash.devicePictureRect(), QRect(67, 43, 452, 194));
        const QImage drawn = splash.toImage();
        const QImage device(QStringLiteral(":/nv6842fp_splash.png"));
        QCOMPARE(drawn.pixelColor(67 + 100, 43 + 60), device.pixelColor(100, 60));
        QCOMPARE(drawn.pixelColor(67 + 451, 43 + 193), device.pixelColor(451, 193));
    }

    void splashTakesPartOfAFullSizeDeviceBitmap()
    {
        // A 520 x 400 bitmap for the model text "7777": red where its part
        // (67, 38) ... (519, 236) lies, blue around it.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QImage bitmap(520, 400, QImage::Format_RGB32);
        bitmap.fill(Qt::blue);
        for (int y = 38; y <= 236; ++y)
            for (int x = 67; x <= 519; ++x)
                bitmap.setPixelColor(x, y, Qt::red);
        QVERIFY(bitmap.save(dir.filePath(QStringLiteral("nv7777fp_splash.bmp")), "BMP"));
        QFile qrc(dir.filePath(QStringLiteral("device.qrc")));
        QVERIFY(qrc.open(QIODevice::WriteOnly));
        qrc.write("<RCC><qresource prefix=\"/\"><file>nv7777fp_splash.bmp</file></qresource></RCC>\n");
        qrc.close();
        const QString rcc = dir.filePath(QStringLiteral("device.rcc"));
        QProcess compiler;
        compiler.setWorkingDirectory(dir.path());
        compiler.start(QStringLiteral(SFP_RCC_PATH),
                       {QStringLiteral("-binary"), QStringLiteral("device.qrc"), QStringLiteral("-o"), rcc});
        QVERIFY(compiler.waitForFinished(30000));
        QCOMPARE(compiler.exitCode(), 0);
        QVERIFY(QResource::registerResource(rcc));

        const nv9471fp_splashLabel splash(1.0f, 20, 0x7777, true, QStringLiteral("footer"),
                                          QStringLiteral("middle"));
        QVERIFY(QResource::unregisterResource(rcc));
        QCOMPARE(splash.devicePictureRect(), QRect(67, 38, 453, 199));
        const QImage drawn = splash.toImage();
        const QColor red(Qt::red);
        QCOMPARE(drawn.pixelColor(67, 38), red);
        QCOMPARE(drawn.pixelColor(519, 236), red);
        QCOMPARE(drawn.pixelColor(300, 150), red);
        // Nothing of the blue surround reaches the picture.
        const QColor blue(Qt::blue);
        for (int x = 0; x < 520; x += 7) {
            QVERIFY(drawn.pixelColor(x, 37) != blue);
            QVERIFY(drawn.pixelColor(x, 237) != blue);
        }
    }

    void splashWithoutDevicePictureStillPaintsTexts()
    {
        // Decimal model text "26690" names no picture resource.
        const nv9471fp_splashLabel splash(1.0f, 20, 26690, false, QStringLiteral("footer"),
                                          QStringLiteral("middle"));
        QCOMPARE(splash.devicePictureRect(), QRect());
        const QImage background(QStringLiteral(":/fp_splash.png"));
        const QImage drawn = splash.toImage().convertToFormat(background.format());
        // The title row differs from the bare background: text was drawn there.
        bool differs = false;
        for (int x = 87; x < 499 && !differs; ++x)
            for (int y = 240; y < 290 && !differs; ++y)
                differs = drawn.pixel(x, y) != background.pixel(x, y);
        QVERIFY(differs);
    }
};

QTEST_MAIN(TestCardDescription)
#include "test_card_description.moc"
