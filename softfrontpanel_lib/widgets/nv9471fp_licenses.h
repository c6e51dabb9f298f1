// The licence texts of the libraries the program is built on, each in a modal
// dialog, and what the About box needs to name them.
#ifndef NV9471FP_LICENSES_H
#define NV9471FP_LICENSES_H

#include <QDialog>
#include <QString>

class QPlainTextEdit;

// The maker's page about third-party licence use.
inline constexpr char nv9471fp_licensePageUrl[] =
    "https://www.norvane.com/about/third-party-license-usage/";

// Opens the licence page in the desktop's browser; when no browser can be
// started the operator is given the address in an information box instead.
void nv9471fp_openLicensePage();

// The version of the Qwt library this program is linked with.
QString nv9471fp_linkedQwtVersion();

// Qt 4 came under LGPL v2.1, Qt 5 under LGPL v3.
bool nv9471fp_isQt4(const QString &qtVersion);

// A read-only text in Courier, at least 650 x 500 pixels at 96 dpi, and "Ok".
class nv9471fp_licenseDialog : public QDialog
{
    Q_OBJECT
public:
    nv9471fp_licenseDialog(const QString &title, const QString &resourcePath, QWidget *parent);
    QString licenseText() const;
    QPlainTextEdit *textView = nullptr;
};

class qtLicense : public nv9471fp_licenseDialog
{
    Q_OBJECT
public:
    explicit qtLicense(QWidget *parent = nullptr);
};

class qwtLicense : public nv9471fp_licenseDialog
{
    Q_OBJECT
public:
    explicit qwtLicense(QWidget *parent = nullptr);
};

class kissFFTLicense : public nv9471fp_licenseDialog
{
    Q_OBJECT
public:
    explicit kissFFTLicense(QWidget *parent = nullptr);
};

#endif
