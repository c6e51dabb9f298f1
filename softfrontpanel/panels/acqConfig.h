// The settings dialog shown before a continuous acquisition with storage: the
// output file, its format, time stamps, a file set, the trend log and the
// plot refresh interval, with the expected data rate. The acquisition start reads the controls; the rules live
// in acqConfigRules.
#ifndef ACQCONFIG_H
#define ACQCONFIG_H

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class acqConfig : public QDialog
{
    Q_OBJECT
public:
    // The main window; the dialog takes its window icon. Reads the
    // "DataStorage" settings once, here.
    explicit acqConfig(QWidget *parent);

    // Writes file name, format, time-stamp, split and trend choices back to the settings.
    void saveSettings() const;

    QLineEdit *fileNameEdit = nullptr; // empty: acquire without storing
    QComboBox *formatCombo = nullptr;  // index = storage format, data = bytes per value
    QComboBox *refreshCombo = nullptr; // data = refresh interval in ms
    QLabel *refreshLabel = nullptr;
    QCheckBox *timestampsBox = nullptr;
    QWidget *mainWindow = nullptr;
    QLabel *rateLabel = nullptr;
    int samplesPerSecond = 0; // all enabled channels together
    // A set of files instead of one ("Start a new file every" N "MB" or
    // "minutes"), and the measurement trend log beside the data; both off
    // unless stored.
    QCheckBox *splitBox = nullptr;
    QSpinBox *splitValue = nullptr;
    QComboBox *splitUnitCombo = nullptr; // index = acqSplitUnit
    QCheckBox *trendBox = nullptr;
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
