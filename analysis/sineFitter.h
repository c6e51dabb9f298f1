// Least-squares sine fits of one channel's block in the time domain, model
//     y(t) = A cos(2 pi f t) + B sin(2 pi f t) + C.
// Reported: amplitude R = hypot(A, B) in volts, offset C in volts, phase in
// radians (atan2(A, B), in (-pi, pi]: the model is R sin(2 pi f t + phase)), and
// the RMS of the fitted signal R sin(2 pi f t + phase) + C over the sample
// times, in volts. The regressors cos and sin of 2 pi f t live in buffers of
// the calling thread, reused by its next fit: fitters on different threads
// are independent, one fitter is used by one thread at a time.
#ifndef SINEFITTER_H
#define SINEFITTER_H

class matrix;

class sineFitter
{
public:
    // t (seconds) and y (volts) are borrowed, N values each, and must
    // outlive the fitter.
    sineFitter(int N, const double *t, const double *y);

    // 3-parameter fit at frequency f (Hz). When coefficients is given it is
    // replaced by a 1-column, 3-row matrix holding A, B, C. Returns true;
    // throws std::runtime_error("Bad number of columns or rows") when N < 1
    // and std::runtime_error("Memory allocation failed") when memory runs out.
    bool fit3(double f, double &amplitude, double &offset, double &phase, double &rms,
              matrix *coefficients = nullptr);

    // 4-parameter fit: starts with fit3 at f, then refines the frequency by
    // iterations Gauss-Newton steps f += step * delta, delta being the
    // correction in Hz from the model's slope by f (step 1 is the full
    // step). f is the start frequency on entry and the refined one on
    // return; amplitude, offset and phase come from the last solve, the RMS
    // is taken with the refined f. A step that would leave f outside
    // 0 ... fs / 2 (fs from the sample times) or give values that are not
    // finite ends the iterations early, keeping the last good solve; so does
    // a fit without a tone. Returns false and touches no output when
    // iterations is outside 0 ... 20 or step outside [0, 1]; iterations 0
    // gives fit3's result with f unchanged. Throws like fit3.
    bool fit4(int iterations, double step, double &f, double &amplitude, double &offset, double &phase,
              double &rms);

    // Frequency of the last fit in Hz, 0 before any.
    double frequency() const { return f; }

private:
    void report(double a, double b, double c, double &amplitude, double &offset, double &phase, double &rms) const;

    int N;
    const double *t;
    const double *y;
    double f = 0.0;
};

#endif
