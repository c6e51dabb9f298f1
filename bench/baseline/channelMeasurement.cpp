// Frozen copy for bench/baseline/baseline.h: do not edit.
#include "channelMeasurement.h"

#include "acperf.h"
#include "sineFitter.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

const char measurementMessageTitle[] = "Trellin 6842 Soft Front Panel";
const char measurementFitFailedText[] = "AC performance calculations failed";

const char *const measurementColumnHeaders[measurementColumnCount] = {
    "Amplitude (V)", "Mean (V)", "Vrms (V)", "Frequency (Hz)", "Phase (us)",
    "THD (dB)", "SINAD (dB)", "SNR (dB)", "SFDR (dB)", "ENOB"};
const int measurementColumnDecimals[measurementColumnCount] = {6, 6, 6, 3, 3, 2, 2, 2, 2, 2};

namespace {

const int frequencyColumn = 3, phaseColumn = 4, thdColumn = 5, sinadColumn = 6, snrColumn = 7, sfdrColumn = 8, enobColumn = 9;

double ChannelFigures::*const columnMembers[measurementColumnCount] = {
    &ChannelFigures::amplitude, &ChannelFigures::mean,  &ChannelFigures::rms,  &ChannelFigures::frequency,
    &ChannelFigures::phaseUs,   &ChannelFigures::thdDb, &ChannelFigures::sinad, &ChannelFigures::snr,
    &ChannelFigures::sfdr,      &ChannelFigures::enob};

// Runs work(channel) for every listed channel, spread over up to threads
// threads. work must not throw.
template <typename Work>
void forEachChannel(const std::vector<int> &list, int threads, Work work)
{
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < list.size(); i = next++)
            work(list[i]);
    };
    const size_t workers = std::min(list.size(), static_cast<size_t>(std::max(threads, 1)));
    std::vector<std::thread> pool;
    for (size_t t = 1; t < workers; ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread &thread : pool)
        thread.join();
}

int bitsBelow(uint16_t mask, int channel)
{
    int count = 0;
    for (int k = 0; k < channel; ++k)
        count += (mask >> k) & 1;
    return count;
}

} // namespace

double figureColumn(const ChannelFigures &figures, int column)
{
    return column >= 0 && column < measurementColumnCount ? figures.*columnMembers[column] : 0.0;
}

void setFigureColumn(ChannelFigures &figures, int column, double value)
{
    if (column >= 0 && column < measurementColumnCount)
        figures.*columnMembers[column] = value;
}

bool figureMissing(const ChannelFigures &figures, int column)
{
    return column >= 0 && column < measurementColumnCount && ((figures.missing >> column) & 1u);
}

void setFigureMissing(ChannelFigures &figures, int column)
{
    if (column < 0 || column >= measurementColumnCount)
        return;
    figures.missing |= 1u << column;
    figures.*columnMembers[column] = std::numeric_limits<double>::quiet_NaN();
}

void locateCardSamples(const double *data, int scans, const uint16_t *masks, int card,
                       CardMeasurementInput &input)
{
    size_t before = 0;
    for (int c = 0; c < card; ++c)
        before += static_cast<size_t>(bitsBelow(masks[c], 16));
    input.mask = masks[card];
    for (int k = 0; k < measurementChannelCount; ++k) {
        const bool has = scans >= 1 && data && ((input.mask >> k) & 1);
        input.samples[k] = has ? data + (before + static_cast<size_t>(bitsBelow(input.mask, k))) * static_cast<size_t>(scans)
                               : nullptr;
    }
}

