// The digit entry control: display formats, bases and their menu, commit on
// Return and on leaving the field, clamping, stepping, the type check, and the
// integer mode's formats and validator.
#include "messagerecorder.h"
#include "nv9471fp_digitCtrl.h"
#include "nv9471fp_newDoubleValidator.h"
#include "nv9471fp_newPushButton.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QRegExpValidator>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>
#include <cmath>

namespace {
QStringList menuTexts(const nv9471fp_digitCtrl &control)
{
    QStringList texts;
    for (QAction *action : control.baseMenu()->actions())
        texts << action->text();
    return texts;
}

QAction *menuAction(const nv9471fp_digitCtrl &control, const QString &text)
{
    for (QAction *action : control.baseMenu()->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// A window with the control and a second field to move the focus to.
struct FocusWindow {
    explicit FocusWindow(nv9471fp_digitCtrl *control)
    {
        auto *layout = new QVBoxLayout(&window);
        control->setParent(&window);
        layout->addWidget(control);
        other = new QLineEdit(&window);
        layout->addWidget(other);
    }
    bool activate()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }
    QWidget window;
    QLineEdit *other = nullptr;
};

void typeInto(nv9471fp_digitCtrl &control, const QString &text)
{
    control.editField()->selectAll();
    QTest::keyClicks(control.editField(), text);
}

QValidator::State validate(const nv9471fp_digitCtrl &control, QString text)
{
    int position = text.size();
    return control.editField()->validator()->validate(text, position);
}

// Base indices of the integer radices.
int integerBase(int radix)
{
    switch (radix) {
    case 2: return 5;
    case 8: return 4;
    case 16: return 2;
    default: return 0;
    }
}

// What the control shows must be accepted when typed back, and come back as
// the same value; a digit more than the limits need is refused.
void checkTypedBack(nv9471fp_digitCtrl &control, const QString &shown, qint64 value,
                    const QString &tooLong)
{
    QCOMPARE(control.text(), shown);
    QCOMPARE(validate(control, shown), QValidator::Acceptable);
    QVERIFY(control.editField()->hasAcceptableInput());
    QCOMPARE(validate(control, tooLong), QValidator::Invalid);

    // The edit still refuses characters that are no digit of the base.
    control.editField()->end(false);
    QTest::keyClicks(control.editField(), QStringLiteral("z"));
    QCOMPARE(control.text(), shown);

    control.setValue(value == 1 ? qint64(2) : qint64(1));
    typeInto(control, shown);
    QCOMPARE(control.text(), shown);
    QTest::keyClick(&control, Qt::Key_Return);
    QCOMPARE(qint64(control.intvalue().low64()), value);
    QCOMPARE(control.text(), shown);
}
} // namespace

class TestWidgetsDigit : public QObject
{
    Q_OBJECT
private slots:
    void displayFormats()
    {
        nv9471fp_digitCtrl fixed(-10, 10, 1, QStringLiteral("%.3"));
        QCOMPARE(QString::fromLatin1(nv9471fp_digitCtrl::baseInfo(fixed.base()).name),
                 QStringLiteral("float"));
        QCOMPARE(fixed.displayFormat(), QStringLiteral("%.3f"));
        fixed.setValue(1.0);
        QCOMPARE(fixed.text(), QStringLiteral("1.000"));

        nv9471fp_digitCtrl general(-10, 10, 1, QStringLiteral("%g"));
        QCOMPARE(QString::fromLatin1(nv9471fp_digitCtrl::baseInfo(general.base()).name),
                 QStringLiteral("general"));
        general.setValue(1.0);
        QCOMPARE(general.text(), QStringLiteral("1"));
        QCOMPARE(general.baseButton()->text(), QStringLiteral("g"));

        nv9471fp_digitCtrl signedWide(-10, 10, 1, QStringLiteral("%+8.2E"));
        signedWide.setValue(-1.5);
        QCOMPARE(signedWide.displayFormat(), QStringLiteral("%+8.2E"));
        QCOMPARE(signedWide.text(), QStringLiteral("-1.50E+00"));

        nv9471fp_digitCtrl noPercent(-10, 10, 1, QStringLiteral("volts"));
        QCOMPARE(noPercent.displayFormat(), QStringLiteral("%g"));
        QCOMPARE(noPercent.formatPrecision(), -1);
        QCOMPARE(noPercent.formatWidth(), -1);
    }

