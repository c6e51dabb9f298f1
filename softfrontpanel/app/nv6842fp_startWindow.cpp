#include "nv6842fp_startWindow.h"

#include "nv6842.h"
#include "nv6842fp_globals.h"
#include "nv9471fp_genFC.h"
#include "nv9471fp_licenses.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
QString fileSummary()
{
    const StoredFileInfo_t &info = StoredFileInfo;
    QStringList masks;
    for (int card = 0; card < info.fcCount; ++card)
        masks << QStringLiteral("FC%1: 0x%2").arg(card + 1).arg(info.channelMask[card], 4, 16,
                                                                  QLatin1Char('0'));
    // One pass over the placeholders, so that a "%" in the path stays as it is.
    return QStringLiteral("<b>Stored file</b> %1<br>%2 blocks of %3 scans, %4 channels on %5 "
                          "function card%6 (%7), %8 Hz%9")
        .arg(QString::fromLocal8Bit(info.path).toHtmlEscaped(), QString::number(info.blockCount),
             QString::number(info.scansPerBlock), QString::number(info.channelCount),
             QString::number(info.fcCount), info.fcCount == 1 ? QString() : QStringLiteral("s"),
             masks.join(QStringLiteral(", ")), QString::number(info.rateHz, 'g', 6),
             info.hasTimestamps ? QStringLiteral(", with time stamps") : QString());
}
} // namespace

nv6842fp_StartWindow::nv6842fp_StartWindow(nv9471fp_genFC *card, int demoCardCount,
                                           bool fileLoaded, QWidget *parent)
    : nv9471fp_AppFC(card, true, fileLoaded, nv9471fp_linkedQwtVersion(), true, parent)
{
    if (connectionAbandoned())
        return;
    QString summary;
    if (fileLoaded)
        summary = fileSummary();
    else if (demoMode)
        summary = QStringLiteral("<b>Demo mode</b> with %1 function cards.").arg(demoCardCount);
    else
        summary = sessionSummary();
    summaryLabel = new QLabel(summary);
    summaryLabel->setWordWrap(true);
    summaryLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A session of many cards lists more lines than a screen holds; they
    // scroll, so that the window and its buttons stay on the screen.
    auto *scroller = new QScrollArea;
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(summaryLabel);
    auto *layout = new QVBoxLayout;
    layout->addWidget(scroller);
    setContentLayout(layout);
    resize(640, 420);
}

QString nv6842fp_StartWindow::sessionSummary() const
{
    QStringList rows;
    for (int k = 0; k < cardCount; ++k) {
        ViSession fcVi = 0;
        ViChar subtype[3] = {};
        ViUInt32 serial = 0;
        QString identity = QStringLiteral("not readable");
        if (nv6842_getMultFCsession(d_vi, ViInt16(k), &fcVi) >= 0 &&
            nv6842_getSubType(fcVi, subtype) >= 0 && nv6842_getSerNum(fcVi, &serial) >= 0)
            identity = QStringLiteral("6842-%1, serial number %2")
                           .arg(QString::fromLatin1(subtype, 2))
                           .arg(serial, 8, 16, QLatin1Char('0'));
        rows << QStringLiteral("Function Card #%1 (FC %2): %3").arg(k + 1).arg(fcNumbers[k]).arg(
                    identity);
    }
    return QStringLiteral("<b>Connected</b> to %1 function card%2:<br>%3")
        .arg(cardCount)
        .arg(cardCount == 1 ? QString() : QStringLiteral("s"))
        .arg(rows.join(QStringLiteral("<br>")));
}
