#include "analysisSettings.h"

#include "plainNumber.h"

#include <cmath>

namespace {

const AnalysisSettings defaults;

std::string bandText(const AnalysisSettings &s)
{
    const std::string high = std::isinf(s.bandHighHz) ? std::string("Nyquist") : plainShortest(s.bandHighHz) + " Hz";
    return plainShortest(s.bandLowHz) + " Hz to " + high;
}

std::string harmonicsText(const AnalysisSettings &s)
{
    return s.harmonics == 0 ? std::string("all below Nyquist (at most 30)") : "2 to " + std::to_string(s.harmonics);
}

} // namespace

bool operator==(const AnalysisSettings &a, const AnalysisSettings &b)
{
    return a.harmonics == b.harmonics && a.aliasedHarmonics == b.aliasedHarmonics && a.harmonicBins == b.harmonicBins
           && a.dcBins == b.dcBins && a.fundamentalBins == b.fundamentalBins && a.bandLowHz == b.bandLowHz
           && a.bandHighHz == b.bandHighHz && a.fitStart == b.fitStart;
}

bool analysisSettingsDefault(const AnalysisSettings &s)
{
    return s == defaults;
}

std::string checkAnalysisSettings(const AnalysisSettings &s)
{
    if (s.harmonics != 0 && (s.harmonics < 2 || s.harmonics > analysisMaxHarmonics))
        return "The number of harmonics must be 2 to 30, or all.";
    if (s.harmonicBins < 1 || s.harmonicBins > analysisMaxSpanBins)
        return "The harmonic half-span must be 1 to 100 bins.";
    if (s.dcBins < 0 || s.dcBins > analysisMaxSpanBins)
        return "The DC exclusion must be 0 to 100 bins.";
    if (s.fundamentalBins < 1 || s.fundamentalBins > analysisMaxSpanBins)
        return "The fundamental half-span must be 1 to 100 bins.";
    if (!(s.bandLowHz >= 0.0 && std::isfinite(s.bandLowHz)) || !(s.bandHighHz > s.bandLowHz))
        return "The analysis band must lie from 0 Hz up to the Nyquist frequency, its upper end above its lower end.";
    if (s.fitStart != FitStart::largestBin && s.fitStart != FitStart::interpolated)
        return "The fit start must be the largest bin or interpolated from the spectrum.";
    return std::string();
}

std::string analysisSettingsChanges(const AnalysisSettings &s)
{
    std::string text;
    auto add = [&text](const std::string &line) { text += (text.empty() ? "" : "\n") + line; };
    if (s.harmonics != defaults.harmonics)
        add("Harmonics: " + harmonicsText(s));
    if (s.aliasedHarmonics != defaults.aliasedHarmonics)
        add(std::string("Aliased harmonics: ") + (s.aliasedHarmonics ? "counted" : "not counted"));
    if (s.harmonicBins != defaults.harmonicBins)
        add("Harmonic half-span: " + std::to_string(s.harmonicBins) + " bins");
    if (s.dcBins != defaults.dcBins)
        add("DC exclusion: " + std::to_string(s.dcBins) + " bins");
    if (s.fundamentalBins != defaults.fundamentalBins)
        add("Fundamental half-span: " + std::to_string(s.fundamentalBins) + " bins");
    if (s.bandLowHz != defaults.bandLowHz || s.bandHighHz != defaults.bandHighHz)
        add("Analysis band: " + bandText(s));
    if (s.fitStart != defaults.fitStart)
        add(std::string("Fit start: ") + (s.fitStart == FitStart::interpolated ? "interpolated from the spectrum" : "largest bin"));
    return text;
}

