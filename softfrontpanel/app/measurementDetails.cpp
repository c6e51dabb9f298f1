#include "measurementDetails.h"

#include "analysis/detailsText.h"
#include "analysis/measurementText.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

void nv6842fp_markSettings(QStandardItem *cell, const AnalysisSettings &settings, bool affected,
                           const QString &extra)
{
    QStringList tip;
    if (affected && !analysisSettingsDefault(settings)) {
        // A pale amber, readable with the text colour of any style.
        cell->setBackground(QColor(255, 236, 179));
        tip << QStringLiteral("Computed with analysis settings other than the defaults:")
            << QString::fromStdString(analysisSettingsChanges(settings));
    } else {
        cell->setData(QVariant(), Qt::BackgroundRole);
    }
    if (!extra.isEmpty())
        tip << extra;
    cell->setToolTip(tip.join(QLatin1Char('\n')));
}

measurementDetails::measurementDetails(QWidget *parent)
    : QGroupBox(QStringLiteral("Harmonic and spur details"), parent)
{
    setCheckable(true);
    setChecked(false);
    setToolTip(QStringLiteral("Per harmonic its frequency and level, the worst other spur, the noise floor, the "
                              "noise density and THD+N of each channel of the card."));
    model = new QStandardItemModel(measurementChannelCount, 0, this);
    table = new QTableView(this);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setModel(model);
    copyButton = new QPushButton(QStringLiteral("Copy to Clipboard"), this);
    copyButton->setToolTip(QStringLiteral("Copies the details table as comma-separated text, with the analysis "
                                          "settings in its header."));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addLayout(buttons);
    connect(copyButton, &QPushButton::clicked, this, &measurementDetails::copyToClipboard);
    // Closed, the group is a line with its check box.
    connect(this, &QGroupBox::toggled, this, &measurementDetails::showOpen);
    showOpen(false);
    showMeasurement(CardMeasurement(), 0, 0.0);
}

void measurementDetails::showOpen(bool open)
{
    setFlat(!open);
    table->setVisible(open);
    copyButton->setVisible(open);
    setMaximumHeight(open ? QWIDGETSIZE_MAX : minimumSizeHint().height());
}

void measurementDetails::showMeasurement(const CardMeasurement &measurement, int scans, double rateHz)
{
    shown = measurement;
    shownScans = scans;
    shownRate = rateHz;
    const int orders = detailsHighestOrder(measurement);
    const int columns = detailsColumnCount(orders);
    model->setColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        const QString header = QString::fromStdString(detailsColumnHeader(c, orders));
        QStandardItem *item = model->horizontalHeaderItem(c);
        if (!item)
            model->setHorizontalHeaderItem(c, new QStandardItem(header));
        else if (item->text() != header)
            item->setText(header);
    }
    for (int k = 0; k < measurementChannelCount; ++k) {
        const bool has = measurement.hasDetails && measurement.enabled(k);
        for (int c = 0; c < columns; ++c) {
            QStandardItem *cell = model->item(k, c);
            if (!cell) {
                cell = new QStandardItem;
                cell->setTextAlignment(Qt::AlignCenter);
                model->setItem(k, c, cell);
            }
            cell->setText(has ? QString::fromStdString(detailsCellText(measurement.details[k], c, orders))
                              : QString::fromLatin1(missingFigureText));
            nv6842fp_markSettings(cell, measurement.settings, has);
        }
    }
    fitColumns();
}

void measurementDetails::fitColumns()
{
    const QAbstractItemView *view = table; // public there: every row's widest cell
    for (int c = 0; c < model->columnCount(); ++c)
        table->setColumnWidth(c, std::max(view->sizeHintForColumn(c), table->horizontalHeader()->sectionSizeHint(c)));
}

void measurementDetails::copyToClipboard()
{
    QApplication::clipboard()->setText(
        QString::fromStdString(detailsClipboardText(shownScans, shownRate, shown)));
}
