#include "sfpfile_common.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

volatile std::sig_atomic_t sfpfileInterrupted = 0;

namespace {

void onSignal(int)
{
    sfpfileInterrupted = 1;
}

bool parseBlockNumber(const std::string &text, uint64_t *number)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18)
        return false;
    *number = std::strtoull(text.c_str(), nullptr, 10);
    return *number >= 1;
}

} // namespace

void installInterruptHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaction(signal, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

int usageError(const std::string &message)
{
    std::fprintf(stderr, "sfpfile: %s\nTry 'sfpfile --help'.\n", message.c_str());
    return toolExitUsage;
}

void printError(const std::string &message)
{
    std::fprintf(stderr, "sfpfile: %s\n", message.c_str());
}

bool parseBlockRange(const char *text, uint64_t *first, uint64_t *last)
{
    const std::string range = text;
    const size_t colon = range.find(':');
    if (colon == std::string::npos) {
        if (!parseBlockNumber(range, first))
            return false;
        *last = *first;
        return true;
    }
    const std::string from = range.substr(0, colon);
    const std::string to = range.substr(colon + 1);
    return (from.empty() || parseBlockNumber(from, first)) && (to.empty() || parseBlockNumber(to, last));
}

bool sameFile(const char *a, const char *b)
{
    struct stat first, second;
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

Progress::Progress(uint64_t total) : total(total), shown(isatty(STDERR_FILENO)) {}

Progress::~Progress()
{
    if (shown)
        std::fprintf(stderr, "\n");
}

void Progress::update(uint64_t done)
{
    if (!shown)
        return;
    const std::time_t now = std::time(nullptr);
    if (now == lastShown && done != total)
        return;
    lastShown = now;
    std::fprintf(stderr, "\rsfpfile: block %llu of %llu (%d%%)", static_cast<unsigned long long>(done),
                 static_cast<unsigned long long>(total), total ? int(done * 100 / total) : 100);
}
