#include "sineFitter.h"

#include "matrix.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

const double twoPi = 2.0 * std::acos(-1.0);

// Solves the normal equations (D^T D) x = D^T y for a design matrix D of at
// most 4 columns whose row i the caller gives through row(i, values). The
// products are summed row by row, as multiplying out D^T and D would, but
// without holding D: N x 4 doubles of a long block would be hundreds of MB.
template <int columns, typename Row>
std::vector<double> solveNormal(int N, const double *y, Row row)
{
    // The upper triangle only, in locals the compiler keeps in registers:
    // d[r] d[c] and d[c] d[r] are the same product, summed in the same order.
    double normalSums[columns][columns] = {}, right[columns] = {}, d[columns];
    for (int i = 0; i < N; ++i) {
        row(i, d);
        const double value = y[i];
#pragma GCC unroll 4
        for (int r = 0; r < columns; ++r) {
#pragma GCC unroll 4
            for (int c = r; c < columns; ++c)
                normalSums[r][c] += d[r] * d[c];
            right[r] += d[r] * value;
        }
    }
    matrix normal(columns, columns);
    for (int r = 0; r < columns; ++r)
        for (int c = 0; c < columns; ++c)
            normal.at(c, r) = c >= r ? normalSums[r][c] : normalSums[c][r];
    normal.invert();
    std::vector<double> x(static_cast<size_t>(columns), 0.0);
    for (int r = 0; r < columns; ++r)
        for (int c = 0; c < columns; ++c)
            x[static_cast<size_t>(r)] += normal.at(c, r) * right[c];
    return x;
}


// cos and sin of theta[i] = w * t[i], the fits' regressors, for every
// sample: exact values every few samples, and in between those rotated by
// m typical steps (from a table of the m-step rotations), each corrected to
// first and second order by the small difference u between the sample's own
// theta and the rotated one. For any spacing of the times the values agree
// with std::cos and std::sin of the same rounded theta to about 1e-15; a
// sample whose time strays too far from the typical step gets std::cos and
// std::sin, so irregular times only cost speed. A cosine and a sine per
// sample took most of a card's measurement.
void phasors(double w, const double *t, int N, std::vector<double> &cosines, std::vector<double> &sines)
{
    cosines.resize(static_cast<size_t>(N));
    sines.resize(static_cast<size_t>(N));
    constexpr int stride = 32;
    const double step = N > 1 ? w * ((t[N - 1] - t[0]) / (N - 1)) : 0.0;
    double rotationCos[stride], rotationSin[stride];
    for (int m = 0; m < stride; ++m) {
        rotationCos[m] = std::cos(double(m) * step);
        rotationSin[m] = std::sin(double(m) * step);
    }
    double *cosOut = cosines.data(), *sinOut = sines.data();
    for (int first = 0; first < N; first += stride) {
        const double start = w * t[first];
        const double c = std::cos(start), s = std::sin(start);
        const int count = std::min(N - first, stride);
        for (int m = 0; m < count; ++m) {
            const int i = first + m;
            const double rotatedC = c * rotationCos[m] - s * rotationSin[m];
            const double rotatedS = s * rotationCos[m] + c * rotationSin[m];
            const double theta = w * t[i];
            // theta - start is exact (the two lie close together), and
            // m * step is rounded as the table's argument was.
            const double u = (theta - start) - double(m) * step;
            if (std::fabs(u) < 1e-5) {
                const double half = 0.5 * u * u;
                cosOut[i] = rotatedC - u * rotatedS - half * rotatedC;
                sinOut[i] = rotatedS + u * rotatedC - half * rotatedS;
            } else {
                cosOut[i] = std::cos(theta);
                sinOut[i] = std::sin(theta);
            }
        }
    }
}

// Per thread, reused by every fit: a block's regressors are two arrays of N.
// Valid within one fit only (the times behind a pointer may change between
// fits): each fit starts with forget().
struct Regressors
{
    double frequency = -1.0; // of the values held; -1: none
    const double *times = nullptr;
    int count = 0;
    std::vector<double> cosines, sines;

    void forget() { frequency = -1.0; }

    void at(double f, const double *t, int N)
    {
        if (f == frequency && t == times && N == count)
            return;
        frequency = -1.0; // in case phasors throws
        phasors(twoPi * f, t, N, cosines, sines);
        frequency = f, times = t, count = N;
    }
};

thread_local Regressors regressors;

} // namespace

sineFitter::sineFitter(int N, const double *t, const double *y) : N(N), t(t), y(y) {}

