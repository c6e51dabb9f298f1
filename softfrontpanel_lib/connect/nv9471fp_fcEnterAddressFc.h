// One row of the address-entry dialog: a descriptor with its history and the
// number of the function card behind it.
#ifndef NV9471FP_FCENTERADDRESSFC_H
#define NV9471FP_FCENTERADDRESSFC_H

#include <QWidget>

class QComboBox;

class nv9471fp_fcEnterAddressFc : public QWidget
{
    Q_OBJECT
public:
    explicit nv9471fp_fcEnterAddressFc(QWidget *parent = nullptr);

    // Editable; the items are the row's descriptor history, newest first.
    QComboBox *descriptorBox = nullptr;
    // "Select", then "FC 1" to "FC 8": the current index is the FC number (0 = none).
    QComboBox *fcNumberBox = nullptr;
};

#endif