    void menuOffersTheFourFloatingBases()
    {
        nv9471fp_digitCtrl control(0, 1, 0.1, QStringLiteral("%g"));
        QCOMPARE(menuTexts(control), QStringList({QStringLiteral("float"), QStringLiteral("general"),
                                                  QStringLiteral("exponent"),
                                                  QStringLiteral("Exponent")}));
        for (QAction *action : control.baseMenu()->actions())
            QVERIFY(action->isCheckable());
        QVERIFY(menuAction(control, QStringLiteral("general"))->isChecked());
        QVERIFY(menuAction(control, QStringLiteral("general"))->actionGroup()->isExclusive());

        control.setValue(0.5);
        menuAction(control, QStringLiteral("exponent"))->trigger();
        QCOMPARE(control.text(), QStringLiteral("5.000000e-01"));
        QVERIFY(menuAction(control, QStringLiteral("exponent"))->isChecked());
        QVERIFY(!menuAction(control, QStringLiteral("general"))->isChecked());
    }

    void baseButtonCycles()
    {
        nv9471fp_digitCtrl control(-10, 10, 1, QStringLiteral("%.3"));
        QPushButton *button = control.baseButton();
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QString seen = button->text();
        for (int i = 0; i < 4; ++i) {
            QTest::mouseClick(button, Qt::LeftButton);
            seen += button->text();
        }
        QCOMPARE(seen, QStringLiteral("fgeEf"));
        QCOMPARE(control.displayFormat(), QStringLiteral("%.3f"));
    }

    void rangeIsSwappedAndStepsSet()
    {
        nv9471fp_digitCtrl control(10, -10, -2, QStringLiteral("%g"));
        QCOMPARE(control.minimum(), -10.0);
        QCOMPARE(control.maximum(), 10.0);
        QCOMPARE(control.doublevalue(), 0.0);
        QCOMPARE(control.stepUp(), 2.0);
        control.setRange(5, 1, 0);
        QCOMPARE(control.minimum(), 1.0);
        QCOMPARE(control.maximum(), 5.0);
        QCOMPARE(control.stepDown(), 2.0); // a zero step keeps the old ones
        QCOMPARE(control.doublevalue(), 1.0); // clamped into the new range
        QCOMPARE(control.text(), QStringLiteral("1"));
    }

    void returnClampsToTheLimits()
    {
        nv9471fp_digitCtrl control(-10, 10, 1, QStringLiteral("%.3"));
        QSignalSpy changed(&control, qOverload<double>(&nv9471fp_digitCtrl::valueChanged));
        QSignalSpy returned(&control, &nv9471fp_digitCtrl::returnPressed);
        typeInto(control, QStringLiteral("25"));
        QTest::keyClick(&control, Qt::Key_Return);
        QCOMPARE(control.doublevalue(), 10.0);
        QCOMPARE(control.text(), QStringLiteral("10.000"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toDouble(), 10.0);
        QCOMPARE(returned.count(), 1);

        // The same value again changes nothing.
        typeInto(control, QStringLiteral("10"));
        QTest::keyClick(&control, Qt::Key_Return);
        QCOMPARE(changed.count(), 1);
    }

    void leavingTheFieldCommits()
    {
        auto *control = new nv9471fp_digitCtrl(-10, 10, 1, QStringLiteral("%g"));
        FocusWindow window(control);
        QVERIFY(window.activate());
        control->setFocus();
        QTRY_VERIFY(control->hasFocus());
        QCOMPARE(control->editField()->cursorPosition(), qMin(3, control->text().size()));
        typeInto(*control, QStringLiteral("-99.5"));
        QCOMPARE(control->doublevalue(), 0.0);
        window.other->setFocus();
        QTRY_COMPARE(control->doublevalue(), -10.0);
        QCOMPARE(control->text(), QStringLiteral("-10"));
    }

    void notANumberRestoresTheText()
    {
        auto *control = new nv9471fp_digitCtrl(-10, 10, 1, QStringLiteral("%.3"));
        control->setValue(2.5);
        FocusWindow window(control);
        QVERIFY(window.activate());
        QSignalSpy changed(control, qOverload<double>(&nv9471fp_digitCtrl::valueChanged));
        control->setFocus();
        QTRY_VERIFY(control->hasFocus());
        // Partial numbers may be typed and left standing until the commit.
        typeInto(*control, QStringLiteral("1e"));
        QCOMPARE(control->text(), QStringLiteral("1e"));
        window.other->setFocus();
        QTRY_COMPARE(control->text(), QStringLiteral("2.500"));
        QCOMPARE(control->doublevalue(), 2.5);

        control->editField()->setText(QStringLiteral("abc"));
        QTest::keyClick(control, Qt::Key_Return);
        QCOMPARE(control->text(), QStringLiteral("2.500"));
        control->editField()->setText(QStringLiteral("nan"));
        QTest::keyClick(control, Qt::Key_Return);
        QCOMPARE(control->doublevalue(), 2.5);
        QCOMPARE(changed.count(), 0);
    }

    void nonFiniteLimitsAreRefused_data()
    {
        const double nan = std::nan("");
        const double inf = HUGE_VAL;
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::newRow("NaN minimum") << nan << 10.0;
        QTest::newRow("NaN maximum") << -10.0 << nan;
        QTest::newRow("both NaN") << nan << nan;
        QTest::newRow("infinite maximum") << 0.0 << inf;
        QTest::newRow("infinite minimum") << -inf << 0.0;
        QTest::newRow("both infinite") << -inf << inf;
    }

    void nonFiniteLimitsAreRefused()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        nv9471fp_digitCtrl control(-4, 4, 0.5, QStringLiteral("%g"));
        control.setValue(2.0);
        control.setRange(minimum, maximum, 3);
        QCOMPARE(control.minimum(), -4.0);
        QCOMPARE(control.maximum(), 4.0);
        QCOMPARE(control.stepUp(), 0.5);
        QCOMPARE(control.doublevalue(), 2.0);
        QCOMPARE(control.text(), QStringLiteral("2"));
        control.setValue(3.0);
        QCOMPARE(control.text(), QStringLiteral("3"));
        control.setValue(50.0);
        QCOMPARE(control.doublevalue(), 4.0);
        control.stepBy(-1);
        QCOMPARE(control.doublevalue(), 3.5);
    }

