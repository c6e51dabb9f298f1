// Forward discrete Fourier transforms of any length (mixed radix), unscaled:
//     X[k] = sum over j of x[j] * exp(-2 pi i j k / M),  k = 0 ... M-1.
// Plans are kept between calls, keyed by length: making one for 819,200
// points costs tens of milliseconds, and every block of an acquisition uses
// the same lengths. All functions may be called from several threads at once.
#ifndef FFTPLAN_H
#define FFTPLAN_H

#include <complex>
#include <cstddef>

// Complex transform of length values from in to out (distinct arrays of
// length elements each). length 0 does nothing. Throws std::bad_alloc when
// the plan cannot be allocated.
void fftForward(const std::complex<double> *in, std::complex<double> *out, std::size_t length);

// Transform of a real input of length values: writes the bins 0 ... length/2
// (length/2 + 1 values) of the transform above into out. Even lengths take
// a half-length complex transform, so this is about twice as fast; the bins
// agree with fftForward to rounding. Throws std::bad_alloc like fftForward.
void fftForwardReal(const double *in, std::complex<double> *out, std::size_t length);

// Plans currently kept (the cache holds a few lengths, the least recently
// used goes first), and dropping them all; for tests and benchmarks.
std::size_t fftCachedPlanCount();
void fftClearPlanCache();

#endif
