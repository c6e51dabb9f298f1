#include "nv9471fp_digitCtrl.h"

#include "nv9471fp_messages.h"
#include "nv9471fp_newDoubleValidator.h"
#include "nv9471fp_newPushButton.h"
#include "nv9471fp_newlineEdit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenu>
#include <QRegExp>
#include <QRegExpValidator>
#include <QStyleOptionSpinBox>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {
const nv9471fp_digitCtrl::BaseInfo baseTable[] = {
    {"decimal", 10, 'd', "d", 1},
    {"unsigned decimal", 10, 'u', "d", 2},
    {"hexadecimal", 16, 'x', "h", 3},
    {"hexadecimal upper", 16, 'X', "H", 3},
    {"octal", 8, 'o', "o", 3},
    {"binary", 2, 0, "b", 3},
    {"float", 0, 'f', "f", 4},
    {"general", 0, 'g', "g", 4},
    {"exponent", 0, 'e', "e", 4},
    {"Exponent", 0, 'E', "E", 4},
};
constexpr int tableSize = int(sizeof baseTable / sizeof baseTable[0]);

// The control's own questions: information boxes with an empty title.
bool askYes(const QString &text)
{
    sfp::MessageRequest request;
    request.icon = QMessageBox::Information;
    request.text = text;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    return sfp::ask(request).standard == QMessageBox::Yes;
}

// Reads a run of decimal digits; -1 when there is none. Capped so that a
// silly width cannot make the text absurdly long.
int readNumber(const QString &text, int &i)
{
    int number = -1;
    while (i < text.size() && text.at(i).isDigit()) {
        number = qMin((number < 0 ? 0 : number) * 10 + text.at(i).digitValue(), 99);
        ++i;
    }
    return number;
}
} // namespace

int nv9471fp_digitCtrl::baseCount()
{
    return tableSize;
}

const nv9471fp_digitCtrl::BaseInfo &nv9471fp_digitCtrl::baseInfo(int base)
{
    return baseTable[qBound(0, base, tableSize - 1)];
}

nv9471fp_digitCtrl::nv9471fp_digitCtrl(double minimum, double maximum, double step,
                                       const QString &displayFormat, QWidget *parent)
    : QAbstractSpinBox(parent)
{
    kind = FloatingKind;
    mask = FloatingMask;
    stepUpSize = stepDownSize = std::fabs(step);
    setUpControl(displayFormat);
    setRange(minimum, maximum, step);
}

nv9471fp_digitCtrl::nv9471fp_digitCtrl(const intXXL &minimum, const intXXL &maximum,
                                       const QString &displayFormat, QWidget *parent)
    : QAbstractSpinBox(parent)
{
    kind = IntegerKind;
    mask = minimum.isSigned ? SignedMask : UnsignedMask;
    intMin = minimum;
    intMax = maximum;
    intMax.isSigned = intMin.isSigned;
    if (intMin > intMax)
        std::swap(intMin, intMax);
    intValue.isSigned = intMin.isSigned;
    setUpControl(displayFormat);
    applyValue(intValue);
}

void nv9471fp_digitCtrl::setUpControl(const QString &displayFormat)
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setReadOnly(false);
    setWrapping(false);

    edit = new nv9471fp_newlineEdit(this);
    setLineEdit(edit);
    edit->setFrame(false);

    button = new nv9471fp_newPushButton(QString(), edit);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    const int buttonWidth = fontMetrics().horizontalAdvance(QLatin1Char('W')) + 6;
    button->setFixedWidth(buttonWidth);
    auto *inside = new QHBoxLayout(edit);
    inside->setContentsMargins(1, 1, 1, 1);
    inside->setSpacing(0);
    inside->addWidget(button);
    inside->addStretch();
    edit->setTextMargins(buttonWidth + 2, 0, 0, 0);

    menu = new QMenu(this);
    baseActions = new QActionGroup(this);
    baseActions->setExclusive(true);
    for (int b = 0; b < tableSize; ++b) {
        if (!isBaseAllowed(b))
            continue;
        QAction *action = menu->addAction(QString::fromLatin1(baseTable[b].name));
        action->setCheckable(true);
        action->setData(b);
        baseActions->addAction(action);
    }
    button->setBaseMenu(menu);

    connect(edit, &QLineEdit::returnPressed, this, &nv9471fp_digitCtrl::newText);
    connect(edit, &QLineEdit::returnPressed, this, &nv9471fp_digitCtrl::retPressed_slot);
    connect(button, &QPushButton::clicked, this, &nv9471fp_digitCtrl::setBase_slot);
    connect(menu, &QMenu::triggered, this, &nv9471fp_digitCtrl::menuClicked_slot);

    parseFormat(displayFormat);
}

QLineEdit *nv9471fp_digitCtrl::editField() const
{
    return edit;
}

bool nv9471fp_digitCtrl::isBaseAllowed(int base) const
{
    return base >= 0 && base < tableSize && (baseTable[base].kinds & mask) == mask;
}

