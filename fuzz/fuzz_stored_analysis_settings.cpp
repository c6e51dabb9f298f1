// libFuzzer target of the analysis settings as the measurement page reads
// them back from its store: lines "Name=text" as QSettings hands them over.
// Beyond not crashing it checks that settings read are usable and read back
// the same from what is written for them, and that refused ones leave the
// defaults with a reason.
#include "analysisSettings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    AnalysisSettingsValues values;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            values.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        start = end + 1;
    }
    AnalysisSettings s;
    s.harmonics = 3; // overwritten either way
    const std::string refused = readAnalysisSettingsValues(values, s);
    if (!refused.empty()) {
        require(s == AnalysisSettings());
        return 0;
    }
    require(checkAnalysisSettings(s).empty());
    AnalysisSettings again;
    require(readAnalysisSettingsValues(analysisSettingsValues(s), again).empty() && again == s);
    return 0;
}
