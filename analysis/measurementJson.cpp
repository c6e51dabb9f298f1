#include "measurementJson.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string jsonString(const std::string &text)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += char(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            quoted += escape;
        } else {
            quoted += char(c);
        }
    }
    return quoted + "\"";
}

// JSON keys of the ten figures, in column order, with their units.
const char *const figureKeys[measurementColumnCount] = {"amplitudeV", "meanV", "vrmsV", "frequencyHz", "phaseUs",
                                                        "thdDb", "sinadDb", "snrDb", "sfdrDb", "enob"};

std::string jsonDetails(const SpectralDetails &d)
{
    std::string text = "{\"fundamentalHz\": " + jsonNumber(d.fundamentalHz)
                       + ", \"fundamentalDbfs\": " + jsonNumber(d.fundamentalDbfs) + ", \"harmonics\": [";
    const char *separator = "";
    for (const HarmonicLevel &h : d.harmonics) {
        text += separator;
        text += "{\"order\": " + std::to_string(h.order) + ", \"frequencyHz\": " + jsonNumber(h.frequencyHz)
                + ", \"dBc\": " + jsonNumber(h.dBc) + ", \"dBFS\": " + jsonNumber(h.dBFS)
                + ", \"aliased\": " + (h.aliased ? "true" : "false") + ", \"inBand\": " + (h.inBand ? "true" : "false")
                + "}";
        separator = ", ";
    }
    return text + "], \"spurHz\": " + jsonNumber(d.spurHz) + ", \"spurDbc\": " + jsonNumber(d.spurDbc)
           + ", \"noiseFloorDbfs\": " + jsonNumber(d.noiseFloorDbfs)
           + ", \"nsdDbfsPerHz\": " + jsonNumber(d.noiseDensityDbfsPerHz)
           + ", \"nsdVoltsPerRootHz\": " + jsonNumber(d.noiseDensityVoltsPerRootHz)
           + ", \"thdPlusNDb\": " + jsonNumber(d.thdPlusNoiseDb)
           + ", \"thdPlusNPercent\": " + jsonNumber(d.thdPlusNoisePercent) + "}";
}

std::string jsonSettings(const AnalysisSettings &s)
{
    return std::string("{\"harmonics\": ") + (s.harmonics ? std::to_string(s.harmonics) : std::string("\"all\""))
           + ", \"aliasedHarmonics\": " + (s.aliasedHarmonics ? "true" : "false")
           + ", \"harmonicBins\": " + std::to_string(s.harmonicBins) + ", \"dcBins\": " + std::to_string(s.dcBins)
           + ", \"fundamentalBins\": " + std::to_string(s.fundamentalBins)
           + ", \"bandLowHz\": " + jsonNumber(s.bandLowHz) + ", \"bandHighHz\": " + jsonNumber(s.bandHighHz)
           + ", \"fitStart\": " + (s.fitStart == FitStart::interpolated ? "\"interpolated\"" : "\"largest\"") + "}";
}

std::string jsonChannels(const std::vector<MeasurementJsonChannel> &channels)
{
    std::string text = "[";
    const char *separator = "";
    for (const MeasurementJsonChannel &c : channels) {
        text += separator;
        text += "\n      {\"channel\": " + std::to_string(c.channel);
        text += ", \"gain\": " + (c.gain ? std::to_string(*c.gain) : std::string("null"));
        text += std::string(", \"filter\": ") + (c.filter ? (*c.filter ? "true" : "false") : "null");
        for (int column = 0; column < measurementColumnCount; ++column)
            text += std::string(", \"") + figureKeys[column] + "\": " + jsonNumber(figureColumn(c.figures, column));
        if (c.details)
            text += ", \"details\": " + jsonDetails(*c.details);
        text += "}";
        separator = ",";
    }
    return text + "\n    ]";
}

} // namespace

std::string jsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    // to_chars never reads the process locale, unlike printf: the page runs
    // under the desktop's.
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 12);
    return end.ec == std::errc() ? std::string(text, end.ptr) : std::string("null");
}

std::string measurementJsonText(const MeasurementJsonRun &run, const std::vector<MeasurementJsonTable> &tables)
{
    std::string text = "{\n  \"file\": " + (run.file ? jsonString(*run.file) : std::string("null"))
                       + ",\n  \"card\": " + std::to_string(run.card) + ",\n  \"scans\": " + std::to_string(run.scans)
                       + ",\n  \"rateHz\": " + jsonNumber(run.rateHz) + ",\n  \"padding\": "
                       + std::to_string(run.padding) + ",\n  \"iterations\": " + std::to_string(run.iterations)
                       + ",\n";
    if (run.settings)
        text += "  \"settings\": " + jsonSettings(*run.settings) + ",\n";
    if (run.average) {
        const std::vector<MeasurementJsonChannel> none;
        return text + "  \"average\": {\"first\": " + std::to_string(run.first) + ", \"last\": "
               + std::to_string(run.last)
               + ", \"channels\": " + jsonChannels(tables.empty() ? none : tables.front().channels) + "}\n}\n";
    }
    text += "  \"blocks\": [";
    for (size_t i = 0; i < tables.size(); ++i)
        text += std::string(i ? "," : "") + "\n    {\"block\": "
                + (tables[i].block ? std::to_string(*tables[i].block) : std::string("null"))
                + ", \"channels\": " + jsonChannels(tables[i].channels) + "}";
    return text + "\n  ]\n}\n";
}
