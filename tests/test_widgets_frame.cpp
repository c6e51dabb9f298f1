// The main-panel frame (start/stop state machine, close confirmation, module
// labels) and the LED (states, toggling, flat versus bevelled painting).
#include "messagerecorder.h"
#include "nv9471fp_app.h"
#include "nv9471fp_genFC.h"
#include "nv9471fp_led.h"

#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QtTest>

namespace {
// Only the model code matters to the frame's boxes.
class TestCard : public nv9471fp_genFC
{
public:
    TestCard() : nv9471fp_genFC(0x6842) {}
    bool isSupportedModel(ViUInt16) const override { return false; }
    QString description() const override { return QString(); }
    QString legalNotice() const override { return QString(); }
    QString version() const override { return QString(); }
    QString driverRevision() const override { return QString(); }
    QString errorMessage(ViStatus) const override { return QString(); }
    ViStatus multInit(ViRsrc, ViInt16[], ViBoolean, ViBoolean, ViSession *) override { return 0; }
    ViStatus multInitStore(ViRsrc, ViInt16[], ViInt16, ViBoolean, ViBoolean, ViSession *) override
    {
        return 0;
    }
    ViStatus multReinit(ViSession *) override { return 0; }
    ViStatus multClose(ViSession) override { return 0; }
    ViStatus multReset(ViSession) override { return 0; }
    ViStatus fcSession(ViSession, ViInt16, ViSession *) override { return -1; }
    QString fcSessionCallText() const override { return QString(); }
};

struct FrameSpies {
    explicit FrameSpies(nv9471fp_app *frame)
        : startSingle(frame, &nv9471fp_app::startSingle),
          breakSingle(frame, &nv9471fp_app::breakSingle),
          startCont(frame, &nv9471fp_app::startCont),
          stopCont(frame, &nv9471fp_app::stopCont)
    {
    }
    int total() const
    {
        return startSingle.count() + breakSingle.count() + startCont.count() + stopCont.count();
    }
    QSignalSpy startSingle, breakSingle, startCont, stopCont;
};

// Grey pixels much darker than the window: the bevel's dark arcs.
int darkGreyPixels(const QImage &image, int right)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < qMin(right, image.width()); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 170 && c.green() < 170 && qAbs(c.red() - c.green()) < 25
                && qAbs(c.green() - c.blue()) < 25)
                ++count;
        }
    }
    return count;
}

// Bands of rows with dark pixels inside the area: the text lines drawn there.
int inkBands(const QImage &image, const QRect &area)
{
    int bands = 0;
    bool inBand = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool ink = false;
        for (int x = area.left(); x <= area.right() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 128;
        if (ink && !inBand)
            ++bands;
        inBand = ink;
    }
    return bands;
}

QWidget *whatsThisPopup()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->inherits("QWhatsThat"))
            return widget;
    }
    return nullptr;
}

// The installed fonts decide which pixel sizes give which heights: the
// largest font lower than the threshold, or the smallest one reaching it.
QFont fontAroundThreshold(const QFont &base, bool reaching)
{
    QFont found = base;
    for (int pixels = 3; pixels < 40; ++pixels) {
        QFont font = base;
        font.setPixelSize(pixels);
        const int height = QFontMetrics(font).height();
        if (!reaching && height < 10)
            found = font;
        if (reaching && height >= 10)
            return font;
    }
    return found;
}
} // namespace