void sineFitter::report(double a, double b, double c, double &amplitude, double &offset, double &phase,
                        double &rms) const
{
    amplitude = std::hypot(a, b);
    offset = c;
    // a cos + b sin = R sin(theta + phase) with R sin(phase) = a and
    // R cos(phase) = b: the phase is atan2(a, b) in every quadrant.
    phase = std::atan2(a, b);
    if (phase <= -std::acos(-1.0))
        phase = std::acos(-1.0); // atan2(-0, b < 0): the same half turn, kept in (-pi, pi]
    // sin(theta + phase) from the regressors at f.
    regressors.at(f, t, N);
    const double *cosines = regressors.cosines.data(), *sines = regressors.sines.data();
    const double r = amplitude, constant = offset;
    const double cosPhase = std::cos(phase), sinPhase = std::sin(phase);
    double sum = 0.0;
    for (int i = 0; i < N; ++i) {
        const double v = r * (sines[i] * cosPhase + cosines[i] * sinPhase) + constant;
        sum += v * v;
    }
    rms = std::sqrt(sum / N);
}

bool sineFitter::fit3(double frequency, double &amplitude, double &offset, double &phase, double &rms,
                      matrix *coefficients)
{
    if (N < 1)
        throw std::runtime_error("Bad number of columns or rows");
    try {
        regressors.forget();
        regressors.at(frequency, t, N);
        const double *cosines = regressors.cosines.data(), *sines = regressors.sines.data();
        const std::vector<double> x = solveNormal<3>(N, y, [&](int i, double *d) {
            d[0] = cosines[i];
            d[1] = sines[i];
            d[2] = 1.0;
        });
        f = frequency;
        report(x[0], x[1], x[2], amplitude, offset, phase, rms);
        if (coefficients) {
            matrix abc(1, 3);
            for (int r = 0; r < 3; ++r)
                abc.at(0, r) = x[static_cast<size_t>(r)];
            *coefficients = abc;
        }
    } catch (const std::bad_alloc &) {
        throw std::runtime_error("Memory allocation failed");
    }
    return true;
}

bool sineFitter::fit4(int iterations, double step, double &frequency, double &amplitude, double &offset,
                      double &phase, double &rms)
{
    if (iterations < 0 || iterations > 20 || !(step >= 0.0 && step <= 1.0))
        return false;
    try {
        matrix abc(1, 3);
        const double start = frequency;
        double r = 0, c = 0, p = 0, s = 0;
        fit3(start, r, c, p, s, &abc);
        if (iterations == 0) {
            amplitude = r, offset = c, phase = p, rms = s;
            return true;
        }
        double a = abc.at(0, 0), b = abc.at(0, 1), constant = abc.at(0, 2);
        double current = start;
        // The frequency column is the model's slope by f,
        // 2 pi t (B cos - A sin), so that its coefficient is the correction
        // in hertz whatever the rate and length of the block. It is solved
        // divided by 2 pi R times the longest time, which leaves its entries
        // within +-1 like the other columns: unscaled, a small tone or a
        // short block gives pivots below the inversion's 0.001 floor, and a
        // long slow one makes them huge.
        double span = 0.0;
        for (int i = 0; i < N; ++i)
            span = std::max(span, std::fabs(t[i]));
        const double duration = N > 1 ? std::fabs(t[N - 1] - t[0]) : 0.0;
        const double nyquist = duration > 0.0 ? 0.5 * (N - 1) / duration : 0.0;
        for (int iteration = 0; iteration < iterations; ++iteration) {
            const double scale = twoPi * span * std::hypot(a, b);
            if (!(scale > 0.0 && std::isfinite(scale)))
                break; // no tone, no slope to follow
            regressors.at(current, t, N);
            const double *cosines = regressors.cosines.data(), *sines = regressors.sines.data();
            const std::vector<double> x = solveNormal<4>(N, y, [&](int i, double *d) {
                const double cosine = cosines[i], sine = sines[i];
                d[0] = cosine;
                d[1] = sine;
                d[2] = 1.0;
                d[3] = twoPi * t[i] * (b * cosine - a * sine) / scale;
            });
            const double next = current + step * x[3] / scale;
            // A step that leaves the band, or a solve that is not finite
            // (far from the tone the linearisation no longer holds), is not
            // taken: the last good solve and its frequency stand.
            if (!(next > 0.0 && next < nyquist && std::isfinite(x[0]) && std::isfinite(x[1]) && std::isfinite(x[2])))
                break;
            a = x[0], b = x[1], constant = x[2];
            current = next;
        }
        f = current;
        report(a, b, constant, amplitude, offset, phase, rms);
        frequency = current;
    } catch (const std::bad_alloc &) {
        throw std::runtime_error("Memory allocation failed");
    }
    return true;
}
