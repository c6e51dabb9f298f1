#include "nv6842fp_syncMethodDialog.h"

#include "nv6842fp_daqRules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QComboBox *nv6842fp_syncMethodDialog::createSyncMethodCombo(QWidget *owner)
{
    auto *combo = new QComboBox(owner);
    combo->setMinimumWidth(100);
    combo->addItems(nv6842fp_syncMethodItems());
    combo->setCurrentIndex(nv6842fp_storedSyncMethod());
    combo->hide();
    return combo;
}

QComboBox *nv6842fp_syncMethodDialog::run(const QWidget *mainWindow, QWidget *owner)
{
    QComboBox *combo = createSyncMethodCombo(owner);
    nv6842fp_syncMethodDialog dialog(mainWindow, combo);
    dialog.exec();
    return combo;
}

nv6842fp_syncMethodDialog::nv6842fp_syncMethodDialog(const QWidget *mainWindow,
                                                     QComboBox *syncMethod_)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowTitleHint),
      syncMethod(syncMethod_), comboOwner(syncMethod_->parentWidget())
{
    if (mainWindow) {
        setWindowIcon(mainWindow->windowIcon());
        setWindowTitle(mainWindow->windowTitle());
    }
    setModal(true);
    setMinimumWidth(330);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Synchronization Method"), this), 1, 0);
    grid->addWidget(syncMethod, 1, 1);
    syncMethod->show();

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setAutoDefault(false);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(okButton);
    buttonRow->addStretch();
    grid->addLayout(buttonRow, 2, 0, 1, 2);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

nv6842fp_syncMethodDialog::~nv6842fp_syncMethodDialog()
{
    // Give the combo back before the dialog's children are deleted.
    syncMethod->hide();
    syncMethod->setParent(comboOwner);
}
