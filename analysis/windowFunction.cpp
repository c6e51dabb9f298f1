#include "windowFunction.h"

#include <cmath>

namespace {

// w[n] = sum over k of (-1)^k a[k] cos(2 pi k n / N). The harmonics of the
// cosine come from the recurrence cos(k x) = 2 cos x cos((k-1) x) -
// cos((k-2) x): one cosine per value instead of one per term, and the error
// grows only with k (at most 6).
void cosineSum(const double *a, int terms, int count, double *values)
{
    const double pi = std::acos(-1.0);
    for (int n = 0; n < count; ++n) {
        const double c1 = std::cos(2.0 * pi * n / count);
        double previous = 1.0, current = c1;
        double w = a[0];
        for (int k = 1; k < terms; ++k) {
            w += (k % 2) ? -a[k] * current : a[k] * current;
            const double next = 2.0 * c1 * current - previous;
            previous = current;
            current = next;
        }
        values[n] = w;
    }
}

} // namespace

void windowFunction(int type, int count, double *values)
{
    static const double hamming[] = {0.5434782608695652, 0.4565217391304348};
    static const double blackman[] = {0.42, 0.5, 0.08};
    static const double blackmanHarris4[] = {0.35875, 0.48829, 0.14128, 0.01168};
    static const double blackmanHarris7[] = {0.27105140069342, 0.43329793923448, 0.21812299954311,
                                             0.06592544638803, 0.01081174209837, 0.00077658482522,
                                             0.00001388721735};
    const double pi = std::acos(-1.0);
    switch (type) {
    case windowHann:
        for (int n = 0; n < count; ++n) {
            const double s = std::sin(pi * n / count);
            values[n] = s * s;
        }
        break;
    case windowHamming:
        cosineSum(hamming, 2, count, values);
        break;
    case windowBlackman:
        cosineSum(blackman, 3, count, values);
        break;
    case windowBlackmanHarris4:
        cosineSum(blackmanHarris4, 4, count, values);
        break;
    case windowBlackmanHarris7:
        cosineSum(blackmanHarris7, 7, count, values);
        break;
    default:
        for (int n = 0; n < count; ++n)
            values[n] = 1.0;
        break;
    }
}
