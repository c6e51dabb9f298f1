// Page of the Trellin 3520 input-protection unit, an SCU that plugs onto the
// front connector of a 6842 card. It shows the unit and the gains and enables
// of the card's channels as the main window reports them.
#ifndef NV3520FP_SCUWIDGET_H
#define NV3520FP_SCUWIDGET_H

#include "nv9471fp_scuPluginInterface.h"

#include <QByteArray>

class QLabel;
class QTableWidget;

class nv3520fp_scuWidget : public nv9471fp_scuWidget
{
    Q_OBJECT
public:
    static constexpr ViUInt16 unitModel = 0x3520;
    static constexpr int channels = 16;
    // Gains above this overdrive the unit's protection stage.
    static constexpr int maxGain = 100;
    static constexpr ViStatus errorNoChannel = ViStatus(0xBFFC3501UL);
    static constexpr ViStatus warningGain = ViStatus(0x3FFC3502UL);

    explicit nv3520fp_scuWidget(QWidget *parent = nullptr);

    void initialize(int session, ViUInt16 modelCode, ViUInt16 cardValue) override;
    bool isPresent() override;
    bool supportsCard() override;
    bool isOperational() override;
    bool endsOffer() override;
    QString serialNumber() override;
    QString revision() override;
    QString model() override;
    QString headerText1() override;
    QString headerText2() override;

    QTableWidget *table = nullptr;
    QLabel *unitLabel = nullptr;

public slots:
    void masterGainChanged(int chIdx, int gain) override;
    void masterChannelEnabled(int chIdx, int enable) override;

signals:
    // text stays valid until the next error of this page; connect directly.
    void masterError(int status, const char *text);

private:
    void reportError(ViStatus status, const QString &text);

    int session = 0;
    ViUInt16 cardModel = 0;
    ViUInt16 cardValue = 0;
    ViUInt16 detectedUnit = 0;
    int fcNumber = 0;
    bool sessionRead = false;
    QByteArray lastError;
};

#endif