    void validatorLetsPartialInputStand()
    {
        nv9471fp_newDoubleValidator validator;
        const auto check = [&validator](QString text) {
            int pos = text.size();
            return validator.validate(text, pos);
        };
        QCOMPARE(check(QStringLiteral("-")), QValidator::Acceptable);
        QCOMPARE(check(QStringLiteral("1e")), QValidator::Acceptable);
        QCOMPARE(check(QString()), QValidator::Acceptable);
        QCOMPARE(check(QStringLiteral("+1.000")), QValidator::Acceptable);
        // Texts the control shows itself stay editable.
        QCOMPARE(check(QStringLiteral("0.0001234")), QValidator::Acceptable);
        QCOMPARE(check(QStringLiteral("   1.5")), QValidator::Acceptable);
        QCOMPARE(check(QStringLiteral("abc")), QValidator::Invalid);
        QCOMPARE(check(QStringLiteral("1.5x")), QValidator::Invalid);
    }

    void steppingAndWrapping()
    {
        nv9471fp_digitCtrl control(-1, 1, 0.5, QStringLiteral("%g"));
        control.stepBy(1);
        QCOMPARE(control.doublevalue(), 0.5);
        control.stepBy(-3);
        QCOMPARE(control.doublevalue(), -1.0);
        QCOMPARE(control.text(), QStringLiteral("-1"));
        QTest::keyClick(&control, Qt::Key_Up);
        QCOMPARE(control.doublevalue(), -0.5);

        // Typed text is committed before the step.
        typeInto(control, QStringLiteral("0.25"));
        control.stepBy(1);
        QCOMPARE(control.doublevalue(), 0.75);

        control.setValue(1.0);
        control.stepBy(1);
        QCOMPARE(control.doublevalue(), 1.0);
        control.setWrapping(true);
        control.stepBy(1);
        QCOMPARE(control.doublevalue(), -1.0);
        control.stepBy(-1);
        QCOMPARE(control.doublevalue(), 1.0);

        control.setReadOnly(true);
        control.stepBy(-1);
        QCOMPARE(control.doublevalue(), 1.0);
    }

