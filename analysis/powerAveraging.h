// Averaging of the display spectrum over blocks, of power (|X|^2), never of
// dB values, with one running spectrum per channel (no ring of blocks).
//
// Use from the waveform panel, per block:
//     SpectrumAverager averager;                     // lives with the panel
//     averager.setMode(mode, count);                 // from the controls; restarts on a change
//     averager.beginBlock(key, channels);            // GUI thread; restarts when key changed
//     per channel c, on any thread (one thread per channel at a time):
//         amplitudeSpectrumPower(samples, window, scans, padding, power);  // displaySpectrum.h
//         averager.add(c, power);                    // power becomes the averaged spectrum
//         spectrumPowerToDecibels(power.data(), dB.data(), power.size());
//     label: averagingCountText(averager.countReached(), averager.count())   // "12 of 64"
//     "Restart" button: averager.restart()
// With the mode Off add() leaves the power alone and costs nothing. Start
// does not restart, so that single shots pressed one after another average.
#ifndef POWERAVERAGING_H
#define POWERAVERAGING_H

#include <cstdint>
#include <string>
#include <vector>

enum class AveragingMode {
    off,
    // The mean of the first count blocks since the restart; then it holds
    // (later blocks leave it alone) until the next restart.
    linear,
    // Block k since the restart gets the weight 1 / min(k, count): a plain
    // mean at first, an exponential average from block count on.
    exponential,
    // The largest power per bin since the restart.
    peakHold
};

constexpr int averagingMinCount = 2;
constexpr int averagingMaxCount = 1000;

// What a spectrum depends on: any change restarts the averages.
struct AveragingKey
{
    std::vector<uint16_t> channelMasks; // one per card
    double rateHz = 0.0;
    int scans = 0;
    int window = 0;  // windowType
    int padding = 1;

    bool operator==(const AveragingKey &other) const;
    bool operator!=(const AveragingKey &other) const { return !(*this == other); }
};

class SpectrumAverager
{
public:
    // count is clamped into averagingMinCount ... averagingMaxCount. A new
    // mode or count restarts.
    void setMode(AveragingMode mode, int count);
    AveragingMode mode() const { return averaging; }
    int count() const { return blocks; }

    // Forgets every running spectrum.
    void restart();

    // Called once per block before the channels are added: restarts when
    // key differs from the last block's, and makes room for channels
    // running spectra (numbered 0 ... channels-1, e.g. card * 16 + channel).
    void beginBlock(const AveragingKey &key, int channels);

    // Folds one channel's power spectrum of this block into its running
    // spectrum and replaces power by the result. A spectrum of another
    // length than the channel's running one (a block of another length)
    // restarts that channel. Channels out of range and the mode Off leave
    // power as it is. Different channels may be added from different
    // threads at once.
    void add(int channel, std::vector<double> &power);

    // Blocks the shown spectra hold, the largest over the channels: for
    // linear and exponential at most count(); for peak hold every block
    // since the restart. 0 after a restart or when off.
    int countReached() const;

private:
    struct Running
    {
        std::vector<double> power;
        int blocks = 0; // since the restart
    };

    AveragingMode averaging = AveragingMode::off;
    int blocks = 16;
    AveragingKey last;
    bool haveKey = false;
    std::vector<Running> channels;
};

// "12 of 64" for linear and exponential, "12" for peak hold, "" when off.
std::string averagingCountText(AveragingMode mode, int reached, int count);

// The modes in enum order, and each as the spectrum page names it: "Off",
// "Linear", "Exponential", "Peak hold".
constexpr int averagingModeCount = 4;
std::string averagingModeName(AveragingMode mode);

#endif
