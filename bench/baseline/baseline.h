// The measurement of one card as the code did it before windows, buffers
// and the fit's regressors were kept between channels: a frozen copy of
// that code (the other files of this directory, unchanged but for one
// forward declaration), so that bench_analysis_measure times today's and
// the new code in one run and compares their figures.
#ifndef BENCH_BASELINE_H
#define BENCH_BASELINE_H

namespace baseline {

// The ten figures of each of 16 channels (samples[k] null: not measured),
// in the table's column order; returns false when the analysis threw.
bool measureCardFigures(int scans, const double *times, double rateHz, int padding, int iterations,
                        const double *const samples[16], int threads, double figures[16][10]);

} // namespace baseline

#endif
