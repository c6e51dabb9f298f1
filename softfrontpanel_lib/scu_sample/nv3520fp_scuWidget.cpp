#include "nv3520fp_scuWidget.h"

#include "nv6842.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

nv3520fp_scuWidget::nv3520fp_scuWidget(QWidget *parent) : nv9471fp_scuWidget(parent)
{
    setWindowTitle(QStringLiteral("SCU 3520"));
    unitLabel = new QLabel(this);
    table = new QTableWidget(channels, 2, this);
    table->setHorizontalHeaderLabels({QStringLiteral("Enabled"), QStringLiteral("Gain")});
    for (int ch = 0; ch < channels; ++ch) {
        table->setVerticalHeaderItem(ch, new QTableWidgetItem(QStringLiteral("CH %1").arg(ch + 1)));
        table->setItem(ch, 0, new QTableWidgetItem(QStringLiteral("-")));
        table->setItem(ch, 1, new QTableWidgetItem(QStringLiteral("-")));
    }
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(unitLabel);
    layout->addWidget(table);
}

void nv3520fp_scuWidget::initialize(int newSession, ViUInt16 modelCode, ViUInt16 newCardValue)
{
    session = newSession;
    cardModel = modelCode;
    cardValue = newCardValue;
    detectedUnit = 0;
    sessionRead = false;
    if (session != 0) {
        // The carrier reports the unit's model code in the card's session record.
        ViAddr record = nullptr;
        if (viGetAttribute(ViSession(session), VI_ATTR_USER_DATA, &record) >= VI_SUCCESS &&
            record) {
            const auto *env = static_cast<const instEnv_t *>(record);
            detectedUnit = env->scuModel;
            fcNumber = env->fcNumber;
            sessionRead = true;
        }
    }
    const QString subtype = QString(QChar(cardValue >> 8)) + QChar(cardValue & 0xFF);
    unitLabel->setText(session == 0
                           ? QStringLiteral("Trellin 3520 input-protection unit (demo unit)")
                           : QStringLiteral("Trellin 3520 input-protection unit in front of FC %1 "
                                            "(card subtype %2)")
                                 .arg(fcNumber)
                                 .arg(subtype));
}

bool nv3520fp_scuWidget::isPresent()
{
    // Without hardware the page is shown as a demo unit, so that the operator
    // can see what the unit offers.
    if (session == 0)
        return true;
    return sessionRead && detectedUnit == unitModel;
}

bool nv3520fp_scuWidget::supportsCard()
{
    return cardModel == nv6842_MODEL_CODE;
}

bool nv3520fp_scuWidget::isOperational()
{
    return session == 0 || sessionRead;
}

bool nv3520fp_scuWidget::endsOffer()
{
    // The unit covers the card's whole front connector.
    return true;
}

QString nv3520fp_scuWidget::serialNumber()
{
    return session == 0 ? QStringLiteral("DEMO")
                        : QStringLiteral("3520%1").arg(fcNumber, 4, 10, QLatin1Char('0'));
}

QString nv3520fp_scuWidget::revision()
{
    return QStringLiteral("A1");
}

QString nv3520fp_scuWidget::model()
{
    return QStringLiteral("3520");
}

QString nv3520fp_scuWidget::headerText1()
{
    return QString();
}

QString nv3520fp_scuWidget::headerText2()
{
    return QString();
}

void nv3520fp_scuWidget::reportError(ViStatus status, const QString &text)
{
    lastError = text.toLatin1();
    emit masterError(status, lastError.constData());
}

void nv3520fp_scuWidget::masterGainChanged(int chIdx, int gain)
{
    if (chIdx < 0 || chIdx >= channels) {
        reportError(errorNoChannel,
                    QStringLiteral("SCU 3520: channel %1 does not exist").arg(chIdx + 1));
        return;
    }
    table->item(chIdx, 1)->setText(QString::number(gain));
    if (gain > maxGain) {
        reportError(warningGain, QStringLiteral("SCU 3520: gain %1 on channel %2 overdrives the "
                                                "protection stage")
                                     .arg(gain)
                                     .arg(chIdx + 1));
    }
}

void nv3520fp_scuWidget::masterChannelEnabled(int chIdx, int enable)
{
    if (chIdx < 0 || chIdx >= channels) {
        reportError(errorNoChannel,
                    QStringLiteral("SCU 3520: channel %1 does not exist").arg(chIdx + 1));
        return;
    }
    table->item(chIdx, 0)->setText(enable ? QStringLiteral("Yes") : QStringLiteral("No"));
}
