#include "nv9471fp_licenses.h"

#include "nv9471fp_messages.h"

#include <QDesktopServices>
#include <QFile>
#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <qwt_global.h>

void nv9471fp_openLicensePage()
{
    const QString address = QString::fromLatin1(nv9471fp_licensePageUrl);
    if (!QDesktopServices::openUrl(QUrl(address)))
        showInfo(QStringLiteral("No web browser could be started.\n"
                                "You can read about the licenses at\n%1").arg(address));
}

QString nv9471fp_linkedQwtVersion()
{
    return QStringLiteral(QWT_VERSION_STR);
}

bool nv9471fp_isQt4(const QString &qtVersion)
{
    return qtVersion.startsWith(QLatin1Char('4'));
}

nv9471fp_licenseDialog::nv9471fp_licenseDialog(const QString &title, const QString &resourcePath,
                                               QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    setModal(true);

    textView = new QPlainTextEdit(this);
    textView->setReadOnly(true);
    textView->setFont(QFont(QStringLiteral("Courier")));
    // The texts are laid out in fixed columns by their authors.
    textView->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFile file(resourcePath);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        textView->setPlainText(QString::fromUtf8(file.readAll()));

    auto *okButton = new QPushButton(QStringLiteral("Ok"), this);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(textView);
    layout->addLayout(buttons);

    const double scale = logicalDpiX() / 96.0;
    setMinimumSize(int(650 * scale), int(500 * scale));
}

QString nv9471fp_licenseDialog::licenseText() const
{
    return textView->toPlainText();
}

qtLicense::qtLicense(QWidget *parent)
    : nv9471fp_licenseDialog(QStringLiteral("Qt LGPL License"),
                             nv9471fp_isQt4(QString::fromLatin1(qVersion()))
                                 ? QStringLiteral(":/qt-lgpl-license.txt")
                                 : QStringLiteral(":/qt5-lgpl-license.txt"),
                             parent)
{
}

qwtLicense::qwtLicense(QWidget *parent)
    : nv9471fp_licenseDialog(QStringLiteral("Qwt LGPL License"),
                             QStringLiteral(":/qwt-lgpl-license.txt"), parent)
{
}

kissFFTLicense::kissFFTLicense(QWidget *parent)
    : nv9471fp_licenseDialog(QStringLiteral("KISS FFT BSD License"),
                             QStringLiteral(":/kiss-fft-bsd-license.txt"), parent)
{
}
