#include "nv9471fp_fcEnterAddress.h"

#include "nv9471fp_fcEnterAddressFc.h"
#include "nv9471fp_genFC.h"
#include "nv9471fp_rememberedDescriptors.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

QString nv9471fp_rememberedDescriptorsPath()
{
    QString base = qEnvironmentVariable("ALLUSERSPROFILE");
    if (base.isEmpty()) {
#ifdef Q_OS_WIN
        base = QStringLiteral("c:/vxipnp");
#else
        base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    }
    return QDir::fromNativeSeparators(base) + QStringLiteral("/Norvane/DefaultInstrDescr.ini");
}

nv9471fp_fcEnterAddress::nv9471fp_fcEnterAddress(nv9471fp_genFC *card, QWidget *parent)
    : QDialog(parent), modelText(card ? nv9471fp_modelText(card->modelCode) : QString()),
      iniPath(nv9471fp_rememberedDescriptorsPath())
{
    const bool multiCard = modelText == QLatin1String("6842") || modelText == QLatin1String("6851");
    setWindowTitle(QStringLiteral("Trellin ") + modelText +
                   (multiCard ? QStringLiteral(" SFP: Enter Addresses of Function Cards")
                              : QStringLiteral(" SFP: Enter Function Card Address")));
    setWindowIcon(QIcon(QStringLiteral(":/fp-window-icon.png")));

    auto *layout = new QVBoxLayout(this);
    const int rowCount = multiCard ? maxRows : 1;
    for (int r = 0; r < rowCount; ++r) {
        rows[r] = new nv9471fp_fcEnterAddressFc(this);
        layout->addWidget(rows[r]);
        layout->addSpacing(10);
    }

    auto *bottom = new QHBoxLayout;
    if (multiCard) {
        countBox = new QComboBox(this);
        for (int n = 1; n <= maxRows; ++n)
            countBox->addItem(QString::number(n));
        bottom->addWidget(new QLabel(QStringLiteral("Count: "), this));
        bottom->addWidget(countBox);
    }
    bottom->addStretch();
    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    // Return in a descriptor box must not close the dialog.
    for (QPushButton *button : {okButton, cancelButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        bottom->addWidget(button);
    }
    layout->addLayout(bottom);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    if (countBox) {
        connect(countBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &nv9471fp_fcEnterAddress::countChanged);
    }
    countChanged();
}

int nv9471fp_fcEnterAddress::rowsInUse() const
{
    return countBox ? countBox->currentIndex() + 1 : 1;
}

void nv9471fp_fcEnterAddress::countChanged()
{
    const int count = rowsInUse();
    for (int r = 0; r < maxRows; ++r) {
        if (rows[r])
            rows[r]->setEnabled(r < count);
    }
    adjustSize();
}

void nv9471fp_fcEnterAddress::loadRemembered()
{
    const nv9471fp_rememberedDescriptors remembered =
        nv9471fp_readRememberedDescriptors(iniPath, modelText, isMultiCard() ? maxRows : 1);
    for (int r = 0; r < remembered.rows.size(); ++r) {
        QComboBox *box = rows[r]->descriptorBox;
        box->clear();
        box->addItems(remembered.rows.at(r).history);
        rows[r]->fcNumberBox->setCurrentIndex(remembered.rows.at(r).fcNumber);
    }
    if (countBox)
        countBox->setCurrentIndex(remembered.count - 1);
}

void nv9471fp_fcEnterAddress::takeAddresses(QStringList &descriptors, QList<int> &fcNumbers)
{
    descriptors.clear();
    fcNumbers.clear();
    nv9471fp_rememberedDescriptors remembered;
    remembered.count = rowsInUse();
    for (int r = 0; r < maxRows && rows[r]; ++r) {
        const QComboBox *box = rows[r]->descriptorBox;
        QStringList earlier;
        for (int i = 0; i < box->count(); ++i)
            earlier.append(box->itemText(i));
        nv9471fp_rememberedRow row;
        // The first entry is the current text, trimmed: what is opened and remembered.
        row.history = nv9471fp_rememberedHistory(box->currentText(), earlier);
        row.fcNumber = rows[r]->fcNumberBox->currentIndex();
        remembered.rows.append(row);
        if (r < remembered.count) {
            descriptors.append(row.history.first());
            fcNumbers.append(row.fcNumber);
        }
    }
    nv9471fp_writeRememberedDescriptors(iniPath, modelText, remembered);
}