CardMeasurement measureCard(const CardMeasurementInput &input)
{
    CardMeasurement result;
    result.mask = input.mask;
    const int N = input.scans;
    for (int k = 0; k < measurementChannelCount; ++k)
        if (input.samples[k]) {
            result.referenceChannel = k;
            break;
        }
    if (N < 10)
        return result;
    result.computed = true;

    std::vector<double> t(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i)
        t[static_cast<size_t>(i)] = input.times ? input.times[i] - input.times[0] : i / input.rateHz;
    // The fit's correction is in hertz: full Gauss-Newton steps.
    const double step = 1.0;

    std::vector<int> channels;
    for (int k = 0; k < measurementChannelCount; ++k)
        if (input.samples[k])
            channels.push_back(k);
    int threads = input.threads;
    if (threads <= 0)
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

    // Every object first: a failure to make one is reported before any fit
    // has run, and then nothing is shown. Of several failures the
    // lowest-numbered channel's is reported.
    std::unique_ptr<acperf> spectra[measurementChannelCount];
    std::unique_ptr<sineFitter> fitters[measurementChannelCount];
    std::string errors[measurementChannelCount];
    bool refused[measurementChannelCount] = {};
    auto failure = [&] {
        for (int k : channels)
            if (!errors[k].empty())
                return errors[k];
        return std::string();
    };
    auto guarded = [&](int k, auto work) {
        try {
            work();
        } catch (const std::runtime_error &e) {
            errors[k] = e.what();
        } catch (const std::bad_alloc &) {
            errors[k] = "Memory allocation failed";
        }
    };
    forEachChannel(channels, threads, [&](int k) {
        guarded(k, [&] {
            spectra[k].reset(new acperf(N, t.data(), input.samples[k], input.rateHz, input.padding));
            fitters[k].reset(new sineFitter(N, t.data(), input.samples[k]));
        });
    });
    result.error = failure();
    if (result.error.empty()) {
        forEachChannel(channels, threads, [&](int k) {
            guarded(k, [&] {
                ChannelFigures &figures = result.figures[k];
                double f = spectra[k]->fundamentalFrequency();
                const bool tone = f > 0.0;
                double amplitude = 0, mean = 0, phase = 0, rms = 0;
                if (!tone) {
                    // No tone to start from: a fit at 0 Hz has no sine
                    // to find and a singular normal matrix.
                    for (int column = 0; column <= phaseColumn; ++column)
                        setFigureMissing(figures, column);
                    result.phase[k] = std::numeric_limits<double>::quiet_NaN();
                } else if (!fitters[k]->fit4(input.iterations, step, f, amplitude, mean, phase, rms)) {
                    refused[k] = true;
                    return;
                } else {
                    figures.amplitude = amplitude;
                    figures.mean = mean;
                    figures.rms = rms;
                    figures.frequency = f;
                    result.phase[k] = phase;
                }
                spectra[k]->acFigures(&figures.thdDb, &figures.sinad, &figures.snr, &figures.sfdr, &figures.enob);
                if (spectra[k]->noiseBinCount() == 0)
                    for (int column : {sinadColumn, snrColumn, enobColumn})
                        setFigureMissing(figures, column);
                if (!tone)
                    setFigureMissing(figures, thdColumn); // no fundamental, no harmonics
                // No spur bin to compare with, or no harmonic below the
                // Nyquist frequency: nothing was measured, and "nan" or
                // "-inf" in the table would read like a figure.
                if (!std::isfinite(figures.sfdr))
                    setFigureMissing(figures, sfdrColumn);
                if (!std::isfinite(figures.thdDb))
                    setFigureMissing(figures, thdColumn);
                spectra[k].reset(); // its spectrum is no longer needed
            });
        });
        result.error = failure();
        for (int k : channels)
            result.fitFailed = result.fitFailed || refused[k];
    }
    if (!result.error.empty()) {
        for (int k = 0; k < measurementChannelCount; ++k) {
            result.figures[k] = ChannelFigures();
            result.phase[k] = 0.0;
        }
        result.fitFailed = false;
    }
    return result;
}

MeasurementMessage settleCardMeasurement(CardMeasurement &measurement, bool &messageFlag)
{
    MeasurementMessage message = MeasurementMessage::None;
    double reference = 0.0;
    if (!measurement.computed) {
        // Too short to measure: no analysis ran, the flag stays as it is.
    } else if (!measurement.error.empty()) {
        if (!messageFlag)
            message = MeasurementMessage::Error;
        messageFlag = true;
    } else if (measurement.fitFailed && !messageFlag) {
        message = MeasurementMessage::FitFailed;
        messageFlag = true;
    } else {
        if (measurement.referenceChannel >= 0)
            reference = measurement.phase[measurement.referenceChannel];
        messageFlag = false;
    }
    const double pi = std::acos(-1.0);
    for (int k = 0; k < measurementChannelCount; ++k) {
        ChannelFigures &figures = measurement.figures[k];
        if (figureMissing(figures, frequencyColumn) || std::isnan(reference)) {
            setFigureMissing(figures, phaseColumn);
            continue;
        }
        // Phases lie in (-pi, pi]: their difference is taken back into that
        // range, so that 3.1 and -3.1 rad are 0.08 rad apart, not 6.2.
        double difference = std::remainder(measurement.phase[k] - reference, 2.0 * pi);
        if (difference <= -pi)
            difference += 2.0 * pi;
        figures.phaseUs = figures.frequency > 0.0 ? difference / (2.0 * pi * figures.frequency) * 1000000.0 : 0.0;
    }
    return message;
}
