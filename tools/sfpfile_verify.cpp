// sfpfile verify: whether a recording, or the files of a set in order, is
// complete. One verdict line per file with its problems indented below it,
// and a total line for a set.
#include "sfpfile_common.h"
#include "storedfile_verify.h"

#include <cstdio>
#include <string>
#include <vector>

int verifyCommand(int argc, char **argv)
{
    std::vector<const char *> files;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.size() > 1 && argument[0] == '-')
            return usageError("unknown option '" + argument + "'");
        files.push_back(argv[i]);
    }
    if (files.empty())
        return usageError("verify needs at least one FILE");

    uint64_t blocks = 0, unreadable = 0, incomplete = 0;
    double seconds = 0;
    StoredFileCheck previous;
    for (size_t i = 0; i < files.size(); ++i) {
        StoredFileCheck check = verifyStoredFile(files[i]);
        if (i > 0)
            checkStoredSetJoin(previous, &check);
        std::printf("%s: %s\n", files[i], storedCheckVerdict(check).c_str());
        for (const std::string &line : storedCheckDetails(check))
            std::printf("  %s\n", line.c_str());
        unreadable += !check.readable;
        incomplete += check.readable && !check.complete();
        if (check.readable) {
            blocks += check.info.blockCount;
            seconds += check.durationSeconds();
        }
        previous = std::move(check);
    }
    if (files.size() > 1) {
        std::string verdict = unreadable || incomplete ? "" : "complete";
        if (incomplete)
            verdict += std::to_string(incomplete) + " incomplete";
        if (unreadable)
            verdict += (incomplete ? ", " : "") + std::to_string(unreadable) + " unreadable";
        std::printf("total: %zu files, %llu blocks, %.6f s: %s\n", files.size(), static_cast<unsigned long long>(blocks),
                    seconds, verdict.c_str());
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError("cannot write standard output");
        return toolExitOutput;
    }
    return unreadable ? toolExitInput : incomplete ? toolExitIncomplete : toolExitOk;
}