    void wrongKindAsksFirst()
    {
        MessageRecorder recorder;
        nv9471fp_digitCtrl control(-10, 10, 1, QStringLiteral("%g"));
        recorder.answerStandard(QMessageBox::No);
        control.setValue(qint64(5));
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().text,
                 QStringLiteral("Data type is wrong! Do you really want to continue?"));
        QVERIFY(recorder.last().title.isEmpty());
        QCOMPARE(recorder.last().icon, QMessageBox::Information);
        QCOMPARE(recorder.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(control.text(), QStringLiteral("0"));

        nv9471fp_digitCtrl integer(intXXL::fromInt64(-100), intXXL::fromInt64(100),
                                   QStringLiteral("%d"));
        recorder.answerStandard(QMessageBox::No);
        integer.setValue(3.5);
        QCOMPARE(recorder.count(), 2);
        QCOMPARE(integer.text(), QStringLiteral("0"));
        QCOMPARE(integer.doublevalue(), 0.0);
    }

    void unsupportedBaseIsRefused()
    {
        MessageRecorder recorder;
        nv9471fp_digitCtrl control(-10, 10, 1, QStringLiteral("%e"));
        control.setBase(2); // hexadecimal: integers only
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().text, QStringLiteral("try missconfigure: non supported new base"));
        QVERIFY(recorder.last().title.isEmpty());
        QCOMPARE(recorder.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(control.base(), 8);
        QCOMPARE(control.displayFormat(), QStringLiteral("%e"));
    }

    void integerMode()
    {
        nv9471fp_digitCtrl hex(intXXL::fromInt64(-1000), intXXL::fromInt64(100000),
                               QStringLiteral("%x"));
        QCOMPARE(hex.displayFormat(), QStringLiteral("%llx"));
        QCOMPARE(menuTexts(hex), QStringList({QStringLiteral("decimal"),
                                              QStringLiteral("hexadecimal"),
                                              QStringLiteral("hexadecimal upper"),
                                              QStringLiteral("octal"), QStringLiteral("binary")}));
        auto *regexp = qobject_cast<const QRegExpValidator *>(hex.editField()->validator());
        QVERIFY(regexp);
        // 100000 = 0x186a0 needs five hexadecimal digits.
        QCOMPARE(regexp->regExp().pattern(), QStringLiteral("[+-]?[0-9a-fA-F]{1,5}"));
        QSignalSpy changed(&hex, qOverload<qint64>(&nv9471fp_digitCtrl::valueChanged));
        QSignalSpy changedText(&hex, qOverload<const QString &>(&nv9471fp_digitCtrl::valueChanged));
        hex.setValue(qint64(0x1234));
        QCOMPARE(hex.text(), QStringLiteral("1234"));
        QCOMPARE(changed.at(0).at(0).toLongLong(), qint64(0x1234));
        QCOMPARE(changedText.at(0).at(0).toString(), QStringLiteral("1234"));
        typeInto(hex, QStringLiteral("fffff"));
        QTest::keyClick(&hex, Qt::Key_Return);
        QCOMPARE(qint64(hex.intvalue().low64()), qint64(100000));

        hex.setBase(0);
        QCOMPARE(hex.displayFormat(), QStringLiteral("%lld"));
        regexp = qobject_cast<const QRegExpValidator *>(hex.editField()->validator());
        QCOMPARE(regexp->regExp().pattern(), QStringLiteral("[+-]?[0-9]{1,6}"));
        typeInto(hex, QStringLiteral("-5000"));
        QTest::keyClick(&hex, Qt::Key_Return);
        QCOMPARE(hex.text(), QStringLiteral("-1000"));
        QVERIFY(hex.intvalue().isNegative());

        hex.setBase(5);
        QVERIFY(hex.displayFormat().isEmpty());
        QCOMPARE(hex.text(), QStringLiteral("-1111101000"));

        nv9471fp_digitCtrl unsignedControl(intXXL::fromUInt64(0), intXXL::fromUInt64(255),
                                           QStringLiteral("%.4X"));
        QCOMPARE(menuTexts(unsignedControl).first(), QStringLiteral("unsigned decimal"));
        unsignedControl.setValue(qint64(171));
        QCOMPARE(unsignedControl.text(), QStringLiteral("00AB"));
        unsignedControl.stepBy(100);
        QCOMPARE(unsignedControl.text(), QStringLiteral("00FF"));
    }

    void integerTextsTypeBack_data()
    {
        QTest::addColumn<int>("radix");
        QTest::addColumn<bool>("isSigned");
        QTest::addColumn<qint64>("value");
        for (int radix : {2, 8, 16}) {
            for (qint64 value : {-1000, -100, -1, 0, 1, 100, 1000}) {
                QTest::addRow("radix %d signed %lld", radix, value) << radix << true << value;
                if (value >= 0)
                    QTest::addRow("radix %d unsigned %lld", radix, value)
                        << radix << false << value;
            }
        }
    }