class TestWidgetsFrame : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { sfp::setMessageCard(&card); }

    void initialControls()
    {
        nv9471fp_app frame;
        QVERIFY(frame.titleLabel->text().isEmpty());
        QCOMPARE(frame.titleLabel->alignment(), Qt::AlignCenter);
        QVERIFY(frame.slotLabel->isHidden());
        QVERIFY(frame.fcLabel->isHidden());
        QVERIFY(frame.autoscaleButton->isHidden());
        QVERIFY(frame.identButton->isHidden());
        QVERIFY(frame.singleButton->isHidden());
        QVERIFY(frame.contButton->isHidden());
        QVERIFY(!frame.resetButton->isHidden());
        QVERIFY(frame.autoscaleButton->isChecked());
        QCOMPARE(frame.autoscaleButton->text(), QStringLiteral("ON"));
        QCOMPARE(frame.identButton->text(), QStringLiteral("OFF"));
        QVERIFY(!frame.identButton->isChecked());
        QCOMPARE(frame.singleButton->toolTip(),
                 QStringLiteral("Starts the single-shot data acquisition"));
        QCOMPARE(frame.activeLed->label(), QStringLiteral("Active"));
        QCOMPARE(frame.activeLed->value(), 0);
        QVERIFY(frame.activeLed->whatsThis().startsWith(
            QStringLiteral("Green light means that the Soft Front Panel works\n")));
        QVERIFY(frame.helpButton->text().isEmpty());
        QVERIFY(!frame.helpButton->icon().isNull());
        QVERIFY(!frame.carrierLogo->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(!frame.windowIcon().isNull());
        QCOMPARE(frame.aboutButton->whatsThis(), QStringLiteral("Displays \"About\" panel"));
    }

    void singleShotStateMachine()
    {
        nv9471fp_app frame;
        FrameSpies spies(&frame);
        frame.singleButton->click();
        QCOMPARE(spies.startSingle.count(), 1);
        QVERIFY(!frame.contButton->isEnabled());
        QVERIFY(frame.singleButton->isEnabled());
        QCOMPARE(frame.singleButton->toolTip(),
                 QStringLiteral("Breaks the Single-Shot Data Acquisition"));
        QCOMPARE(frame.singleButton->whatsThis(), frame.singleButton->toolTip());

        frame.singleButton->click();
        QCOMPARE(spies.breakSingle.count(), 1);
        QCOMPARE(frame.singleButton->toolTip(),
                 QStringLiteral("Starts the Single-Shot Data Acquisition"));
        // Both stay disabled until the acquisition has really ended.
        QVERIFY(!frame.singleButton->isEnabled());
        QVERIFY(!frame.contButton->isEnabled());
        frame.enableStart();
        QVERIFY(frame.singleButton->isEnabled());
        QVERIFY(frame.contButton->isEnabled());
        QCOMPARE(spies.total(), 2);
    }

    void repetitiveStateMachine()
    {
        nv9471fp_app frame;
        FrameSpies spies(&frame);
        const QString initialTip = frame.contButton->toolTip();
        frame.contButton->click();
        QCOMPARE(spies.startCont.count(), 1);
        QVERIFY(!frame.singleButton->isEnabled());
        QCOMPARE(frame.contButton->toolTip(), QStringLiteral("Stops the Data Acquisition process"));

        frame.contButton->click();
        QCOMPARE(spies.stopCont.count(), 1);
        QVERIFY(!frame.singleButton->isEnabled());
        QVERIFY(!frame.contButton->isEnabled());
        QCOMPARE(frame.contButton->toolTip(), initialTip);
        QVERIFY(initialTip.startsWith(QStringLiteral("<html>Starts the repetitive")));
        QCOMPARE(spies.total(), 2);
    }

    void userBreakStopsWhatRuns()
    {
        nv9471fp_app frame;
        FrameSpies spies(&frame);
        frame.contButton->click();
        frame.userBreak();
        QCOMPARE(spies.stopCont.count(), 1);
        QVERIFY(!frame.contButton->isChecked());
        QVERIFY(frame.contButton->isEnabled());
        QVERIFY(frame.singleButton->isEnabled());

        frame.singleButton->click();
        frame.userBreak();
        QCOMPARE(spies.breakSingle.count(), 1);
        QVERIFY(!frame.singleButton->isChecked());
        QVERIFY(frame.singleButton->isEnabled());
        QVERIFY(frame.contButton->isEnabled());
        QCOMPARE(spies.total(), 4);
    }

    void userBreakWithNothingRunningOnlyEnables()
    {
        nv9471fp_app frame;
        frame.singleButton->click();
        frame.singleButton->click(); // now both disabled
        FrameSpies spies(&frame);
        frame.userBreak();
        QCOMPARE(spies.total(), 0);
        QVERIFY(frame.singleButton->isEnabled());
        QVERIFY(frame.contButton->isEnabled());
    }

    void switchesEmitAndRelabel()
    {
        nv9471fp_app frame;
        QSignalSpy autoscale(&frame, &nv9471fp_app::autoscaleToggled);
        QSignalSpy ident(&frame, &nv9471fp_app::identToggled);
        QSignalSpy reset(&frame, &nv9471fp_app::resetPressed);
        frame.autoscaleButton->click();
        QCOMPARE(frame.autoscaleButton->text(), QStringLiteral("OFF"));
        QCOMPARE(autoscale.count(), 1);
        QCOMPARE(autoscale.at(0).at(0).toBool(), false);
        frame.identButton->click();
        QCOMPARE(frame.identButton->text(), QStringLiteral("ON"));
        QCOMPARE(ident.at(0).at(0).toBool(), true);
        frame.resetButton->click();
        QCOMPARE(reset.count(), 1);
    }

    void closeAnsweredNoKeepsTheWindow()
    {
        MessageRecorder recorder;
        nv9471fp_app frame;
        frame.show();
        recorder.answerStandard(QMessageBox::No);
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().title, QStringLiteral("Trellin 6842 SFP"));
        QCOMPARE(recorder.last().text, QStringLiteral("Do you really want to exit?"));
        QCOMPARE(recorder.last().icon, QMessageBox::Question);
        QCOMPARE(recorder.last().buttons, QMessageBox::Yes | QMessageBox::No);

        recorder.answerStandard(QMessageBox::Yes);
        frame.closeButton->click();
        QVERIFY(!frame.isVisible());
        QCOMPARE(recorder.count(), 2);
        QVERIFY(recorder.exitCodes.isEmpty());
    }

    void moduleLabels()
    {
        nv9471fp_app frame;
        frame.setSlotText(QStringLiteral("Slot: 3"), QStringLiteral("The carrier slot"));
        QVERIFY(!frame.slotLabel->isHidden());
        QCOMPARE(frame.slotLabel->text(), QStringLiteral("Slot: 3"));
        QCOMPARE(frame.slotLabel->whatsThis(), QStringLiteral("The carrier slot"));
        frame.setSlotText(QString(), QString());
        QVERIFY(frame.slotLabel->isHidden());
        QCOMPARE(frame.slotLabel->whatsThis(), QStringLiteral("The carrier slot"));
        frame.setFcText(QStringLiteral("FC: 2"));
        QVERIFY(!frame.fcLabel->isHidden());
        QVERIFY(frame.fcLabel->whatsThis().isEmpty());
    }

    void bannerDemoAutoscaleAndContent()
    {
        nv9471fp_app frame;
        frame.setTitleText(QStringLiteral("Trellin 6842"));
        QCOMPARE(frame.titleLabel->text(), QStringLiteral("Trellin 6842"));

        const QImage vxi = frame.carrierLogo->pixmap(Qt::ReturnByValue).toImage();
        frame.setCarrierLxi(false);
        QCOMPARE(frame.carrierLogo->pixmap(Qt::ReturnByValue).toImage(), vxi);
        frame.setCarrierLxi(true);
        const QImage lxi = frame.carrierLogo->pixmap(Qt::ReturnByValue).toImage();
        QVERIFY(lxi != vxi);
        QCOMPARE(lxi, QImage(QStringLiteral(":/lxi-logo.bmp")).convertToFormat(lxi.format()));

        frame.setDemo(false);
        QCOMPARE(frame.activeLed->value(), 1);
        frame.setDemo(true);
        QCOMPARE(frame.activeLed->value(), 0);

        frame.showAutoscale(true);
        QVERIFY(!frame.autoscaleButton->isHidden());
        QVERIFY(!frame.autoscaleLabel->isHidden());
        QCOMPARE(frame.size(), QSize(800, 600));
        frame.showAutoscale(false);
        QVERIFY(frame.autoscaleButton->isHidden());

        auto *content = new QVBoxLayout;
        frame.setContentLayout(content);
        QCOMPARE(frame.contentArea->layout(), content);
        QVERIFY(frame.layout() != content);
    }

    void ledConstructorsAndStates()
    {
        nv9471fp_led windowOff(QStringLiteral("A"), Qt::green);
        QCOMPARE(windowOff.offColour(), windowOff.palette().color(QPalette::Window));
        QCOMPARE(windowOff.thirdColour(), QColor(Qt::black));
        QVERIFY(!windowOff.hasThirdColour());
        QCOMPARE(windowOff.value(), 0);
        QCOMPARE(windowOff.sizePolicy().horizontalPolicy(), QSizePolicy::Maximum);
        QCOMPARE(windowOff.sizePolicy().verticalPolicy(), QSizePolicy::Maximum);

        nv9471fp_led blueOff(QStringLiteral("B"), Qt::green, Qt::blue);
        QCOMPARE(blueOff.offColour(), QColor(Qt::blue));

        nv9471fp_led named(QStringLiteral("C"), QString(), nullptr);
        QCOMPARE(named.onColour(), QColor(QStringLiteral("#FF0000")));
        QCOMPARE(named.offColour(), named.palette().color(QPalette::Window));
        nv9471fp_led yellow(QStringLiteral("D"), QStringLiteral("yellow"), nullptr);
        QCOMPARE(yellow.onColour(), QColor(Qt::yellow));

        // State 2 shows the on-colour until a third colour is set.
        blueOff.setValue(2);
        QCOMPARE(blueOff.stateColour(), QColor(Qt::green));
        blueOff.setThirdColour(Qt::yellow);
        QVERIFY(blueOff.hasThirdColour());
        QCOMPARE(blueOff.stateColour(), QColor(Qt::yellow));
        blueOff.setValue(0);
        QCOMPARE(blueOff.stateColour(), QColor(Qt::blue));
    }

    void ledToggles()
    {
        nv9471fp_led led(QStringLiteral("L"), Qt::green);
        QSignalSpy toggled(&led, &nv9471fp_led::valueToggled);
        led.setValue(2);
        led.toggleValue();
        QCOMPARE(led.value(), 0);
        led.toggleValue();
        QCOMPARE(led.value(), 1);
        led.toggleValue();
        QCOMPARE(led.value(), 0);
        QCOMPARE(toggled.count(), 3);
    }

    void ledRepaintsOnlyOnChange()
    {
        nv9471fp_led led(QStringLiteral("L"), Qt::green);
        led.show();
        QVERIFY(QTest::qWaitForWindowExposed(&led));
        PaintCounter counter;
        led.installEventFilter(&counter);
        led.setValue(0);
        led.setLabel(QStringLiteral("L"));
        QCoreApplication::processEvents();
        QCOMPARE(counter.paints, 0);
        led.setValue(1);
        QTRY_VERIFY(counter.paints > 0);
    }

    void ledPaintingThreshold()
    {
        QVERIFY(!nv9471fp_led::isBevelled(9));
        QVERIFY(nv9471fp_led::isBevelled(10));

        nv9471fp_led small(QString(), Qt::green);
        nv9471fp_led large(QString(), Qt::green);
        const QFont below = fontAroundThreshold(small.font(), false);
        const QFont reaching = fontAroundThreshold(large.font(), true);
        const int hSmall = QFontMetrics(below).height();
        const int hLarge = QFontMetrics(reaching).height();
        QVERIFY(hSmall < 10);
        QVERIFY(hLarge >= 10 && hLarge < 14);
        small.setFont(below);
        large.setFont(reaching);
        for (nv9471fp_led *led : {&small, &large}) {
            led->setValue(1);
            led->resize(led->minimumSizeHint());
        }
        const QImage flat = small.grab().toImage();
        const QImage bevelled = large.grab().toImage();
        // Only the bevelled lamp has dark rings; both show the on-colour inside.
        QCOMPARE(darkGreyPixels(flat, hSmall + 3), 0);
        QVERIFY(darkGreyPixels(bevelled, hLarge + 3) > 0);
        QCOMPARE(flat.pixelColor(2 + hSmall / 2, hSmall / 2), QColor(Qt::green));
        QCOMPARE(bevelled.pixelColor(2 + hLarge / 2, hLarge / 2), QColor(Qt::green));

        // The off state paints a different lamp.
        large.setValue(0);
        QVERIFY(large.grab().toImage() != bevelled);
    }

    void ledWhatsThisKeepsLinesWhole_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("application font") << 0;
        QTest::newRow("large font") << 20;
    }

    // Qt wraps a plain What's This text at a width of its own, which can put
    // one word on a line by itself; the LED's lines stay as written.
    void ledWhatsThisKeepsLinesWhole()
    {
        QFETCH(int, pointSize);
        const QFont original = QApplication::font();
        QFont font = original;
        if (pointSize > 0)
            font.setPointSize(pointSize);
        QApplication::setFont(font);
        {
            nv9471fp_app frame;
            const QStringList lines = frame.activeLed->whatsThis().split(QLatin1Char('\n'));
            QCOMPARE(lines.size(), 2);
            QHelpEvent help(QEvent::WhatsThis, QPoint(1, 1),
                            frame.activeLed->mapToGlobal(QPoint(1, 1)));
            QApplication::sendEvent(frame.activeLed, &help);
            QWidget *popup = whatsThisPopup();
            QVERIFY(popup);
            const QFontMetrics metrics(popup->font());
            QCOMPARE(popup->font().pointSize(), font.pointSize());
            for (const QString &line : lines) {
                QVERIFY(line.split(QLatin1Char(' ')).size() > 1);
                QVERIFY2(metrics.horizontalAdvance(line) < popup->width(),
                         qPrintable(QStringLiteral("%1 px line, %2 px popup")
                                        .arg(metrics.horizontalAdvance(line))
                                        .arg(popup->width())));
            }
            // Exactly the two lines of text, none of them wrapped.
            const QImage image = popup->grab().toImage();
            QCOMPARE(inkBands(image, image.rect().adjusted(3, 3, -8, -8)), lines.size());
            QWhatsThis::hideText();
        }
        QApplication::setFont(original);
    }

private:
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    };
    TestCard card;
};

QTEST_MAIN(TestWidgetsFrame)
#include "test_widgets_frame.moc"
