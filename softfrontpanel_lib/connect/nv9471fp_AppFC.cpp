#include "nv9471fp_AppFC.h"

#include "nv9471.h"
#include "nv9471fp_About.h"
#include "nv9471fp_descriptor.h"
#include "nv9471fp_fcSelect.h"
#include "nv9471fp_genFC.h"
#include "nv9471fp_messages.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <memory>

namespace {

const char vxiWhatsThis[] = "Shows which VXI module is connected to the Soft Front Panel";
const char lxiWhatsThisText[] = "Shows which LXI module is connected to the Soft Front Panel";
const char fcWhatsThis[] = "Shows which function card is connected to the Soft Front Panel";

// Reads a text attribute into a 256-character buffer; empty when unreadable.
QString textAttribute(ViSession vi, ViAttr attribute)
{
    ViChar text[256] = {};
    if (viGetAttribute(vi, attribute, text) < VI_SUCCESS)
        return QString();
    text[sizeof text - 1] = '\0';
    return QString::fromLatin1(text);
}

QString commonLibraryText(ViStatus status)
{
    ViChar text[1024] = {};
    nv9471_errorText(status, text);
    text[sizeof text - 1] = '\0';
    return QString::fromLatin1(text);
}

// Slot text (and, for a network carrier, host text) of one session: the VXI
// slot when it can be read, else the TCP/IP device and host names.
struct ModuleTexts {
    bool network = false;
    QString slot;
    QString host;
};

ModuleTexts readModuleTexts(ViSession vi)
{
    ModuleTexts texts;
    ViInt16 slot = 0;
    if (viGetAttribute(vi, VI_ATTR_SLOT, &slot) < VI_SUCCESS) {
        texts.network = true;
        texts.slot = textAttribute(vi, VI_ATTR_TCPIP_DEVICE_NAME);
        texts.host = textAttribute(vi, VI_ATTR_TCPIP_HOSTNAME);
    } else {
        texts.slot = QStringLiteral("Slot %1").arg(slot);
    }
    return texts;
}

} // namespace

nv9471fp_AppFC::nv9471fp_AppFC(nv9471fp_genFC *card, bool allowSeveral, bool offline,
                               const QString &qwtVersion, bool kissFftFlag, QWidget *parent)
    : nv9471fp_app(parent), cardDescription(card)
{
    d_vi = 0;
    auto select = std::make_unique<nv9471fp_fcSelect>(card, allowSeveral);
    if (!offline) {
        select->setWindowIcon(windowIcon());
        centreOnScreen(select.get());
        if (!select->chooseConnection()) {
            demoMode = 1;
            abandoned = true;
            sfp::endProcess(0);
            return;
        }
        demoMode = select->demoMode;
    } else {
        demoMode = 1;
    }

    d_vi = select->session;
    for (int i = 0; i < 256; ++i)
        fcNumbers[i] = select->fcNumbers[i];
    setDemo(demoMode != 0);
    cardCount = select->cardCount;

    QString slotText;
    QString hostText;
    QString fcText;
    if (demoMode) {
        lxiCarrier = false;
        d_vi = 0;
    } else {
        const ModuleTexts texts = readModuleTexts(d_vi);
        lxiCarrier = texts.network;
        slotText = texts.slot;
        hostText = texts.host;
        fcText = fcLabelText(fcNumbers[0]);
    }
    select.reset();

    const QString title =
        QStringLiteral("Trellin ") + modelText() + QStringLiteral(" Soft Front Panel");
    setWindowTitle(hostText.isEmpty() ? title : title + QStringLiteral(": ") + hostText);
    setTitleText(QStringLiteral("<html>Trellin ") + modelText() + QStringLiteral("<br>") +
                 QStringLiteral("<font size='2'>") + (card ? card->description() : QString()) +
                 QStringLiteral("</font></html>"));
    setCarrierLxi(lxiCarrier);
    setSlotText(slotText, lxiWhatsThis());
    setFcText(fcText, QLatin1String(fcWhatsThis));

    createAboutBox(qwtVersion, kissFftFlag);
    connect(this, &nv9471fp_app::resetPressed, this, &nv9471fp_AppFC::resetDevice);
}

nv9471fp_AppFC::~nv9471fp_AppFC()
{
    if (!demoMode && cardDescription)
        cardDescription->multClose(d_vi);
}

QString nv9471fp_AppFC::modelText() const
{
    return cardDescription ? nv9471fp_modelText(cardDescription->modelCode) : QString();
}

QString nv9471fp_AppFC::lxiWhatsThis() const
{
    return QLatin1String(lxiCarrier ? lxiWhatsThisText : vxiWhatsThis);
}

void nv9471fp_AppFC::createAboutBox(const QString &qwtVersion, bool kissFftFlag)
{
    ViChar revision[256] = {};
    nv9471_revision(revision);
    revision[sizeof revision - 1] = '\0';
    const nv9471fp_genFC *card = cardDescription;
    aboutDialog = new nv9471fp_About(card ? card->version() : QString(),
                                     card ? card->driverRevision() : QString(), modelText(),
                                     card ? card->legalNotice() : QString(), this,
                                     QString::fromLatin1(revision), qwtVersion, kissFftFlag);
    aboutDialog->setWindowIcon(windowIcon());
    connect(aboutButton, &QPushButton::clicked, aboutDialog, &QWidget::show);
}

void nv9471fp_AppFC::resetDevice()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const bool resetting = !demoMode && cardDescription;
    ViStatus status = VI_SUCCESS;
    if (resetting)
        status = cardDescription->multReset(d_vi);
    if (status < VI_SUCCESS)
        showError(
            QStringLiteral("Function Call failed due to [%1]").arg(commonLibraryText(status)));
    else if (status > VI_SUCCESS)
        showWarning(QStringLiteral("Warning [%1]").arg(commonLibraryText(status)));
    QApplication::restoreOverrideCursor();
    if (resetting && status >= VI_SUCCESS)
        deviceWasReset();
}

void nv9471fp_AppFC::tabChanged(int index)
{
    if (demoMode || !cardDescription)
        return;
    ViSession fc_vi = 0;
    const ViStatus status = cardDescription->fcSession(d_vi, ViInt16(index), &fc_vi);
    if (status < VI_SUCCESS)
        showError(QStringLiteral("%1 failed due to [%2]")
                      .arg(cardDescription->fcSessionCallText(),
                           cardDescription->errorMessage(status)));
    const ModuleTexts texts = readModuleTexts(fc_vi);
    setSlotText(texts.slot, lxiWhatsThis());
    const int fcNumber = index >= 0 && index < 256 ? fcNumbers[index] : 0;
    setFcText(QStringLiteral("FC #%1").arg(fcNumber), QLatin1String(fcWhatsThis));
    setWindowTitle(QStringLiteral("Trellin ") + modelText() +
                   QStringLiteral(" Soft Front Panel: ") + texts.host);
}
