// A small lamp with a label to its right: off, on, or an optional third state.
#ifndef NV9471FP_LED_H
#define NV9471FP_LED_H

#include <QColor>
#include <QString>
#include <QWidget>

class nv9471fp_led : public QWidget
{
    Q_OBJECT
public:
    // An off-colour of Qt::magenta stands for "the palette's Window colour".
    nv9471fp_led(const QString &label, const QColor &onColour, const QColor &offColour = Qt::magenta,
                 QWidget *parent = nullptr);
    // A null colour name gives "#FF0000"; the off-colour is the palette's Window colour.
    nv9471fp_led(const QString &label, const QString &onColourName, QWidget *parent);

    int value() const { return ledValue; }
    // 0 = off, 1 = on, 2 = third state. Repaints only when the value changes.
    void setValue(int value);
    QString label() const { return labelText; }
    void setLabel(const QString &text);
    void setOnColour(const QColor &colour);
    void setOffColour(const QColor &colour);
    // Also marks the third colour as present, so that state 2 shows it.
    void setThirdColour(const QColor &colour);

    QColor onColour() const { return on; }
    QColor offColour() const;
    QColor thirdColour() const { return third; }
    bool hasThirdColour() const { return thirdSet; }
    // The colour the lamp shows in its current state.
    QColor stateColour() const;

    // Fonts lower than 10 pixels get a flat disc; from 10 pixels up the lamp
    // is drawn with bevelled rings.
    static bool isBevelled(int fontHeight) { return fontHeight >= 10; }

    // The What's This text as the LED shows it: each line of a plain text
    // kept whole, so the popup is as wide as the longest line in its font
    // instead of Qt's fixed wrapping width, which can leave one word alone.
    static QString whatsThisLayout(const QString &text);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override { return minimumSizeHint(); }

signals:
    void valueToggled();

public slots:
    // 0 becomes 1; 1 and 2 become 0.
    void toggleValue();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void initialise();

    int ledValue = 0;
    QColor on;
    QColor off;
    QColor third = Qt::black;
    bool thirdSet = false;
    // Off follows the palette so that a style or palette change is honoured.
    bool offIsWindow = false;
    QString labelText;
};

#endif
