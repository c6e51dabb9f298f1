// Frozen copy for bench/baseline/baseline.h: do not edit.
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
template <typename Row>
std::vector<double> solveNormal(int columns, int N, const double *y, Row row)
{
    double normalSums[4][4] = {}, right[4] = {}, d[4];
    for (int i = 0; i < N; ++i) {
        row(i, d);
        for (int r = 0; r < columns; ++r) {
            for (int c = 0; c < columns; ++c)
                normalSums[r][c] += d[r] * d[c];
            right[r] += d[r] * y[i];
        }
    }
    matrix normal(columns, columns);
    for (int r = 0; r < columns; ++r)
        for (int c = 0; c < columns; ++c)
            normal.at(c, r) = normalSums[r][c];
    normal.invert();
    std::vector<double> x(static_cast<size_t>(columns), 0.0);
    for (int r = 0; r < columns; ++r)
        for (int c = 0; c < columns; ++c)
            x[static_cast<size_t>(r)] += normal.at(c, r) * right[c];
    return x;
}

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
    double sum = 0.0;
    for (int i = 0; i < N; ++i) {
        const double v = amplitude * std::sin(twoPi * f * t[i] + phase) + offset;
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
        const std::vector<double> x = solveNormal(3, N, y, [&](int i, double *d) {
            const double theta = twoPi * frequency * t[i];
            d[0] = std::cos(theta);
            d[1] = std::sin(theta);
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
            const std::vector<double> x = solveNormal(4, N, y, [&](int i, double *d) {
                const double theta = twoPi * current * t[i];
                const double cosine = std::cos(theta), sine = std::sin(theta);
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
