// libFuzzer target: any bytes as a trend log, read line by line as the
// plotting tool reads it. Besides crashes it checks that every row read back
// is one the writer could have written: written again and read, it gives the
// same values bit for bit, and a skip row names blocks in order.
#include "trendlog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

char filePath[256];
int fileHandle = -1;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

bool sameRow(const TrendRow &a, const TrendRow &b)
{
    return a.block == b.block && std::memcmp(&a.timeSeconds, &b.timeSeconds, sizeof(double)) == 0
           && a.hasTimestamp == b.hasTimestamp && (!a.hasTimestamp || (a.stampSeconds == b.stampSeconds
                                                                       && a.stampNanos == b.stampNanos))
           && a.card == b.card && a.channel == b.channel && a.overRange == b.overRange
           && std::memcmp(a.figures, b.figures, sizeof a.figures) == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *directory = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::snprintf(filePath, sizeof filePath, "%s/sfp-fuzz-trend-XXXXXX", directory);
    fileHandle = mkstemp(filePath);
    if (fileHandle < 0) {
        std::perror("mkstemp");
        std::abort();
    }
    std::atexit([] { unlink(filePath); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (ftruncate(fileHandle, 0) != 0 || pwrite(fileHandle, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    TrendLogReader reader;
    if (!reader.open(filePath)) {
        check(!reader.error().empty(), "a refused log says why");
        return 0;
    }
    TrendEntry entry;
    while (reader.next(entry)) {
        if (entry.kind == TrendEntry::Skip) {
            check(entry.firstSkipped >= 0 && entry.firstSkipped <= entry.lastSkipped, "skip range");
            continue;
        }
        const TrendRow &row = entry.row;
        check(row.block >= 0 && row.card >= 1 && row.card <= 256 && row.channel >= 1 && row.channel <= 16,
              "row ranges");
        std::string text;
        appendTrendRow(text, row);
        check(!text.empty() && text.back() == '\n', "a row ends its line");
        TrendEntry again;
        bool comment = true;
        std::string why;
        check(parseTrendLine(text.data(), text.size() - 1, again, &comment, &why) && !comment, "a row reads back");
        check(again.kind == TrendEntry::Row && sameRow(row, again.row), "a row reads back unchanged");
    }
    return 0;
}
