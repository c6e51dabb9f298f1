// Numeric entry field: a spin box whose text comes from a printf-style display
// format and whose base or notation the operator switches with a small button
// inside the field (context menu: all allowed bases). Floating mode works on a
// double; integer mode on an 80-bit intXXL, signed or unsigned.
#ifndef NV9471FP_DIGITCTRL_H
#define NV9471FP_DIGITCTRL_H

#include "nv9471fp_digitFormat.h"
#include "nv9471fp_intXXL.h"

#include <QAbstractSpinBox>
#include <QString>

class QAction;
class QLineEdit;
class QActionGroup;
class QMenu;
class QValidator;
class nv9471fp_newlineEdit;
class nv9471fp_newPushButton;

class nv9471fp_digitCtrl : public QAbstractSpinBox
{
    Q_OBJECT
public:
    enum ValueKind { FloatingKind = 0, IntegerKind = 1 };
    // Type-mask bits: which bases the control may use.
    enum { SignedMask = 1, UnsignedMask = 2, FloatingMask = 4 };

    using BaseInfo = nv9471fp_digitBase;
    static int baseCount();
    static const BaseInfo &baseInfo(int base);

    // Floating mode; the value starts at 0, clamped into the range.
    nv9471fp_digitCtrl(double minimum, double maximum, double step, const QString &format,
                       QWidget *parent = nullptr);
    // Integer mode; signed when minimum is signed. Steps by 1.
    nv9471fp_digitCtrl(const intXXL &minimum, const intXXL &maximum, const QString &format,
                       QWidget *parent = nullptr);

    ValueKind valueKind() const { return kind; }
    double doublevalue() const { return value; }
    intXXL intvalue() const { return intValue; }
    double minimum() const { return minValue; }
    double maximum() const { return maxValue; }
    double stepUp() const { return stepUpSize; }
    double stepDown() const { return stepDownSize; }
    // Swaps limits given the wrong way round; a non-zero (or NaN) step
    // replaces both step sizes by its absolute value; clamps the value. A
    // limit that is not finite refuses the call: range and steps stay.
    void setRange(double minimum, double maximum, double step);

    int typeMask() const { return mask; }
    int base() const { return currentBase; }
    bool isBaseAllowed(int base) const;
    // Switches to an allowed base; an unsupported one is refused with a box.
    void setBase(int base);
    QString displayFormat() const { return format; }
    int formatWidth() const { return width; }
    int formatPrecision() const { return precision; }
    QMenu *baseMenu() const { return menu; }
    nv9471fp_newPushButton *baseButton() const { return button; }
    // The edit inside the field (owned by the control).
    QLineEdit *editField() const;
    // The text the control shows for its current value.
    QString valueText() const;

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(double value);
    void valueChanged(qint64 value);
    void valueChanged(const QString &text);
    void returnPressed();

public slots:
    void setValue(double value);
    void setValue(const intXXL &value);
    void setValue(qint64 value);
    void slotClear(int);
    void updateText();
    // Commits the edit's text.
    void newText();
    // Next allowed base, in menu order, after the last back to the first.
    void setBase_slot();
    void menuClicked_slot(QAction *action);
    void retPressed_slot();

protected:
    StepEnabled stepEnabled() const override;

private:
    void setUpControl(const QString &format);
    void parseFormat(const QString &format);
    void buildFormat();
    nv9471fp_displayFormat formatPieces() const;
    void updateStepping(bool belowMaximum, bool aboveMinimum);
    void applyValue(double newValue);
    void applyValue(intXXL newValue);
    QString textFor(double floating) const;
    // Asks before an operation of the other value kind; true to go on.
    bool confirmKind(ValueKind wanted) const;

    ValueKind kind = FloatingKind;
    double value = 0;
    double minValue = 0;
    double maxValue = 0;
    double stepUpSize = 1;
    double stepDownSize = 1;
    intXXL intValue;
    intXXL intMin;
    intXXL intMax;
    int mask = FloatingMask;
    int currentBase = 6;
    char flag = 0;
    int width = -1;
    int precision = -1;
    QString format;
    bool canStepUp = false;
    bool canStepDown = false;

    nv9471fp_newlineEdit *edit = nullptr;
    nv9471fp_newPushButton *button = nullptr;
    QMenu *menu = nullptr;
    QActionGroup *baseActions = nullptr;
    QValidator *validator = nullptr;
};

#endif