    // Limits -1000 (signed) or 0 up to 1000; shown as a sign and the magnitude
    // in the radix, as Qt's own conversion writes the magnitude.
    void integerTextsTypeBack()
    {
        QFETCH(int, radix);
        QFETCH(bool, isSigned);
        QFETCH(qint64, value);
        const intXXL minimum = isSigned ? intXXL::fromInt64(-1000) : intXXL::fromUInt64(0);
        nv9471fp_digitCtrl control(minimum, isSigned ? intXXL::fromInt64(1000)
                                                     : intXXL::fromUInt64(1000),
                                   QStringLiteral("%d"));
        control.setBase(integerBase(radix));
        control.setValue(value);
        const QString magnitude = QString::number(quint64(value < 0 ? -value : value), radix);
        const QString shown = value < 0 ? QStringLiteral("-") + magnitude : magnitude;
        // 1000 needs as many digits as radix^digits - 1 has, so this is out of range.
        const QString tooLong =
            QStringLiteral("1") + QString(QString::number(1000, radix).size(), QLatin1Char('0'));
        checkTypedBack(control, shown, value, tooLong);
        if (!isSigned)
            QCOMPARE(validate(control, QStringLiteral("-1")), QValidator::Invalid);
    }

    // Padding, forced signs and short precisions are all typed back as shown.
    void integerFormatsTypeBack_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("isSigned");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("tooLong");
        QTest::newRow("precision below the digits")
            << "%.1x" << false << qint64(255) << "ff" << "100";
        QTest::newRow("width") << "%6X" << false << qint64(171) << "    AB" << "100";
        QTest::newRow("blank flag") << "% d" << true << qint64(7) << " 7" << "1000";
        QTest::newRow("plus flag") << "%+o" << true << qint64(8) << "+10" << "1000";
        QTest::newRow("plus flag negative")
            << "%+.4x" << true << qint64(-171) << "-00ab" << "10000";
    }

    void integerFormatsTypeBack()
    {
        QFETCH(QString, format);
        QFETCH(bool, isSigned);
        QFETCH(qint64, value);
        QFETCH(QString, shown);
        QFETCH(QString, tooLong);
        nv9471fp_digitCtrl control(isSigned ? intXXL::fromInt64(-255) : intXXL::fromUInt64(0),
                                   isSigned ? intXXL::fromInt64(255) : intXXL::fromUInt64(255),
                                   format);
        control.setValue(value);
        checkTypedBack(control, shown, value, tooLong);
    }

    void unsignedStepsBelowZero()
    {
        nv9471fp_digitCtrl control(intXXL::fromUInt64(0), intXXL::fromUInt64(255),
                                   QStringLiteral("%u"));
        control.setValue(qint64(5));
        // Page Down from 5: ten steps down end at the minimum, not the maximum.
        control.stepBy(-10);
        QCOMPARE(control.text(), QStringLiteral("0"));
        control.stepBy(-1);
        QCOMPARE(control.text(), QStringLiteral("0"));
        control.setWrapping(true);
        control.stepBy(-1);
        QCOMPARE(control.text(), QStringLiteral("255"));
        control.stepBy(1);
        QCOMPARE(control.text(), QStringLiteral("0"));
    }

    void wideIntegers()
    {
        intXXL big;
        big.word[4] = 0x0001; // 2^64
        QCOMPARE(big.digitCount(16), 17);
        QCOMPARE(big.digitCount(10), 20); // 18446744073709551616
        QVERIFY(big > intXXL::fromUInt64(~quint64(0)));
        QCOMPARE(intXXL::fromUInt64(~quint64(0)).plus(1).word[4], quint16(1));
        const intXXL minusOne = intXXL::fromInt64(-1);
        QVERIFY(minusOne < intXXL::fromInt64(0));
        QCOMPARE(minusOne.magnitude().low64(), quint64(1));
        QCOMPARE(intXXL::fromInt64(-5).plus(5), intXXL::fromInt64(0));
        QCOMPARE(intXXL().digitCount(2), 1);
    }
};

QTEST_MAIN(TestWidgetsDigit)
#include "test_widgets_digit.moc"
