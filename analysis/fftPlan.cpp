#include "fftPlan.h"

#include <kissfft/kissfft.hh>

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace {

using Complex = std::complex<double>;

// KISS FFT's radix 2 to 5 butterflies only read the plan, but its generic
// butterfly (radix 7, 11, ... and the trivial length 1) works in a scratch
// buffer inside the plan, so a plan with such a factor serves one thread at
// a time.
bool needsExclusiveUse(std::size_t length)
{
    // The same factorisation as the plan's own: 4s first, then 2, 3, 5, 7 ...
    std::size_t n = length;
    std::size_t p = 4;
    do {
        while (n % p) {
            switch (p) {
            case 4: p = 2; break;
            case 2: p = 3; break;
            default: p += 2; break;
            }
            if (p * p > n)
                p = n;
        }
        if (p < 2 || p > 5)
            return true;
        n /= p;
    } while (n > 1);
    return false;
}

struct Plan
{
    explicit Plan(std::size_t length) : fft(length, false), exclusive(needsExclusiveUse(length)) {}

    void run(const Complex *in, Complex *out)
    {
        if (exclusive) {
            std::lock_guard<std::mutex> lock(mutex);
            fft.transform(in, out);
        } else {
            fft.transform(in, out);
        }
    }

    void runReal(const double *in, Complex *out)
    {
        if (exclusive) {
            std::lock_guard<std::mutex> lock(mutex);
            fft.transform_real(in, out);
        } else {
            fft.transform_real(in, out);
        }
    }

    kissfft<double> fft;
    const bool exclusive;
    std::mutex mutex;
};

// A few plans, most recently used first. Callers hold a shared pointer while
// they transform, so dropping a plan from the cache never pulls it from under
// a running transform.
class PlanCache
{
public:
    std::shared_ptr<Plan> get(std::size_t length)
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto found = std::find_if(plans.begin(), plans.end(),
                                  [length](const Entry &entry) { return entry.first == length; });
        if (found != plans.end()) {
            std::rotate(plans.begin(), found, found + 1);
            return plans.front().second;
        }
        // Made under the lock: threads that need the same new length (the
        // channels of one block) wait for it rather than each making one.
        auto plan = std::make_shared<Plan>(length);
        plans.insert(plans.begin(), Entry(length, plan));
        // The newest plan always stays: it is the one the next block needs.
        while (plans.size() > 1 && (plans.size() > capacity || bytes() > budget))
            plans.pop_back();
        return plan;
    }

    std::size_t size()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return plans.size();
    }

    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        plans.clear();
    }

private:
    using Entry = std::pair<std::size_t, std::shared_ptr<Plan>>;
    // The display spectrum and acperf share a length; a few more cover a
    // change of padding or waveform length, within a memory budget (a plan
    // holds 16 bytes of twiddle factors per point).
    static constexpr std::size_t capacity = 4;
    static constexpr std::size_t budget = std::size_t(256) << 20;

    std::size_t bytes() const
    {
        std::size_t total = 0;
        for (const Entry &entry : plans)
            total += entry.first * sizeof(Complex);
        return total;
    }

    std::mutex mutex;
    std::vector<Entry> plans;
};

PlanCache &planCache()
{
    static PlanCache cache;
    return cache;
}

} // namespace

void fftForward(const Complex *in, Complex *out, std::size_t length)
{
    if (length == 0)
        return;
    planCache().get(length)->run(in, out);
}

void fftForwardReal(const double *in, Complex *out, std::size_t length)
{
    if (length == 0)
        return;
    if (length % 2) {
        std::vector<Complex> input(in, in + length), output(length);
        fftForward(input.data(), output.data(), length);
        std::copy(output.begin(), output.begin() + length / 2 + 1, out);
        return;
    }
    const std::size_t half = length / 2;
    planCache().get(half)->runReal(in, out);
    // The half-length transform packs the real Nyquist bin into the
    // imaginary part of bin 0.
    const double nyquist = out[0].imag();
    out[0] = Complex(out[0].real(), 0.0);
    out[half] = Complex(nyquist, 0.0);
}

std::size_t fftCachedPlanCount()
{
    return planCache().size();
}

void fftClearPlanCache()
{
    planCache().clear();
}
