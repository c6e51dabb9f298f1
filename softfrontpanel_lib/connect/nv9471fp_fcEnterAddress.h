// Typed addresses: up to eight rows of descriptor and function-card number,
// remembered per card model (a short history per row) in an INI file shared
// by all users of the computer.
#ifndef NV9471FP_FCENTERADDRESS_H
#define NV9471FP_FCENTERADDRESS_H

#include "nv9471fp_rememberedDescriptors.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QComboBox;
class QPushButton;
class nv9471fp_fcEnterAddressFc;
class nv9471fp_genFC;

// Where the remembered descriptors live: <base>/Norvane/DefaultInstrDescr.ini.
// The base is $ALLUSERSPROFILE when set and not empty; otherwise "c:/vxipnp"
// on Windows and the per-user configuration directory ($XDG_CONFIG_HOME, else
// ~/.config) elsewhere.
QString nv9471fp_rememberedDescriptorsPath();

class nv9471fp_fcEnterAddress : public QDialog
{
    Q_OBJECT
public:
    static const int maxRows = nv9471fp_rememberedDescriptors::maxRows;

    explicit nv9471fp_fcEnterAddress(nv9471fp_genFC *card, QWidget *parent = nullptr);

    // Fills the rows from the remembered descriptors (defaults when none).
    void loadRemembered();
    // The descriptors and FC numbers of the rows in use; saves all rows first,
    // so that even inputs rejected later are remembered.
    void takeAddresses(QStringList &descriptors, QList<int> &fcNumbers);

    // Models that open several cards at once get eight rows and a count.
    bool isMultiCard() const { return countBox != nullptr; }
    int rowsInUse() const;

    QString modelText;
    QString iniPath;
    nv9471fp_fcEnterAddressFc *rows[maxRows] = {}; // only rows[0] for single-card models
    QComboBox *countBox = nullptr;                 // null for single-card models
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

public slots:
    void countChanged();
};

#endif
