// The common frame of every soft front panel: banner, a content area that the
// card-specific window fills, and the control column on the right. The frame
// does nothing with hardware; its buttons only emit signals.
#ifndef NV9471FP_APP_H
#define NV9471FP_APP_H

#include <QWidget>

class QCloseEvent;
class QLabel;
class QLayout;
class QPushButton;
class nv9471fp_led;

class nv9471fp_app : public QWidget
{
    Q_OBJECT
public:
    explicit nv9471fp_app(QWidget *parent = nullptr);
    ~nv9471fp_app() override;

    // Before the constructor has finished: installs the layout on the frame
    // itself; afterwards on contentArea.
    void setContentLayout(QLayout *layout);
    void setTitleText(const QString &text);
    void setCarrierLxi(bool lxi);
    void setSlotText(const QString &text, const QString &whatsThis = QString());
    void setFcText(const QString &text, const QString &whatsThis = QString());
    void setDemo(bool demo);
    void showAutoscale(bool show);

signals:
    void autoscaleToggled(bool);
    void identToggled(bool);
    void startSingle();
    void breakSingle();
    void startCont();
    void stopCont();
    void resetPressed();

public slots:
    void enterWIT();
    void userBreak();
    void enableStart();
    void autoscaleToggledSlot(bool status);
    void identToggledSlot(bool status);
    void startToggledSlot(bool checked);
    void startContToggledSlot(bool checked);

protected:
    // Asks "Do you really want to exit?" through the message seam.
    void closeEvent(QCloseEvent *event) override;
    // The question of the close confirmation; true when the operator said Yes.
    bool confirmClose();

public:
    // Child widgets, owned by Qt's parent-child tree. Public so that the
    // card-specific window and tests reach them as the frame's members.
    QLabel *titleLabel = nullptr;
    QLabel *carrierLogo = nullptr;
    QWidget *contentArea = nullptr;
    nv9471fp_led *activeLed = nullptr;
    QLabel *slotLabel = nullptr;
    QLabel *fcLabel = nullptr;
    QLabel *autoscaleLabel = nullptr;
    QPushButton *autoscaleButton = nullptr;
    QLabel *identLabel = nullptr;
    QPushButton *identButton = nullptr;
    QPushButton *singleButton = nullptr;
    QPushButton *contButton = nullptr;
    QPushButton *resetButton = nullptr;
    QPushButton *helpButton = nullptr;
    QPushButton *aboutButton = nullptr;
    QPushButton *closeButton = nullptr;

protected:
    bool constructed = false;
};

#endif
