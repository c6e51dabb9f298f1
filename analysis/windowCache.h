// Windows and bin frequencies kept between measurements, as the transform
// plans are (fftPlan.h): every block of an acquisition has the same length,
// and building a 7-term window costs a cosine per sample, more than the
// spectrum's other steps together. Thread-safe; the values handed out are
// shared and never change, so they may be read while the cache drops them.
#ifndef WINDOWCACHE_H
#define WINDOWCACHE_H

#include <cstddef>
#include <memory>
#include <vector>

struct CachedWindow
{
    std::vector<double> values; // windowFunction(type, count, ...)
    double sum = 0.0;           // of the values, as the spectra sum them
    // Equivalent noise bandwidth in bins: count * sum of squares / sum^2.
    double noiseBandwidthBins = 0.0;
};

// The window of type windowType (windowFunction.h) and count values; an
// empty window for count < 1. Throws std::bad_alloc.
std::shared_ptr<const CachedWindow> cachedWindow(int type, int count);

// bins frequencies 0, df, 2 df, ..., each the previous plus df (the
// accumulation of the measurement spectrum). Throws std::bad_alloc.
std::shared_ptr<const std::vector<double>> cachedBinFrequencies(int bins, double df);

// Entries kept, and dropping them; for tests and benchmarks.
std::size_t spectrumCacheSize();
void spectrumCacheClear();

#endif
