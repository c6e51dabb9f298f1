#include "nv6842fp_daqRules.h"

#include <QSettings>

#include <cmath>

QVector<double> nv6842fp_rateTable()
{
    return {1,    2,    5,    10,    20,    50,    100,   100.1, 200,
            500,  1000, 2000, 5000,  10000, 20000, 30000, 40000, 50000};
}

QVector<double> nv6842fp_ratesInRange(double minHz, double maxHz)
{
    QVector<double> rates;
    for (double rate : nv6842fp_rateTable()) {
        if (rate < minHz)
            continue;
        if (rate > maxHz)
            break;
        rates.append(rate);
    }
    return rates;
}

int nv6842fp_defaultRateIndex(const QVector<double> &rates)
{
    for (int i = 0; i < rates.size(); ++i) {
        if (std::fabs(rates[i] - 10000.0) <= 1.0)
            return i;
    }
    return rates.size() - 1;
}

QString nv6842fp_rateText(double hz)
{
    if (hz < 1000.0)
        return QString::asprintf("%.1lf Hz", hz);
    return QString::asprintf("%.1lf kHz", hz / 1000.0);
}

QVector<int> nv6842fp_lengthTable()
{
    QVector<int> lengths;
    for (int k = 5; k <= 13; ++k)
        lengths.append(1 << k);
    return lengths;
}

QVector<nv6842fp_codeItem> nv6842fp_outputTrigger1Items()
{
    return {{"Disabled", 0},
            {"Motherboard Trigger 'A'", 1},
            {"CCLK from the Motherboard", 2},
            {"Reference Clock (2 MHz)", 3},
            {"ADC Clock", 4},
            {"Acquisition in Progress", 6}};
}

QVector<nv6842fp_codeItem> nv6842fp_outputTrigger2Items()
{
    return {{"Disabled", 0},
            {"Motherboard Trigger 'B'", 1},
            {"Synchronization Pulses", 2},
            {"Outrange Error", 5},
            {"Pulse per Scan", 6}};
}

QVector<nv6842fp_codeItem> nv6842fp_zeroPaddingItems()
{
    return {{"Off", 1},   {"2 x", 2},   {"5 x", 5},    {"10 x", 10},
            {"20 x", 20}, {"50 x", 50}, {"100 x", 100}};
}

QVector<nv6842fp_codeItem> nv6842fp_fftWindowItems()
{
    return {{"Rectangular", 0},
            {"Hann", 1},
            {"Hamming", 2},
            {"Blackman", 3},
            {"4-Term Blackman-Harris", 4},
            {"7-Term Blackman-Harris", 5}};
}

QVector<nv6842fp_codeItem> nv6842fp_sineFitItems()
{
    return {{"3 parameter", 0},
            {"4 parameter, 1 iteration", 1},
            {"4 parameter, 2 iterations", 2},
            {"4 parameter, 3 iterations", 3},
            {"4 parameter, 4 iterations", 4},
            {"4 parameter, 5 iterations", 5},
            {"4 parameter, 6 iterations", 6},
            {"4 parameter, 7 iterations", 7}};
}

QStringList nv6842fp_triggerDetectionItems()
{
    return {QStringLiteral("EDGE"), QStringLiteral("LEVEL")};
}

QStringList nv6842fp_syncMethodItems()
{
    return {QStringLiteral("LXI Triggers"), QStringLiteral("IEEE 1588")};
}

QString nv6842fp_vrefText(double volts)
{
    return QStringLiteral("%1 V").arg(volts, 5, 'f', 6);
}

int nv6842fp_nearestVrefIndex(const double *vrefs, int count, double volts)
{
    int best = 0;
    for (int i = 1; i < count; ++i) {
        if (std::fabs(vrefs[i] - volts) < std::fabs(vrefs[best] - volts))
            best = i;
    }
    return best;
}

bool nv6842fp_hasAcperfSwitch(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("-acperf"));
}

namespace {
const char syncMethodKey[] = "SynchronizationMethod";
const int defaultSyncMethod = 1;

QSettings programSettings()
{
    return QSettings(QStringLiteral("Norvane Ltd."),
                     QStringLiteral("Trellin 6842 Soft Front Panel"));
}
} // namespace

int nv6842fp_storedSyncMethod()
{
    bool ok = false;
    const int index =
        programSettings().value(QLatin1String(syncMethodKey), defaultSyncMethod).toInt(&ok);
    // A hand-edited file must not select an item the combo does not have.
    return ok && (index == 0 || index == 1) ? index : defaultSyncMethod;
}

void nv6842fp_storeSyncMethod(int index)
{
    programSettings().setValue(QLatin1String(syncMethodKey), index);
}
