// The contract between the front panel and the plug-in libraries of
// signal-conditioning units (SCUs). A plug-in is a Qt plug-in whose root
// object implements nv9471fp_scuPluginInterface; its factory makes one SCU
// widget per function card. Header only: plug-ins include it and link nothing
// of the front panel.
#ifndef NV9471FP_SCUPLUGININTERFACE_H
#define NV9471FP_SCUPLUGININTERFACE_H

#include "visa.h"

#include <QString>
#include <QWidget>
#include <QtPlugin>

// The page of one unit in front of one card. The host calls, in this order:
// initialize(), isPresent(), supportsCard() and isOperational() (both must be
// true to offer the page), endsOffer(), then the About texts.
//
// The concrete class also provides, by these exact signatures (the host
// connects them by name, so the plug-in needs none of the host's meta-objects):
//   public slots: void masterGainChanged(int chIdx, int gain);
//                 void masterChannelEnabled(int chIdx, int enable);
//   signals:      void masterError(int status, const char *text);
// The page's window title is its tab title.
class nv9471fp_scuWidget : public QWidget
{
public:
    explicit nv9471fp_scuWidget(QWidget *parent = nullptr) : QWidget(parent) {}
    ~nv9471fp_scuWidget() override = default;

    // session: the card's own session (0 in demo mode); modelCode: the card's
    // model (0x6842); cardValue: a per-card value the main window chooses.
    virtual void initialize(int session, ViUInt16 modelCode, ViUInt16 cardValue) = 0;
    // The unit is fitted in front of this card.
    virtual bool isPresent() = 0;
    // The unit can work with this card model and variant.
    virtual bool supportsCard() = 0;
    // The unit answered its set-up and is ready for use.
    virtual bool isOperational() = 0;
    // True when no further unit can sit in front of the same card; on a real
    // card no later page is offered then.
    virtual bool endsOffer() = 0;

    // Texts of the unit's hardware page in the About box.
    virtual QString serialNumber() = 0;
    virtual QString revision() = 0;
    virtual QString model() = 0;
    virtual QString headerText1() = 0;
    virtual QString headerText2() = 0;

    virtual void masterGainChanged(int chIdx, int gain) = 0;
    virtual void masterChannelEnabled(int chIdx, int enable) = 0;
};

// The root object of a plug-in library.
class nv9471fp_scuPluginInterface
{
public:
    virtual ~nv9471fp_scuPluginInterface() = default;
    // A new page (owned by the caller), or null when the library has none.
    virtual nv9471fp_scuWidget *createScuWidget() = 0;
};

#define nv9471fp_scuPluginInterface_iid "com.norvane.Plugin.nv9471fp_scuPluginInterface/1.0"
Q_DECLARE_INTERFACE(nv9471fp_scuPluginInterface, nv9471fp_scuPluginInterface_iid)

// Signatures for connecting a page with the string-based QObject::connect.
#define NV9471FP_SCU_GAIN_SLOT SLOT(masterGainChanged(int, int))
#define NV9471FP_SCU_ENABLE_SLOT SLOT(masterChannelEnabled(int, int))
#define NV9471FP_SCU_ERROR_SIGNAL SIGNAL(masterError(int, const char *))

#endif
