// The main-panel frame tied to real cards: runs the connection dialog at
// construction, keeps the multi-card session (or demo mode), shows which
// carrier and function card the panel talks to, offers Reset Device, owns the
// About box and closes the session when it goes away. The card-specific main
// window derives from it and reads its members.
#ifndef NV9471FP_APPFC_H
#define NV9471FP_APPFC_H

#include "nv9471fp_app.h"
#include "visa.h"

class nv9471fp_About;
class nv9471fp_genFC;

class nv9471fp_AppFC : public nv9471fp_app
{
    Q_OBJECT
public:
    // allowSeveral: several cards may be chosen in the selection tree.
    // offline: no connection dialog, demo mode (a stored file is being viewed).
    // qwtVersion and kissFftFlag are handed to the About box unchanged.
    nv9471fp_AppFC(nv9471fp_genFC *card, bool allowSeveral, bool offline, const QString &qwtVersion,
                   bool kissFftFlag, QWidget *parent = nullptr);
    ~nv9471fp_AppFC() override; // closes the session unless in demo mode

    // True when the operator gave up in the connection dialog; the process is
    // ending (under a test hook the object stays, unconnected and in demo mode).
    bool connectionAbandoned() const { return abandoned; }

    ViSession d_vi = 0;      // multi-card session, 0 in demo mode
    int demoMode = 1;        // 1: no hardware calls anywhere
    int fcNumbers[256] = {}; // FC number of each opened card, in session order
    int cardCount = 0;
    bool lxiCarrier = false;                   // the first card sits on a network carrier
    nv9471fp_genFC *cardDescription = nullptr; // non-owning
    nv9471fp_About *aboutDialog = nullptr;     // child of the panel

public slots:
    void resetDevice();

protected slots:
    // Shows the carrier, card and host of card index (0-based) in the labels
    // and the title; the card-specific window calls it when its tab changes.
    virtual void tabChanged(int index);

protected:
    QString modelText() const;
    // Called after Reset Device has reset the cards without an error (never
    // in demo mode). The reset brings back the cards' defaults: the
    // card-specific window sends what its panels show again.
    virtual void deviceWasReset() {}

private:
    void showConnectedModule();
    void createAboutBox(const QString &qwtVersion, bool kissFftFlag);
    QString lxiWhatsThis() const;

    bool abandoned = false;
};

#endif