void nv9471fp_digitCtrl::parseFormat(const QString &text)
{
    flag = 0;
    width = -1;
    precision = -1;
    char conversion = 0;
    if (!text.startsWith(QLatin1Char('%'))) {
        conversion = kind == FloatingKind ? 'g' : 'd';
    } else {
        int i = 1;
        if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char(' ')))
            flag = text.at(i++).toLatin1();
        width = readNumber(text, i);
        if (i < text.size() && text.at(i) == QLatin1Char('.')) {
            ++i;
            precision = readNumber(text, i);
        }
        // Length modifiers are the control's business ("ll" in integer mode).
        while (i < text.size() && QStringLiteral("hlLqjzt").contains(text.at(i)))
            ++i;
        if (i < text.size())
            conversion = text.at(i).toLatin1();
    }

    int chosen = -1;
    for (int b = tableSize - 1; b >= 0 && chosen < 0; --b) {
        if (conversion != 0 && isBaseAllowed(b) && baseTable[b].conversion == conversion)
            chosen = b;
    }
    for (int b = 0; b < tableSize && chosen < 0; ++b) {
        if (isBaseAllowed(b))
            chosen = b;
    }
    setBase(chosen);
}

void nv9471fp_digitCtrl::setBase(int base)
{
    if (isBaseAllowed(base)) {
        currentBase = base;
        button->setText(QString::fromLatin1(baseTable[base].label));
        for (QAction *action : baseActions->actions())
            action->setChecked(action->data().toInt() == base);
    } else {
        const int kinds = base >= 0 && base < tableSize ? baseTable[base].kinds : 0;
        std::printf("base:%d, flag:0x%x, MenuFlag:0x%x\n", base, unsigned(mask), unsigned(kinds));
        std::fflush(stdout);
        askYes(QStringLiteral("try missconfigure: non supported new base"));
    }
    buildFormat();
    updateText();
}

void nv9471fp_digitCtrl::buildFormat()
{
    if (!isBaseAllowed(currentBase)) {
        askYes(QStringLiteral("missconfiguration! signed variable and conversion flag for only "
                              "unsigned variable (or swapd)"));
        return;
    }
    const BaseInfo &info = baseTable[currentBase];
    format.clear();
    if (info.conversion != 0) {
        format = QStringLiteral("%");
        if (flag)
            format += QLatin1Char(flag);
        if (width != -1)
            format += QString::number(width);
        if (precision != -1)
            format += QLatin1Char('.') + QString::number(precision);
        if (kind == IntegerKind)
            format += QStringLiteral("ll");
        format += QLatin1Char(info.conversion);
    }

    if (kind == FloatingKind) {
        if (!validator)
            validator = new nv9471fp_newDoubleValidator(this);
    } else {
        QString pattern = info.radix == 10 ? QStringLiteral("[+-]?") : QString();
        pattern += QStringLiteral("[0-");
        pattern += info.radix == 16 ? QStringLiteral("9a-fA-F") : QString::number(info.radix - 1);
        const int digits = precision > 0
                               ? precision
                               : qMax(intMin.digitCount(info.radix), intMax.digitCount(info.radix));
        pattern += QStringLiteral("]{1,%1}").arg(digits);
        delete validator;
        validator = new QRegExpValidator(QRegExp(pattern), this);
    }
    edit->setValidator(validator);
}

QString nv9471fp_digitCtrl::textFor(double floating) const
{
    if (format.isEmpty())
        return QString::number(floating);
    return QString::asprintf(format.toLatin1().constData(), floating);
}

QString nv9471fp_digitCtrl::valueText() const
{
    if (kind == FloatingKind)
        return textFor(value);
    const quint64 low = intValue.low64();
    const BaseInfo &info = baseInfo(currentBase);
    if (info.conversion == 0) {
        const QString digits = QString::number(low, 2);
        return precision > 0 ? digits.rightJustified(precision, QLatin1Char('0')) : digits;
    }
    const QByteArray pattern = format.toLatin1();
    if (info.conversion == 'd')
        return QString::asprintf(pattern.constData(), static_cast<long long>(qint64(low)));
    return QString::asprintf(pattern.constData(), static_cast<unsigned long long>(low));
}

void nv9471fp_digitCtrl::updateText()
{
    edit->setText(valueText());
}

void nv9471fp_digitCtrl::slotClear(int)
{
    edit->clear();
}

bool nv9471fp_digitCtrl::confirmKind(ValueKind wanted) const
{
    if (kind == wanted)
        return true;
    return askYes(QStringLiteral("Data type is wrong! Do you really want to continue?"));
}

void nv9471fp_digitCtrl::setRange(double minimum, double maximum, double step)
{
    if (!confirmKind(FloatingKind))
        return;
    if (minimum > maximum)
        std::swap(minimum, maximum);
    minValue = minimum;
    maxValue = maximum;
    if (step != 0 || std::isnan(step))
        stepUpSize = stepDownSize = std::fabs(step);
    applyValue(value);
}

void nv9471fp_digitCtrl::updateStepping(bool belowMaximum, bool aboveMinimum)
{
    const bool editable = !isReadOnly();
    canStepUp = editable && (belowMaximum || wrapping());
    canStepDown = editable && (aboveMinimum || wrapping());
    update();
}

