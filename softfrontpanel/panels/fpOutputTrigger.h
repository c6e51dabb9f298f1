// The front-panel output triggers of one card (a group on the card's page).
// Nothing is sent when a combo changes: the acquisition start reads the item
// data, which are the driver's source codes, and the Negate boxes.
#ifndef FPOUTPUTTRIGGER_H
#define FPOUTPUTTRIGGER_H

#include <QGroupBox>

class QCheckBox;
class QComboBox;

class fpOutputTrigger : public QGroupBox
{
    Q_OBJECT
public:
    explicit fpOutputTrigger(QWidget *parent = nullptr);

    QComboBox *outputTrigger1 = nullptr;
    QComboBox *outputTrigger2 = nullptr;
    QCheckBox *outputTrigger1negate = nullptr;
    QCheckBox *outputTrigger2negate = nullptr;

public slots:
    // A Negate box is enabled only while its trigger is not "Disabled".
    void outputTriggerChange();
};

#endif
