// The measurement table as JSON: sfpmeasure's "--format json" and the
// measurement page's "Save Table…" write it with this one function. Numbers
// are the same in every locale (a decimal point, 12 significant digits);
// a figure that is not finite or could not be measured is null.
//
// {"file": "run.bin6842" or null (live data), "card": 1, "scans": N,
//  "rateHz": fs, "padding": P, "iterations": I, ["settings": {...},]
//  "blocks": [{"block": 3 or null, "channels": [
//      {"channel": 1, "gain": 10 or null, "filter": true or null,
//       "amplitudeV": ..., "meanV", "vrmsV", "frequencyHz", "phaseUs",
//       "thdDb", "sinadDb", "snrDb", "sfdrDb", "enob"[, "details": {...}]}]}]}
// or, for an average over blocks, "average": {"first": F, "last": L,
// "channels": [...]} in place of "blocks".
#ifndef MEASUREMENTJSON_H
#define MEASUREMENTJSON_H

#include "analysisSettings.h"
#include "channelMeasurement.h"
#include "harmonicDetails.h"

#include <optional>
#include <string>
#include <vector>

struct MeasurementJsonChannel
{
    int channel = 1;            // 1 ... 16
    std::optional<int> gain;    // the channel's gain, 1 ... 2000; none: null (a stored file holds none)
    std::optional<bool> filter; // its input filter on or off; none: null
    ChannelFigures figures;
    const SpectralDetails *details = nullptr; // a "details" object when set; borrowed
};

struct MeasurementJsonTable
{
    std::optional<long long> block; // from 1; none: null (live data)
    std::vector<MeasurementJsonChannel> channels;
};

struct MeasurementJsonRun
{
    std::optional<std::string> file; // the stored file's name; none: null (live data)
    int card = 1;                    // from 1
    int scans = 0;
    double rateHz = 0.0;
    int padding = 1;
    int iterations = 0;
    const AnalysisSettings *settings = nullptr; // a "settings" object when set; borrowed
    // The one table is the mean over blocks first ... last (from 1).
    bool average = false;
    unsigned long long first = 0, last = 0;
};

std::string measurementJsonText(const MeasurementJsonRun &run, const std::vector<MeasurementJsonTable> &tables);

// A JSON number: "%.12g" in the C locale, null when not finite.
std::string jsonNumber(double value);

#endif
