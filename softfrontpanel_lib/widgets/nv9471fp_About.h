// The About box: product, legal notice, third-party licences, software
// revisions and pages of hardware information. OK only hides it.
#ifndef NV9471FP_ABOUT_H
#define NV9471FP_ABOUT_H

#include <QDialog>
#include <QStringList>

class QFormLayout;
class QGroupBox;
class QLabel;
class QPushButton;

class nv9471fp_About : public QDialog
{
    Q_OBJECT
public:
    // qwtVersion empty: no Qwt row; kissFft false: no KISS FFT row.
    nv9471fp_About(const QString &version, const QString &driverRevision,
                   const QString &modelText, const QString &legalNotice, QWidget *parent,
                   const QString &commonLibraryRevision = QString(),
                   const QString &qwtVersion = QString(), bool kissFft = false);

    void addHardwarePage(const QString &serialNumber, const QString &revision,
                         const QString &model, const QString &headerText1 = QString(),
                         const QString &headerText2 = QString());

    int pageCount() const { return pageModels.size(); }
    int currentPage() const { return current; }

public slots:
    void next();
    void prev();
    void showKissFFTLicense();
    void showQtLicense();
    void showQwtLicense();
    void openLicensesWebPage();

public:
    // Reached by tests and by the card-specific window.
    QLabel *headerLabel = nullptr;
    QLabel *noticeLabel = nullptr;
    QLabel *commonLibraryLabel = nullptr;
    QLabel *driverLabel = nullptr;
    QLabel *panelLabel = nullptr;
    QGroupBox *licenceGroup = nullptr;
    QGroupBox *hardwareGroup = nullptr;
    QLabel *modelValue = nullptr;    // hardware form, created with the first page
    QLabel *revisionValue = nullptr;
    QLabel *serialValue = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *prevButton = nullptr;
    QPushButton *nextButton = nullptr;

private:
    void showPage(int page);

    QFormLayout *hardwareForm = nullptr;
    QStringList pageSerials, pageRevisions, pageModels, pageHeaders1, pageHeaders2;
    int current = 0;
};

#endif
