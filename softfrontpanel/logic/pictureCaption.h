// The caption line under a saved or copied plot picture: which cards and
// channels are shown, the sampling rate, the block length, which block it
// is, and what the picture's values depend on (the spectrum's window and
// zero padding, an averaging or a unit in force). The panel's pages and
// sfpplot build it from the same description, so that a picture of the
// same block reads the same wherever it was made. Numbers are written with
// a decimal point whatever the process locale.
//
// Parts, joined by " | ", each only when it applies:
//   FC1 Ch 1, 3-5; FC2 Ch 2        cards and channels shown (cards from 1)
//   10000 Hz                       sampling rate
//   2048 scans per block
//   block 12 of 40, first time stamp 1714564837.000001000 s
//                                  the block (from 1; "of N" for a stored
//                                  file), then its first time stamp (card
//                                  time, as the CSV writes it) when the
//                                  block carries stamps, else the time it
//                                  was acquired ("acquired 2024-05-01T14:00:00+02:00")
//   file run.bin6842               a stored file's name (offline viewing)
//   Hann window, zero padding 10 x spectra: the window and padding ("off")
//   <spectrum mode text>           spectra: averaging and unit in force, as given
//   unit mA = (V - 2.5 V) x 4      time plots: a custom unit in force ("V + 2.5 V"
//                                  for an offset of -2.5 V)
#ifndef PICTURECAPTION_H
#define PICTURECAPTION_H

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

struct pictureCaptionInput {
    std::vector<uint16_t> shownChannels; // per card, bit i = channel i + 1
    double rateHz = 0.0;
    int scans = 0;
    int64_t block = 0;      // from 1; 0: no block shown
    int64_t blockCount = 0; // blocks of the stored file; 0: not a file
    bool hasStamp = false;  // the block's first scan carries a time stamp
    int32_t stampSeconds = 0;
    int32_t stampNanos = 0;
    QDateTime acquired;     // when the block was taken; invalid: unknown
    QString fileName;       // the stored file's name, without its folder

    bool spectrum = false;
    QString windowName;     // as the "FFT Window: " combo names it
    int padding = 1;        // zero-padding factor
    QString spectrumMode;   // averaging and unit in force; empty for none

    bool customUnit = false; // the time plot shows (V - offset) * multiplier
    QString unitName;
    double unitOffset = 0.0; // volts
    double unitMultiplier = 1.0;
};

QString pictureCaption(const pictureCaptionInput &in);

// The name of a window type as the "FFT Window: " combo shows it; types
// outside the table name the rectangular window, which they give.
QString pictureWindowName(int windowType);

#endif
