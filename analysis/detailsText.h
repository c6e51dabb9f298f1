// The harmonic and spur details of a card as a table and as the CSV text of
// its "Copy to Clipboard" (harmonicDetails.h holds the figures).
//
// Use:
//     int orders = detailsHighestOrder(measurement);          // columns H2 ... Hn
//     for column c < detailsColumnCount(orders):
//         header detailsColumnHeader(c, orders), cell detailsCellText(details[k], c, orders)
//     clipboard: detailsClipboardText(scans, rateHz, measurement)
// Cells of figures that could not be measured read "-". Every number is
// written the same in every locale.
#ifndef DETAILSTEXT_H
#define DETAILSTEXT_H

#include "channelMeasurement.h"

#include <string>

// The highest harmonic order of any enabled channel (at least 1: no
// harmonic column).
int detailsHighestOrder(const CardMeasurement &measurement);

// Three columns per harmonic 2 ... orders (frequency, dBc, dBFS), then the
// spur (Hz, dBc), noise floor (dBFS), NSD (dBFS/Hz, V/rtHz), THD+N (dB, %).
int detailsColumnCount(int orders);
// "H2 (Hz)", "H2 (dBc)", "H2 (dBFS)", ..., "Spur (Hz)", "Spur (dBc)",
// "Noise floor (dBFS)", "NSD (dBFS/Hz)", "NSD (V/rtHz)", "THD+N (dB)",
// "THD+N (%)".
std::string detailsColumnHeader(int column, int orders);
// The value of a column; NaN for a harmonic the channel does not have.
double detailsColumnValue(const SpectralDetails &details, int column, int orders);
// The value as the table shows it: frequencies 3 decimals, levels 2, THD+N
// in percent 4, the
// density in V/rtHz with 4 significant digits, "-" when not measured.
std::string detailsCellText(const SpectralDetails &details, int column, int orders);

// "Number of scans: N, scan rate: R Hz\n", the settings line
// (analysisSettingsLine), a blank line, the header
// "Channel, H2 (Hz), ...\n", then one line per enabled channel:
// "channel,cell,cell,...\n".
std::string detailsClipboardText(int scans, double rateHz, const CardMeasurement &measurement);

#endif