std::string analysisSettingsLine(const AnalysisSettings &s)
{
    return "Settings: harmonics " + harmonicsText(s) + "; aliased harmonics " + (s.aliasedHarmonics ? "on" : "off")
           + "; harmonic half-span " + std::to_string(s.harmonicBins) + " bins; DC exclusion "
           + std::to_string(s.dcBins) + " bins; fundamental half-span " + std::to_string(s.fundamentalBins)
           + " bins; band " + bandText(s) + "; fit start "
           + (s.fitStart == FitStart::interpolated ? "interpolated from the spectrum" : "largest bin");
}

bool parseAnalysisBand(const std::string &text, double &low, double &high)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    double from = 0.0, to = 0.0;
    const std::string upper = text.substr(colon + 1);
    if (!parsePlainNumber(text.substr(0, colon), from))
        return false;
    if (upper == "nyquist")
        to = std::numeric_limits<double>::infinity();
    else if (!parsePlainNumber(upper, to))
        return false;
    low = from;
    high = to;
    return true;
}

namespace {

const char harmonicsName[] = "Harmonics";
const char aliasedName[] = "AliasedHarmonics";
const char harmonicBinsName[] = "HarmonicBins";
const char dcBinsName[] = "DcBins";
const char fundamentalBinsName[] = "FundamentalBins";
const char bandLowName[] = "BandLowHz";
const char bandHighName[] = "BandHighHz";
const char fitStartName[] = "FitStart";

bool readWholeNumber(const std::string &text, int &value)
{
    double number = 0.0;
    // Far beyond every range, so that the range check names the setting.
    if (!parsePlainNumber(text, number) || number != std::floor(number) || std::fabs(number) > 1e6)
        return false;
    value = static_cast<int>(number);
    return true;
}

} // namespace

AnalysisSettingsValues analysisSettingsValues(const AnalysisSettings &s)
{
    return {{harmonicsName, s.harmonics == 0 ? std::string("all") : std::to_string(s.harmonics)},
            {aliasedName, s.aliasedHarmonics ? "true" : "false"},
            {harmonicBinsName, std::to_string(s.harmonicBins)},
            {dcBinsName, std::to_string(s.dcBins)},
            {fundamentalBinsName, std::to_string(s.fundamentalBins)},
            {bandLowName, plainShortest(s.bandLowHz)},
            {bandHighName, std::isinf(s.bandHighHz) ? std::string("nyquist") : plainShortest(s.bandHighHz)},
            {fitStartName, s.fitStart == FitStart::interpolated ? "interpolated" : "largest"}};
}

std::string readAnalysisSettingsValues(const AnalysisSettingsValues &values, AnalysisSettings &s)
{
    AnalysisSettings read;
    for (const auto &[name, text] : values) {
        bool ok = true;
        if (name == harmonicsName) {
            if (text == "all")
                read.harmonics = 0;
            else
                ok = readWholeNumber(text, read.harmonics) && read.harmonics != 0;
        } else if (name == aliasedName) {
            ok = text == "true" || text == "false";
            read.aliasedHarmonics = text == "true";
        } else if (name == harmonicBinsName) {
            ok = readWholeNumber(text, read.harmonicBins);
        } else if (name == dcBinsName) {
            ok = readWholeNumber(text, read.dcBins);
        } else if (name == fundamentalBinsName) {
            ok = readWholeNumber(text, read.fundamentalBins);
        } else if (name == bandLowName) {
            ok = parsePlainNumber(text, read.bandLowHz);
        } else if (name == bandHighName) {
            if (text == "nyquist")
                read.bandHighHz = std::numeric_limits<double>::infinity();
            else
                ok = parsePlainNumber(text, read.bandHighHz);
        } else if (name == fitStartName) {
            ok = text == "largest" || text == "interpolated";
            read.fitStart = text == "interpolated" ? FitStart::interpolated : FitStart::largestBin;
        }
        if (!ok) {
            s = AnalysisSettings();
            return "The stored setting " + name + " cannot be read: \"" + text + "\".";
        }
    }
    const std::string refused = checkAnalysisSettings(read);
    s = refused.empty() ? read : AnalysisSettings();
    return refused;
}
