// The rules behind the spectral figures, as an engineer may tune them.
//
// Use:
//     AnalysisSettings s;                       // today's rules: every figure as before
//     s.harmonics = 5; s.bandLowHz = 20; s.bandHighHz = 20000;
//     std::string why = checkAnalysisSettings(s);
//     if (!why.empty()) { show why; keep the old settings }
//     CardMeasurementInput in; in.settings = s;  // measureCard applies them
//     cell colour and tool tip: analysisSettingsDefault(s), analysisSettingsChanges(s)
//     details header line:      analysisSettingsLine(s)
// Spans are counted in unpadded bins (fs / N, N the block length); with zero
// padding P a span of b bins covers b * P transform bins. The peak search
// that finds the fundamental always starts at 5 P, whatever dcBins says.
// Plain values, no storage: the panel keeps them with QSettings.
#ifndef ANALYSISSETTINGS_H
#define ANALYSISSETTINGS_H

#include <limits>
#include <string>
#include <utility>
#include <vector>

// Where the sine fit starts: the largest bin's frequency (the panel's rule)
// or the fundamental interpolated from its span, which keeps the
// 3-parameter fit of a tone off the FFT grid from reading too small.
enum class FitStart { largestBin, interpolated };

struct AnalysisSettings
{
    // Highest harmonic order counted, 2 ... 30; 0: every harmonic below the
    // Nyquist frequency, at most 30.
    int harmonics = 0;
    // Harmonics above the Nyquist frequency are folded back into the band
    // and counted (with harmonics 0: up to order 30).
    bool aliasedHarmonics = false;
    int harmonicBins = 7;   // half-span of each harmonic, 1 ... 100 bins
    int dcBins = 7;         // bins 0 ... dcBins belong to DC, 0 ... 100
    int fundamentalBins = 7; // half-span of the fundamental, 1 ... 100 bins
    // Analysis band in Hz; bins outside it count neither as noise, nor as
    // spur, nor as harmonic. The default is the whole band.
    double bandLowHz = 0.0;
    double bandHighHz = std::numeric_limits<double>::infinity();
    FitStart fitStart = FitStart::largestBin;
};

// Limits of the settings.
constexpr int analysisMaxHarmonics = 30;
constexpr int analysisMaxSpanBins = 100;

bool operator==(const AnalysisSettings &a, const AnalysisSettings &b);
inline bool operator!=(const AnalysisSettings &a, const AnalysisSettings &b) { return !(a == b); }

// True when s gives exactly the panel's own figures.
bool analysisSettingsDefault(const AnalysisSettings &s);

// "" when s is usable, else one sentence naming the setting and its range,
// such as "The number of harmonics must be 2 to 30, or all."
std::string checkAnalysisSettings(const AnalysisSettings &s);

// The settings that differ from the defaults, one per line ("" for the
// defaults), for a tool tip: "Harmonics: 2 to 5\nAnalysis band: 20 Hz to 20000 Hz".
std::string analysisSettingsChanges(const AnalysisSettings &s);

// Every setting on one line, for a header: "Settings: harmonics all below
// Nyquist (at most 30); aliased harmonics off; ...". Numbers are written
// the same in every locale.
std::string analysisSettingsLine(const AnalysisSettings &s);

// The settings as named texts, as the panel stores them (with QSettings):
// "Harmonics" ("all" or 2 ... 30), "AliasedHarmonics" ("true", "false"),
// "HarmonicBins", "DcBins", "FundamentalBins" (whole numbers), "BandLowHz",
// "BandHighHz" (plain numbers, the upper one may be "nyquist"), "FitStart"
// ("largest", "interpolated"). Numbers are written the same in every locale.
using AnalysisSettingsValues = std::vector<std::pair<std::string, std::string>>;
AnalysisSettingsValues analysisSettingsValues(const AnalysisSettings &s);
// Reads such texts into s; names not given keep the defaults, unknown names
// are ignored. "" when the texts make usable settings; else one sentence
// that names the setting (an unreadable text, or the range from
// checkAnalysisSettings), and s is the defaults.
std::string readAnalysisSettingsValues(const AnalysisSettingsValues &values, AnalysisSettings &s);

// Reads "LOW:HIGH" (Hz, plain decimal numbers, HIGH may be "nyquist")
// into low and high; false, leaving them alone, on anything else.
// Whether the band makes sense is checkAnalysisSettings' part.
bool parseAnalysisBand(const std::string &text, double &low, double &high);

#endif
