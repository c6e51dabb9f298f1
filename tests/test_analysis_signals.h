// Synthetic test signals of known make-up for the analysis tests: a sine
// with harmonics, offset, drift and Gaussian noise, all known exactly, so
// that measured figures are checked against the truth the signal was built
// from rather than against the code under test.
#ifndef TEST_ANALYSIS_SIGNALS_H
#define TEST_ANALYSIS_SIGNALS_H

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

struct TestTone
{
    int N = 8192;
    double cycles = 400.3;  // periods of the fundamental in the block (bins at padding 1)
    double amplitude = 1.0; // V peak
    double phase = 0.3;     // rad
    double offset = 0.0;    // V
    double drift = 0.0;     // V, linear change over the block, centred
    std::vector<std::pair<int, double>> harmonics; // order, amplitude relative to the fundamental
    double noiseRms = 0.0;  // V, white Gaussian
    uint64_t seed = 1;
};

struct TestSignal
{
    std::vector<double> samples;
    double noisePower = 0.0; // mean square of the noise actually added, V^2
};

inline double testPi()
{
    return std::acos(-1.0);
}

// Box-Muller on mt19937_64, whose output the standard fixes: the same noise
// on every platform.
inline TestSignal synthesize(const TestTone &tone)
{
    TestSignal s;
    s.samples.resize(static_cast<size_t>(tone.N));
    std::mt19937_64 generator(tone.seed);
    const double scale = 1.0 / 18446744073709551616.0; // 2^-64
    double sumSquares = 0.0;
    for (int i = 0; i < tone.N; ++i) {
        // The periods are counted off before the argument is formed: sin of
        // an argument of thousands of radians is off by its rounding,
        // some 1e-12 rad, which would bury a full-scale tone's last 30 dB.
        const double theta = 2.0 * testPi() * std::fmod(tone.cycles * i, double(tone.N)) / tone.N + tone.phase;
        double v = tone.offset + tone.drift * (double(i) / tone.N - 0.5) + tone.amplitude * std::sin(theta);
        for (const auto &h : tone.harmonics)
            v += tone.amplitude * h.second * std::sin(h.first * theta + 0.7 * h.first);
        if (tone.noiseRms > 0.0) {
            const double u1 = (double(generator()) + 0.5) * scale, u2 = double(generator()) * scale;
            const double n = tone.noiseRms * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * testPi() * u2);
            sumSquares += n * n;
            v += n;
        }
        s.samples[size_t(i)] = v;
    }
    s.noisePower = sumSquares / tone.N;
    return s;
}

// Noise RMS for a wanted signal-to-noise ratio of the fundamental, dB.
inline double noiseForSnr(double amplitude, double snrDb)
{
    return amplitude / std::sqrt(2.0) * std::pow(10.0, -snrDb / 20.0);
}

// The SNR the signal really has: fundamental power over the noise added.
inline double trueSnrDb(const TestTone &tone, const TestSignal &s)
{
    return 10.0 * std::log10(tone.amplitude * tone.amplitude / 2.0 / s.noisePower);
}

// THD of the harmonics the signal was built with, dB.
inline double trueThdDb(const TestTone &tone)
{
    double power = 0.0;
    for (const auto &h : tone.harmonics)
        power += h.second * h.second;
    return 10.0 * std::log10(power);
}

// Scan times i / fs.
inline std::vector<double> scanTimes(int N, double rateHz)
{
    std::vector<double> t(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i)
        t[size_t(i)] = i / rateHz;
    return t;
}

#endif
