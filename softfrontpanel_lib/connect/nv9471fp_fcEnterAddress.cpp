#include "nv9471fp_fcEnterAddress.h"

#include "nv9471fp_fcEnterAddressFc.h"
#include "nv9471fp_genFC.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const char defaultDescriptor[] = "TCPIP::192.168.2.100::INSTR";

QString descriptorKey(int row, int position)
{
    return QStringLiteral("%1.%2.Descriptor").arg(row).arg(position);
}

QString fcNumberKey(int row)
{
    return QStringLiteral("%1.FC_Number").arg(row);
}

} // namespace

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
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.beginGroup(modelText);
    for (int r = 0; r < maxRows; ++r) {
        if (!rows[r])
            continue;
        QComboBox *box = rows[r]->descriptorBox;
        box->clear();
        for (int n = 1; n <= historyLength; ++n) {
            const QString value = settings.value(descriptorKey(r + 1, n)).toString();
            if (!value.isEmpty())
                box->addItem(value);
            else if (r == 0 && n == 1)
                box->addItem(QLatin1String(defaultDescriptor));
        }
        // A hand-edited or foreign file may hold any number; only 0 to 8 are choices.
        const int fcNumber = settings.value(fcNumberKey(r + 1), 0).toInt();
        rows[r]->fcNumberBox->setCurrentIndex(
            fcNumber >= 0 && fcNumber < rows[r]->fcNumberBox->count() ? fcNumber : 0);
    }
    const int count = settings.value(QStringLiteral("FC_Count"), 1).toInt();
    if (countBox && count - 1 >= 0 && count - 1 < countBox->count())
        countBox->setCurrentIndex(count - 1);
}

void nv9471fp_fcEnterAddress::takeAddresses(QStringList &descriptors, QList<int> &fcNumbers)
{
    descriptors.clear();
    fcNumbers.clear();
    const QString directory = QFileInfo(iniPath).absolutePath();
    QDir().mkpath(directory);
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.beginGroup(modelText);
    const int count = rowsInUse();
    for (int r = 0; r < maxRows; ++r) {
        if (!rows[r])
            continue;
        const QComboBox *box = rows[r]->descriptorBox;
        const QString current = box->currentText();
        settings.setValue(descriptorKey(r + 1, 1), current);

        QStringList history{current};
        for (int i = 0; i < box->count() && history.size() < historyLength; ++i) {
            if (!history.contains(box->itemText(i)))
                history.append(box->itemText(i));
        }
        for (int n = 1; n <= historyLength; ++n)
            settings.setValue(descriptorKey(r + 1, n), history.value(n - 1));

        const int fcNumber = rows[r]->fcNumberBox->currentIndex();
        settings.setValue(fcNumberKey(r + 1), fcNumber);
        if (r < count) {
            descriptors.append(current);
            fcNumbers.append(fcNumber);
        }
    }
    settings.setValue(QStringLiteral("FC_Count"), count);
}
