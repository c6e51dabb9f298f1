#include "coherentFrequency.h"

#include <cmath>
#include <numeric>

namespace {

bool usable(long long cycles, long long scans)
{
    return cycles >= 9 && 2 * cycles < scans && cycles % 2 == 1 && std::gcd(cycles, scans) == 1;
}

} // namespace

CoherentFrequency coherentFrequency(double wantedHz, double rateHz, int scans)
{
    CoherentFrequency result;
    if (scans < 1 || !(rateHz > 0.0) || !std::isfinite(wantedHz))
        return result;
    const long long N = scans;
    const double wanted = std::fmin(std::fmax(wantedHz * N / rateHz, 0.0), double(N));
    const long long below = static_cast<long long>(std::floor(wanted));
    // Outward from the wanted cycle count; the first usable one each side.
    long long lower = below, upper = below + 1;
    while (lower >= 9 && !usable(lower, N))
        --lower;
    while (2 * upper < N && !usable(upper, N))
        ++upper;
    const bool haveLower = usable(lower, N), haveUpper = usable(upper, N);
    if (!haveLower && !haveUpper)
        return result;
    long long cycles = haveLower ? lower : upper;
    if (haveLower && haveUpper && (upper - wanted) < (wanted - lower))
        cycles = upper;
    result.cycles = static_cast<int>(cycles);
    result.frequencyHz = cycles * rateHz / N;
    return result;
}
