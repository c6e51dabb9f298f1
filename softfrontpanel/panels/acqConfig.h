// The settings dialog shown before a continuous acquisition with storage: the
// output file, its format, time stamps and the plot refresh interval, with the
// expected data rate. The acquisition start reads the controls; the rules live
// in acqConfigRules.
#ifndef ACQCONFIG_H
#define ACQCONFIG_H

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class acqConfig : public QDialog
{
    Q_OBJECT
public:
    // The main window; the dialog takes its window icon. Reads the
    // "DataStorage" settings once, here.
    explicit acqConfig(QWidget *parent);

    // Writes file name, format and time-stamp choice back to the settings.
    void saveSettings() const;

    QLineEdit *fileNameEdit = nullptr; // empty: acquire without storing
    QComboBox *formatCombo = nullptr;  // index = storage format, data = bytes per value
    QComboBox *refreshCombo = nullptr; // data = refresh interval in ms
    QLabel *refreshLabel = nullptr;
    QCheckBox *timestampsBox = nullptr;
    QWidget *mainWindow = nullptr;
    QLabel *rateLabel = nullptr;
    int samplesPerSecond = 0; // all enabled channels together
    QPushButton *browseButton = nullptr;
    QPushButton *startButton = nullptr;
    QPushButton *cancelButton = nullptr;

public slots:
    // A negative argument keeps the last rate (used when only the format changed).
    void setDataRate(int samplesPerSecond = -1);
    // Fits the extension to the format; with moreChecks also refuses a
    // missing directory, reports a changed extension and asks before
    // overwriting. True when the path may be used.
    bool checkPath(bool moreChecks = false);
    void acceptMaybe();
    void browseSlot();

protected:
    // The save-file dialog; tests replace it so that no modal dialog runs.
    // Returns the chosen name, empty when cancelled.
    virtual QString chooseOutputFile(const QString &caption, const QString &startPath,
                                     const QString &filters, QString *selectedFilter);
};

#endif
