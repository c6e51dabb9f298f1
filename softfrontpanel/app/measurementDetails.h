// The harmonic and spur details of the measurement page: for the 16
// channels of the selected card, one row each, the table of detailsText.h
// (per harmonic its frequency, dBc and dBFS; the worst other spur; noise
// floor; noise density; THD+N) and its own "Copy to Clipboard", whose text
// has the settings in its header line. The group starts closed: checking it
// shows the table, and only then are the details computed.
#ifndef MEASUREMENTDETAILS_H
#define MEASUREMENTDETAILS_H

#include "analysis/channelMeasurement.h"

#include <QGroupBox>

class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTableView;

// Figures computed with settings other than the defaults say so by the cell
// colour and a tool tip listing those settings (never by characters in the
// cell, which the clipboard copies). extra: more lines for the tool tip.
void nv6842fp_markSettings(QStandardItem *cell, const AnalysisSettings &settings, bool affected,
                           const QString &extra = QString());

class measurementDetails : public QGroupBox
{
    Q_OBJECT
public:
    explicit measurementDetails(QWidget *parent = nullptr);

    // The details of a measurement of `scans` scans at rateHz (rows of
    // disabled channels, and every row without details, show "-").
    void showMeasurement(const CardMeasurement &measurement, int scans, double rateHz);
    // Each column as wide as its widest text.
    void fitColumns();

    QTableView *table;
    QStandardItemModel *model;
    QPushButton *copyButton;

public slots:
    void copyToClipboard();

private:
    void showOpen(bool open);

    CardMeasurement shown;
    int shownScans = 0;
    double shownRate = 0.0;
};

#endif
