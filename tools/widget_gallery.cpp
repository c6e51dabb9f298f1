// Shows one of the framework's widgets so that it can be looked at or
// screenshotted: widget_gallery <frame|leds|ptp|digits|about|qt-license|
// qwt-license|kiss-license> [--screenshot file.png]
#include "clickableLabel.h"
#include "nv9471fp_About.h"
#include "nv9471fp_PTPalarm.h"
#include "nv9471fp_app.h"
#include "nv9471fp_digitCtrl.h"
#include "nv9471fp_led.h"
#include "nv9471fp_licenses.h"

#include <QApplication>
#include <QDateTime>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

namespace {
const QString modelText = QStringLiteral("6842");

QWidget *makeFrame()
{
    auto *frame = new nv9471fp_app;
    frame->setWindowTitle(QStringLiteral("Trellin 6842 Soft Front Panel (gallery)"));
    frame->setTitleText(QStringLiteral("16-Channel, 24-bit Sigma-Delta ADC FC"));
    frame->setCarrierLxi(true);
    frame->setSlotText(QStringLiteral("Slot: 3"), QStringLiteral("Carrier slot of the card"));
    frame->setFcText(QStringLiteral("FC: 1"), QStringLiteral("Function card number"));
    frame->setDemo(false);
    frame->singleButton->show();
    frame->contButton->show();
    auto *content = new QVBoxLayout;
    auto *placeholder = new QLabel(QStringLiteral("content area"));
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setMinimumSize(420, 300);
    placeholder->setStyleSheet(QStringLiteral("QLabel { border: 1px dashed gray; }"));
    content->addWidget(placeholder);
    frame->setContentLayout(content);
    frame->showAutoscale(true);
    return frame;
}

QWidget *makeLeds()
{
    auto *window = new QWidget;
    window->setWindowTitle(QStringLiteral("LEDs"));
    auto *grid = new QGridLayout(window);
    const int pixelSizes[] = {7, 9, 12, 16, 24};
    for (int column = 0; column < 5; ++column) {
        QFont font = window->font();
        font.setPixelSize(pixelSizes[column]);
        for (int state = 0; state < 3; ++state) {
            auto *led = new nv9471fp_led(QStringLiteral("State %1").arg(state), Qt::green);
            led->setFont(font);
            led->setThirdColour(QColor(255, 170, 0));
            led->setValue(state);
            grid->addWidget(led, state, column);
        }
        auto *named = new nv9471fp_led(QStringLiteral("red"), QString(), nullptr);
        named->setFont(font);
        named->setValue(1);
        grid->addWidget(named, 3, column);
    }
    return window;
}

QWidget *makePtp()
{
    auto *window = new QWidget;
    window->setWindowTitle(QStringLiteral("PTP alarm"));
    auto *layout = new QVBoxLayout(window);
    auto *plain = new nv9471fp_PTPalarm(QString(), true, 10, true);
    auto *titled = new nv9471fp_PTPalarm(QStringLiteral("Start at:"), true, 30, true);
    for (nv9471fp_PTPalarm *alarm : {plain, titled}) {
        alarm->utcOffset = 37;
        layout->addWidget(alarm);
        // Answer like the owner does in demo mode: the system clock.
        QObject::connect(alarm, &nv9471fp_PTPalarm::setTimeRequest, alarm, [alarm](int offset) {
            alarm->setAlarmTime(QDateTime::currentSecsSinceEpoch() + alarm->utcOffset + offset);
        });
        QObject::connect(alarm, &nv9471fp_PTPalarm::requestCurrentTime, alarm, [alarm] {
            alarm->showCurrentTime(QDateTime::currentSecsSinceEpoch() + alarm->utcOffset);
        });
        alarm->setAlarmTime(QDateTime::currentSecsSinceEpoch() + alarm->utcOffset + 5);
        alarm->showCurrentTime(QDateTime::currentSecsSinceEpoch() + alarm->utcOffset);
    }
    return window;
}

QWidget *makeDigits()
{
    auto *window = new QWidget;
    window->setWindowTitle(QStringLiteral("Digit controls"));
    auto *form = new QFormLayout(window);
    const char *formats[] = {"%.3", "%g", "%e", "%E", "%+.2f"};
    for (const char *format : formats) {
        auto *control = new nv9471fp_digitCtrl(-10, 10, 0.5, QString::fromLatin1(format));
        control->setValue(1.25);
        form->addRow(QStringLiteral("floating \"%1\"").arg(QString::fromLatin1(format)), control);
    }
    const char *integerFormats[] = {"%d", "%x", "%X", "%o", "%.16"};
    for (const char *format : integerFormats) {
        auto *control = new nv9471fp_digitCtrl(intXXL::fromInt64(-1000), intXXL::fromInt64(100000),
                                               QString::fromLatin1(format));
        control->setValue(qint64(4660));
        if (QByteArray(format) == "%.16")
            control->setBase(5); // binary has no printf conversion of its own
        form->addRow(QStringLiteral("integer \"%1\"").arg(QString::fromLatin1(format)), control);
    }
    auto *unsignedControl = new nv9471fp_digitCtrl(intXXL::fromUInt64(0),
                                                   intXXL::fromUInt64(65535), QStringLiteral("%x"));
    unsignedControl->setValue(qint64(0xBEEF));
    form->addRow(QStringLiteral("unsigned \"%x\""), unsignedControl);
    return window;
}

QWidget *makeAbout()
{
    auto *about = new nv9471fp_About(
        QStringLiteral("4.3.16.12460"), QStringLiteral("4.3.2"), modelText,
        QStringLiteral("Copyright (C) Norvane Ltd. All rights reserved."), nullptr,
        QStringLiteral("2.7.0"), nv9471fp_linkedQwtVersion(), true);
    about->addHardwarePage(QStringLiteral("SN 100234"), QStringLiteral("B"),
                           QStringLiteral("SCU 6842-A"), QStringLiteral("Signal Conditioning Unit"),
                           QString());
    about->addHardwarePage(QStringLiteral("SN 100977"), QStringLiteral("C"),
                           QStringLiteral("SCU 6842-B"), QString(), QStringLiteral("Channels 9-16"));
    return about;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString what = args.value(1);
    const int shotIndex = args.indexOf(QStringLiteral("--screenshot"));
    const QString shotFile = shotIndex > 0 ? args.value(shotIndex + 1) : QString();

    QWidget *widget = nullptr;
    if (what == QLatin1String("frame"))
        widget = makeFrame();
    else if (what == QLatin1String("leds"))
        widget = makeLeds();
    else if (what == QLatin1String("ptp"))
        widget = makePtp();
    else if (what == QLatin1String("digits"))
        widget = makeDigits();
    else if (what == QLatin1String("about"))
        widget = makeAbout();
    else if (what == QLatin1String("qt-license"))
        widget = new qtLicense;
    else if (what == QLatin1String("qwt-license"))
        widget = new qwtLicense;
    else if (what == QLatin1String("kiss-license"))
        widget = new kissFFTLicense;
    if (!widget) {
        std::fprintf(stderr, "usage: widget_gallery <frame|leds|ptp|digits|about|qt-license|"
                             "qwt-license|kiss-license> [--screenshot file.png]\n");
        return 2;
    }
    widget->show();
    if (!shotFile.isEmpty()) {
        // Give the window a moment to be laid out and exposed.
        QTimer::singleShot(500, widget, [widget, shotFile] {
            const bool saved = widget->grab().save(shotFile);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    const int result = app.exec();
    delete widget;
    return result;
}
