// The settings-file rows of the pages that analyse the blocks: the spectrum
// page's averaging, unit and labels, and the measurement page's analysis
// settings and averages. Their texts and checks are the analysis library's
// own, so that the file, the pages and the stored settings agree.
#include "nv6842fp_settingsRows.h"

#include "analysis/figureAveraging.h"
#include "analysis/powerAveraging.h"
#include "analysis/magnitudeUnits.h"
#include "settingsRowKinds.h"

#include <algorithm>
#include <memory>

namespace {

using namespace settingsRow;

void addSpectrumRows(settingsTable &table, nv6842fp_panelSetup &setup, nv6842fp_setupPanel &panel)
{
    nv6842fp_spectrumSetup *view = &setup.spectrum;
    nv6842fp_setupPanel *page = &panel;
    const int group =
        table.addGroup([view, page] { page->readSpectrum(*view); }, [view, page] { page->applySpectrum(*view); });
    const QString section = QStringLiteral("Spectrum");
    QStringList modes, units;
    for (int mode = 0; mode < averagingModeCount; ++mode)
        modes << QString::fromStdString(averagingModeName(AveragingMode(mode)));
    for (int unit = 0; unit < spectrumUnitCount; ++unit)
        units << QString::fromStdString(spectrumUnitName(SpectrumUnit(unit)));
    addChoice(table, group, section, QStringLiteral("Averaging"), [view]() -> int & { return view->averaging; }, modes);
    addWhole(table, group, section, QStringLiteral("AveragingCount"),
             [view]() -> int & { return view->averagingCount; }, averagingMinCount, averagingMaxCount);
    addChoice(table, group, section, QStringLiteral("Unit"), [view]() -> int & { return view->unit; }, units);
    addTruth(table, group, section, QStringLiteral("Harmonics"), [view]() -> bool & { return view->harmonics; });
}

// A sentence of the analysis settings' checks ("The number of harmonics
// must be 2 to 30, or all.") as a reason of the summary's line.
QString reason(const std::string &sentence)
{
    QString text = QString::fromStdString(sentence);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

// An unreadable text is answered with the range of its setting, which the
// analysis library names for a number far outside every range; a choice's
// keeps the library's own answer.
bool unreadable(const std::string &refused, const std::string &given)
{
    return refused.find('"' + given + '"') != std::string::npos;
}

std::string rangeOf(const std::string &name, const std::string &refused)
{
    const std::string farOutside = "-1000000";
    AnalysisSettings ignored;
    const std::string range = readAnalysisSettingsValues({{name, farOutside}}, ignored);
    return unreadable(range, farOutside) ? refused : range;
}

std::string &textOf(AnalysisSettingsValues &values, const std::string &name)
{
    return std::find_if(values.begin(), values.end(), [&name](const auto &value) { return value.first == name; })
        ->second;
}

void addMeasurementRows(settingsTable &table, nv6842fp_panelSetup &setup, const nv6842fp_setupLimits &limits,
                        nv6842fp_setupPanel &panel)
{
    const QString section = QStringLiteral("Measurements");
    const QString averageKey = QStringLiteral("AverageBlocks");
    const AnalysisSettingsValues defaults = analysisSettingsValues(AnalysisSettings());
    if (!limits.acperf) {
        const QString why = QStringLiteral("the measurement page is offered with -acperf only");
        for (const auto &value : defaults)
            table.addAbsentRow(section, QString::fromStdString(value.first), why);
        table.addAbsentRow(section, averageKey, why);
        return;
    }

    // Staged as the texts the page stores: each is checked alone when taken
    // (the range of its own setting), the whole at the end, since a file
    // may move both ends of the band past the old ones. Like the settings
    // dialog's OK, a band that is wrong as a whole takes none of them.
    auto staged = std::make_shared<AnalysisSettingsValues>();
    AnalysisSettings *settings = &setup.analysis;
    nv6842fp_setupPanel *page = &panel;
    const int group = table.addGroup(
        [staged, settings, page] {
            page->readAnalysis(*settings);
            *staged = analysisSettingsValues(*settings);
        },
        [staged, settings, page] {
            readAnalysisSettingsValues(*staged, *settings);
            page->applyAnalysis(*settings);
        },
        [staged, section] {
            AnalysisSettings together;
            const std::string refused = readAnalysisSettingsValues(*staged, together);
            return refused.empty() ? QString()
                                   : QStringLiteral("%1: %2; none of the file's analysis settings are applied")
                                         .arg(section, reason(refused));
        });
    for (const auto &value : defaults) {
        const std::string name = value.first;
        // Read as every truth value of the file is.
        const bool truth = value.second == "true" || value.second == "false";
        table.addRow(
            group, section, QString::fromStdString(name),
            [staged, name] { return QString::fromStdString(textOf(*staged, name)); },
            [staged, name, truth](const QString &text) {
                std::string given = text.trimmed().toLower().toStdString();
                bool on = false;
                if (truth && parseTruth(text, on))
                    given = on ? "true" : "false";
                AnalysisSettings alone;
                const std::string refused = readAnalysisSettingsValues({{name, given}}, alone);
                if (!refused.empty() && truth)
                    return QStringLiteral("neither true nor false");
                if (!refused.empty())
                    return reason(unreadable(refused, given) ? rangeOf(name, refused) : refused);
                AnalysisSettingsValues written = analysisSettingsValues(alone);
                textOf(*staged, name) = textOf(written, name);
                return QString();
            });
    }

    int *blocks = &setup.averageBlocks;
    const int averageGroup = table.addGroup([blocks, page] { page->readAverageBlocks(*blocks); },
                                            [blocks, page] { page->applyAverageBlocks(*blocks); });
    addWhole(table, averageGroup, section, averageKey, [blocks]() -> int & { return *blocks; }, 1,
             figureAveragingMaxCount);
}

} // namespace

void nv6842fp_addAnalysisRows(settingsTable &table, nv6842fp_panelSetup &setup, const nv6842fp_setupLimits &limits,
                              nv6842fp_setupPanel &panel)
{
    addSpectrumRows(table, setup, panel);
    addMeasurementRows(table, setup, limits, panel);
}
