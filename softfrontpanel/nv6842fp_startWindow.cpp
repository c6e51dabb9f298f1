#include "nv6842fp_startWindow.h"

#include "nv6842fp_globals.h"
#include "nv9471fp_genFC.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString fileSummary()
{
    const StoredFileInfo_t &info = StoredFileInfo;
    QStringList masks;
    for (int card = 0; card < info.fcCount; ++card)
        masks << QStringLiteral("FC%1: 0x%2").arg(card + 1).arg(info.channelMask[card], 4, 16,
                                                                  QLatin1Char('0'));
    return QStringLiteral("<b>Stored file</b> %1<br>%2 blocks of %3 scans, %4 channels on %5 "
                          "function cards (%6), %7 Hz%8")
        .arg(QString::fromLocal8Bit(info.path).toHtmlEscaped())
        .arg(info.blockCount)
        .arg(info.scansPerBlock)
        .arg(info.channelCount)
        .arg(info.fcCount)
        .arg(masks.join(QStringLiteral(", ")))
        .arg(info.rateHz, 0, 'g', 6)
        .arg(info.hasTimestamps ? QStringLiteral(", with time stamps") : QString());
}
} // namespace

nv6842fp_StartWindow::nv6842fp_StartWindow(nv9471fp_genFC *card, int demoCardCount,
                                           bool fileLoaded, QWidget *parent)
    : QWidget(parent)
{
    const QString model = nv9471fp_modelText(card->modelCode);
    setWindowTitle(QStringLiteral("Trellin %1 Soft Front Panel").arg(model));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("<h2>Trellin %1</h2>%2")
                                 .arg(model, card->description().toHtmlEscaped()));
    summaryLabel = new QLabel(fileLoaded ? fileSummary()
                                         : QStringLiteral("Demo mode with %1 function cards.")
                                               .arg(demoCardCount));
    summaryLabel->setWordWrap(true);
    summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *close = new QPushButton(QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(title);
    layout->addWidget(summaryLabel, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(520, 240);
}
