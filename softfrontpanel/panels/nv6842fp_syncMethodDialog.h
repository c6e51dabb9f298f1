// The synchronisation-method question of multi-card LXI set-ups whose cards
// sit on different hosts. The combo belongs to the waveform panel and
// outlives the dialog: the acquisition start reads its index and the main
// window stores it when it closes.
#ifndef NV6842FP_SYNCMETHODDIALOG_H
#define NV6842FP_SYNCMETHODDIALOG_H

#include <QDialog>

class QComboBox;
class QPushButton;

class nv6842fp_syncMethodDialog : public QDialog
{
    Q_OBJECT
public:
    // The combo "LXI Triggers" (0) / "IEEE 1588" (1), owned by owner, preset
    // from the stored setting.
    static QComboBox *createSyncMethodCombo(QWidget *owner);
    // Creates the combo for owner, asks modally and returns the combo.
    static QComboBox *run(const QWidget *mainWindow, QWidget *owner);

    // Without parent; takes the main window's icon and title. The combo is
    // lent to the dialog's layout and handed back to its owner on destruction.
    nv6842fp_syncMethodDialog(const QWidget *mainWindow, QComboBox *syncMethod);
    ~nv6842fp_syncMethodDialog() override;

    QComboBox *syncMethod = nullptr;
    QPushButton *okButton = nullptr;

private:
    QWidget *comboOwner = nullptr;
};

#endif
