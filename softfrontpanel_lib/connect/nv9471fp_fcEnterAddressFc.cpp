#include "nv9471fp_fcEnterAddressFc.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

nv9471fp_fcEnterAddressFc::nv9471fp_fcEnterAddressFc(QWidget *parent) : QWidget(parent)
{
    descriptorBox = new QComboBox(this);
    descriptorBox->setEditable(true);
    // Typed text is taken as it stands; it must not be added to the history
    // behind our back (the history is kept in the remembered descriptors).
    descriptorBox->setInsertPolicy(QComboBox::NoInsert);
    descriptorBox->setMinimumWidth(20 * fontMetrics().height());
    descriptorBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    descriptorBox->setToolTip(QStringLiteral(
        "Enter the Instrument descriptor for the Function Card you want to connect to.<br>"
        "Examples:<br><b>VXI0::1::INSTR</b> - VXI mainframe 0, Module with Logical Address 1<br>"
        "<b>TCPIP::192.168.2.60::INSTR</b> - Network Instrument with IP Address 192.168.2.60"));

    fcNumberBox = new QComboBox(this);
    fcNumberBox->addItem(QStringLiteral("Select"));
    for (int fc = 1; fc <= 8; ++fc)
        fcNumberBox->addItem(QStringLiteral("FC %1").arg(fc));
    fcNumberBox->setToolTip(QStringLiteral("Select the Function Card Number"));

    auto *descriptorLine = new QHBoxLayout;
    descriptorLine->addWidget(new QLabel(QStringLiteral("Instrument Descriptor:"), this));
    descriptorLine->addWidget(descriptorBox);
    auto *numberLine = new QHBoxLayout;
    numberLine->addWidget(new QLabel(QStringLiteral("Function Card Number:"), this));
    numberLine->addWidget(fcNumberBox);
    numberLine->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(descriptorLine);
    layout->addLayout(numberLine);
}