void nv9471fp_digitCtrl::applyValue(double newValue)
{
    // NaN has no place in the range; keep the value and show it again.
    if (std::isnan(newValue)) {
        updateText();
        return;
    }
    const double previous = value;
    value = qBound(minValue, newValue, maxValue);
    updateStepping(value < maxValue, value > minValue);
    updateText();
    if (value != previous)
        emit valueChanged(value);
}

void nv9471fp_digitCtrl::applyValue(intXXL newValue)
{
    newValue.isSigned = intMin.isSigned;
    if (newValue < intMin)
        newValue = intMin;
    else if (newValue > intMax)
        newValue = intMax;
    const intXXL previous = intValue;
    intValue = newValue;
    updateStepping(intValue < intMax, intValue > intMin);
    updateText();
    if (intValue != previous) {
        emit valueChanged(qint64(intValue.low64()));
        emit valueChanged(valueText());
    }
}

void nv9471fp_digitCtrl::setValue(double newValue)
{
    if (confirmKind(FloatingKind))
        applyValue(newValue);
}

void nv9471fp_digitCtrl::setValue(const intXXL &newValue)
{
    if (confirmKind(IntegerKind))
        applyValue(newValue);
}

void nv9471fp_digitCtrl::setValue(qint64 newValue)
{
    if (!confirmKind(IntegerKind))
        return;
    applyValue(intMin.isSigned ? intXXL::fromInt64(newValue)
                               : intXXL::fromUInt64(quint64(newValue)));
}

void nv9471fp_digitCtrl::newText()
{
    const QString text = edit->text().trimmed();
    bool ok = false;
    if (kind == FloatingKind) {
        const double typed = QLocale::c().toDouble(text, &ok);
        if (ok && !std::isnan(typed))
            applyValue(typed);
        else
            updateText();
        return;
    }
    const int radix = baseInfo(currentBase).radix;
    if (baseInfo(currentBase).conversion == 'd') {
        const qint64 typed = text.toLongLong(&ok, 10);
        if (ok)
            applyValue(intXXL::fromInt64(typed));
    } else {
        const quint64 typed = text.toULongLong(&ok, radix);
        // A signed control shows negative values as their low 64 bits.
        if (ok)
            applyValue(intMin.isSigned ? intXXL::fromInt64(qint64(typed))
                                       : intXXL::fromUInt64(typed));
    }
    if (!ok)
        updateText();
}

void nv9471fp_digitCtrl::setBase_slot()
{
    // Keep what the operator typed instead of overwriting it with the old value.
    newText();
    for (int step = 1; step <= tableSize; ++step) {
        const int candidate = (currentBase + step) % tableSize;
        if (isBaseAllowed(candidate)) {
            setBase(candidate);
            return;
        }
    }
}

void nv9471fp_digitCtrl::menuClicked_slot(QAction *action)
{
    newText();
    setBase(action->data().toInt());
}

void nv9471fp_digitCtrl::retPressed_slot()
{
    emit returnPressed();
}

void nv9471fp_digitCtrl::stepBy(int steps)
{
    if (isReadOnly())
        return;
    newText();
    if (kind == FloatingKind) {
        double next = value + steps * (steps > 0 ? stepUpSize : stepDownSize);
        if (wrapping()) {
            if (next > maxValue)
                next = minValue;
            else if (next < minValue)
                next = maxValue;
        }
        applyValue(next);
        return;
    }
    intXXL next = intValue.plus(steps);
    // The 80-bit sum wraps round, so an unsigned value stepped below 0 would
    // otherwise look like one above the maximum.
    const bool belowMinimum = next < intMin || (steps < 0 && next > intValue);
    const bool aboveMaximum = !belowMinimum && (next > intMax || (steps > 0 && next < intValue));
    if (belowMinimum)
        next = wrapping() ? intMax : intMin;
    else if (aboveMaximum)
        next = wrapping() ? intMin : intMax;
    applyValue(next);
}

QAbstractSpinBox::StepEnabled nv9471fp_digitCtrl::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    StepEnabled enabled = StepNone;
    if (canStepUp)
        enabled |= StepUpEnabled;
    if (canStepDown)
        enabled |= StepDownEnabled;
    return enabled;
}

QSize nv9471fp_digitCtrl::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics = fontMetrics();
    // Wide enough for the limits as shown, but not for "%f" of 1e300.
    const int widest = metrics.horizontalAdvance(QString(14, QLatin1Char('0')));
    int textWidth = metrics.horizontalAdvance(valueText());
    if (kind == FloatingKind)
        textWidth = qMax(textWidth, qMax(metrics.horizontalAdvance(textFor(minValue)),
                                         metrics.horizontalAdvance(textFor(maxValue))));
    const int w = qMin(textWidth, widest) + button->width() + 8;
    const int h = edit->sizeHint().height();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(w, h), this);
}

QSize nv9471fp_digitCtrl::minimumSizeHint() const
{
    return sizeHint();
}
