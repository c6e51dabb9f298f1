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
// The control's own questions: information boxes with an empty title.
bool askYes(const QString &text)
{
    sfp::MessageRequest request;
    request.icon = QMessageBox::Information;
    request.text = text;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    return sfp::ask(request).standard == QMessageBox::Yes;
}
} // namespace

int nv9471fp_digitCtrl::baseCount()
{
    return nv9471fp_digitBaseCount();
}

const nv9471fp_digitCtrl::BaseInfo &nv9471fp_digitCtrl::baseInfo(int base)
{
    return nv9471fp_digitBaseAt(base);
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
    for (int b = 0; b < baseCount(); ++b) {
        if (!isBaseAllowed(b))
            continue;
        QAction *action = menu->addAction(QString::fromLatin1(baseInfo(b).name));
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
    return nv9471fp_digitBaseAllowed(base, mask);
}

void nv9471fp_digitCtrl::parseFormat(const QString &text)
{
    const nv9471fp_displayFormat parsed = nv9471fp_parseDisplayFormat(text, mask);
    flag = parsed.flag;
    width = parsed.width;
    precision = parsed.precision;
    setBase(parsed.base);
}

nv9471fp_displayFormat nv9471fp_digitCtrl::formatPieces() const
{
    nv9471fp_displayFormat pieces;
    pieces.flag = flag;
    pieces.width = width;
    pieces.precision = precision;
    pieces.base = currentBase;
    return pieces;
}

void nv9471fp_digitCtrl::setBase(int base)
{
    if (isBaseAllowed(base)) {
        currentBase = base;
        button->setText(QString::fromLatin1(baseInfo(base).label));
        for (QAction *action : baseActions->actions())
            action->setChecked(action->data().toInt() == base);
    } else {
        const int kinds = base >= 0 && base < baseCount() ? baseInfo(base).kinds : 0;
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
    format = nv9471fp_printfFormat(formatPieces(), kind == IntegerKind);

    if (kind == FloatingKind) {
        if (!validator)
            validator = new nv9471fp_newDoubleValidator(this);
    } else {
        delete validator;
        validator = new QRegExpValidator(
            QRegExp(nv9471fp_integerPattern(formatPieces(), intMin, intMax)), this);
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
    // Built from the same pieces as the validator, so the text shown is
    // always one the operator may type back.
    return nv9471fp_integerText(intValue, formatPieces());
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
    // A NaN limit would poison every later value, an infinite one the text.
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
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
    intXXL typed;
    if (nv9471fp_readInteger(text, baseInfo(currentBase).radix, intMin, intMax, typed))
        applyValue(typed);
    else
        updateText();
}

void nv9471fp_digitCtrl::setBase_slot()
{
    // Keep what the operator typed instead of overwriting it with the old value.
    newText();
    for (int step = 1; step <= baseCount(); ++step) {
        const int candidate = (currentBase + step) % baseCount();
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
