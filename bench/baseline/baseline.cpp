// Compiles the frozen copy inside namespace baseline. The standard headers
// and the library's unchanged ones come first, so that their include
// guards keep them out of the namespace.
#include "baseline.h"

#include "fftPlan.h"
#include "matrix.h"
#include "windowFunction.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace baseline {
#include "acperf.cpp"
#include "acperf_figures.cpp"
#include "channelMeasurement.cpp"
#include "sineFitter.cpp"

bool measureCardFigures(int scans, const double *times, double rateHz, int padding, int iterations,
                        const double *const samples[16], int threads, double figures[16][10])
{
    CardMeasurementInput in;
    in.scans = scans;
    in.times = times;
    in.rateHz = rateHz;
    in.padding = padding;
    in.iterations = iterations;
    in.threads = threads;
    for (int k = 0; k < 16; ++k) {
        in.samples[k] = samples[k];
        if (samples[k])
            in.mask = uint16_t(in.mask | (1u << k));
    }
    const CardMeasurement m = measureCard(in);
    for (int k = 0; k < 16; ++k)
        for (int c = 0; c < 10; ++c)
            figures[k][c] = figureColumn(m.figures[k], c);
    return m.error.empty();
}

} // namespace baseline
