#include "nv9471fp_About.h"

#include "clickableLabel.h"
#include "nv9471fp_licenses.h"

#include <QApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

nv9471fp_About::nv9471fp_About(const QString &version, const QString &driverRevision,
                               const QString &modelText, const QString &legalNotice,
                               QWidget *parent, const QString &commonLibraryRevision,
                               const QString &qwtVersion, bool kissFft)
    : QDialog(parent)
{
    setWindowTitle(tr("About Trellin %1 Soft Front Panel").arg(modelText));
    setMinimumSize(380, 300);
    resize(380, 300);

    headerLabel = new QLabel(QStringLiteral("<font size='5' bold>Trellin %1 VXIplug&play Driver<br>"
                                            "Soft Front Panel Application</font>")
                                 .arg(modelText),
                             this);
    headerLabel->setAlignment(Qt::AlignCenter);
    noticeLabel = new QLabel(legalNotice, this);
    noticeLabel->setAlignment(Qt::AlignCenter);

    auto *logo = new QLabel(this);
    logo->setPixmap(QPixmap(QStringLiteral(":/norvane-logo.bmp")));
    logo->setStyleSheet(QStringLiteral("QLabel {background-color:#1A2C5E}"));
    logo->setAlignment(Qt::AlignTop);
    logo->setContentsMargins(10, 10, 10, 10);

    // Third-party licences.
    licenceGroup = new QGroupBox(QStringLiteral("Third-Party Licenses"), this);
    auto *licences = new QGridLayout(licenceGroup);
    const QString qtVersion = QString::fromLatin1(qVersion());
    auto *qtLink = new clickableLabel(QStringLiteral("Qt"), licenceGroup);
    connect(qtLink, &clickableLabel::clicked, qApp, &QApplication::aboutQt);
    auto *qtLicenceLink = new clickableLabel(
        nv9471fp_isQt4(qtVersion) ? QStringLiteral("LGPL v2.1") : QStringLiteral("LGPL v3"),
        licenceGroup);
    connect(qtLicenceLink, &clickableLabel::clicked, this, &nv9471fp_About::showQtLicense);
    int row = 0;
    licences->addWidget(qtLink, row, 0);
    licences->addWidget(
        new QLabel(QStringLiteral(" libraries version %1:").arg(qtVersion), licenceGroup), row, 1);
    licences->addWidget(qtLicenceLink, row, 2);
    if (!qwtVersion.isEmpty()) {
        ++row;
        auto *qwtLink = new clickableLabel(QStringLiteral("LGPL v2.1"), licenceGroup);
        connect(qwtLink, &clickableLabel::clicked, this, &nv9471fp_About::showQwtLicense);
        licences->addWidget(
            new QLabel(QStringLiteral("Qwt library version %1:").arg(qwtVersion), licenceGroup),
            row, 0, 1, 2);
        licences->addWidget(qwtLink, row, 2);
    }
    if (kissFft) {
        ++row;
        auto *kissLink = new clickableLabel(QStringLiteral("BSD"), licenceGroup);
        connect(kissLink, &clickableLabel::clicked, this, &nv9471fp_About::showKissFFTLicense);
        licences->addWidget(new QLabel(QStringLiteral("KISS FFT library:"), licenceGroup), row, 0,
                            1, 2);
        licences->addWidget(kissLink, row, 2);
    }
    ++row;
    auto *learnMore = new clickableLabel(QStringLiteral("Learn more about licenses"), licenceGroup);
    connect(learnMore, &clickableLabel::clicked, this, &nv9471fp_About::openLicensesWebPage);
    licences->addWidget(learnMore, row, 0, 1, 3);

    // Software revisions.
    auto *revisionGroup = new QGroupBox(QStringLiteral("Software Revisions"), this);
    auto *revisions = new QFormLayout(revisionGroup);
    commonLibraryLabel = new QLabel(commonLibraryRevision, revisionGroup);
    driverLabel = new QLabel(driverRevision, revisionGroup);
    panelLabel = new QLabel(version, revisionGroup);
    revisions->addRow(QStringLiteral("Trellin Common Library:"), commonLibraryLabel);
    revisions->addRow(QStringLiteral("Instrument Driver:"), driverLabel);
    revisions->addRow(QStringLiteral("Soft Front Panel:"), panelLabel);

    // Hardware pages, filled by addHardwarePage.
    hardwareGroup = new QGroupBox(QStringLiteral("Hardware Information"), this);
    hardwareForm = new QFormLayout(hardwareGroup);

    auto *groups = new QVBoxLayout;
    groups->addWidget(licenceGroup);
    groups->addWidget(revisionGroup);
    groups->addWidget(hardwareGroup);
    auto *middle = new QHBoxLayout;
    middle->addWidget(logo, 0, Qt::AlignTop);
    middle->addLayout(groups);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    prevButton = new QPushButton(QStringLiteral("< Previous"), this);
    nextButton = new QPushButton(QStringLiteral("Next >"), this);
    prevButton->setEnabled(false);
    prevButton->hide();
    nextButton->hide();
    connect(okButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(prevButton, &QPushButton::clicked, this, &nv9471fp_About::prev);
    connect(nextButton, &QPushButton::clicked, this, &nv9471fp_About::next);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(okButton);
    buttons->addStretch();
    buttons->addWidget(prevButton);
    buttons->addWidget(nextButton);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(headerLabel);
    layout->addWidget(noticeLabel);
    layout->addSpacing(fontMetrics().height());
    layout->addLayout(middle);
    layout->addLayout(buttons);
}

void nv9471fp_About::addHardwarePage(const QString &serialNumber, const QString &revision,
                                     const QString &model, const QString &headerText1,
                                     const QString &headerText2)
{
    if (pageModels.isEmpty()) {
        modelValue = new QLabel(model, hardwareGroup);
        revisionValue = new QLabel(revision, hardwareGroup);
        serialValue = new QLabel(serialNumber, hardwareGroup);
        hardwareForm->addRow(QStringLiteral("Device Model:"), modelValue);
        hardwareForm->addRow(QStringLiteral("Revision:"), revisionValue);
        hardwareForm->addRow(QStringLiteral("Serial Number:"), serialValue);
        if (!headerText1.isEmpty())
            headerLabel->setText(headerText1);
        if (!headerText2.isEmpty())
            noticeLabel->setText(headerText2);
    }
    pageSerials.append(serialNumber);
    pageRevisions.append(revision);
    pageModels.append(model);
    pageHeaders1.append(headerText1.isEmpty() ? headerLabel->text() : headerText1);
    pageHeaders2.append(headerText2.isEmpty() ? noticeLabel->text() : headerText2);
    if (pageModels.size() == 2) {
        prevButton->show();
        nextButton->show();
    }
}

void nv9471fp_About::next()
{
    if (current + 1 >= pageModels.size())
        return;
    ++current;
    nextButton->setEnabled(current < pageModels.size() - 1);
    prevButton->setEnabled(true);
    showPage(current);
}

void nv9471fp_About::prev()
{
    if (current <= 0)
        return;
    --current;
    prevButton->setEnabled(current > 0);
    nextButton->setEnabled(true);
    showPage(current);
}

void nv9471fp_About::showPage(int page)
{
    modelValue->setText(pageModels.at(page));
    revisionValue->setText(pageRevisions.at(page));
    serialValue->setText(pageSerials.at(page));
    headerLabel->setText(pageHeaders1.at(page));
    noticeLabel->setText(pageHeaders2.at(page));
}

void nv9471fp_About::showKissFFTLicense()
{
    kissFFTLicense dialog(this);
    dialog.exec();
}

void nv9471fp_About::showQtLicense()
{
    qtLicense dialog(this);
    dialog.exec();
}

void nv9471fp_About::showQwtLicense()
{
    qwtLicense dialog(this);
    dialog.exec();
}

void nv9471fp_About::openLicensesWebPage()
{
    nv9471fp_openLicensePage();
}
