// Small helpers every 6842 panel uses to build its controls.
#ifndef NV6842FP_PANELHELPERS_H
#define NV6842FP_PANELHELPERS_H

#include "nv6842fp_daqRules.h"
#include "nv9471fp_messages.h"

#include <QComboBox>
#include <QString>
#include <QVector>
#include <QWidget>

// A control's tool tip and What's This text always read the same.
inline void setHelp(QWidget *widget, const QString &text)
{
    widget->setToolTip(text);
    widget->setWhatsThis(text);
}

// A combo of the given texts carrying the driver's codes as item data.
inline QComboBox *codeCombo(const QVector<nv6842fp_codeItem> &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    for (const nv6842fp_codeItem &item : items)
        combo->addItem(QString::fromLatin1(item.text), item.code);
    return combo;
}

// A box of the card's own panels, titled "Trellin 6842 SFP" unless told otherwise.
inline sfp::MessageAnswer nv6842fp_cardBox(QWidget *parent, QMessageBox::Icon icon,
                                           const QString &text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                           const QString &title = QStringLiteral("Trellin 6842 SFP"),
                                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    sfp::MessageRequest request;
    request.icon = icon;
    request.title = title;
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    request.parent = parent;
    return sfp::ask(request);
}

#endif
