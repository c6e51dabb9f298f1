#include "nv6842fp_settingsRows.h"

#include "acqConfigRules.h"
#include "nv6842fp_channelRules.h"
#include "nv6842fp_daqRules.h"
#include "settingsRowKinds.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

const char nv6842fp_settingsProgram[] = "Trellin 6842 Soft Front Panel";

QString nv6842fp_cardSection(int card)
{
    return QStringLiteral("Card %1").arg(card + 1);
}

QString nv6842fp_channelSection(int card, int channel)
{
    return QStringLiteral("Card %1 Channel %2").arg(card + 1).arg(channel + 1);
}

namespace {

using namespace settingsRow;

QStringList texts(const QVector<nv6842fp_codeItem> &items)
{
    QStringList list;
    for (const nv6842fp_codeItem &item : items)
        list << QString::fromLatin1(item.text);
    return list;
}

QString utcText(qint64 seconds)
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    const QDate d = time.date();
    const QTime t = time.time();
    // Digits of our own: a date format would take the desktop's digits.
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.second(), 2, 10, QLatin1Char('0'));
}

bool parseUtc(const QString &text, qint64 &seconds)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d\\d)-(\\d\\d) (\\d\\d):(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    // The alarm's entry offers the years 1970 to 2100.
    if (!date.isValid() || !time.isValid() || date.year() < 1970 || date.year() > 2100)
        return false;
    seconds = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    return true;
}

void addAcquisitionRows(settingsTable &table, nv6842fp_panelSetup *setup,
                        const std::shared_ptr<const nv6842fp_setupLimits> &limits, nv6842fp_setupPanel *panel)
{
    nv6842fp_acquisitionSetup *acq = &setup->acquisition;
    const int group = table.addGroup([acq, panel] { panel->readAcquisition(*acq); },
                                     [acq, panel] { panel->applyAcquisition(*acq); });
    const QString section = QStringLiteral("Acquisition");
    addListed(table, group, section, QStringLiteral("Length"), [acq]() -> int & { return acq->length; },
              QVector<double>(limits->lengths.begin(), limits->lengths.end()),
              QStringLiteral("a waveform length of the list"), QStringLiteral(" scans"));
    addListed(table, group, section, QStringLiteral("Rate"), [acq]() -> int & { return acq->rate; }, limits->rates,
              QStringLiteral("a sampling rate this card offers"), QStringLiteral(" Hz"));
    addTruth(table, group, section, QStringLiteral("StoreToFile"), [acq]() -> bool & { return acq->storeToFile; });

    if (limits->vrefs.isEmpty()) {
        table.addAbsentRow(section, QStringLiteral("VoltageReference"),
                           QStringLiteral("this carrier has no voltage reference"));
    } else {
        int *vref = &setup->vref;
        const int vrefGroup =
            table.addGroup([vref, panel] { panel->readVref(*vref); }, [vref, panel] { panel->applyVref(*vref); });
        addListed(table, vrefGroup, section, QStringLiteral("VoltageReference"), [vref]() -> int & { return *vref; },
                  limits->vrefs, QStringLiteral("a reference of this carrier"), QStringLiteral(" V"));
    }

    // The PTP alarm first: it excludes the other sources, which are checked against it.
    const QString trigger = QStringLiteral("Trigger");
    if (limits->lxi) {
        // As the page does: the PTP alarm switches the other sources off.
        addTruth(table, group, trigger, QStringLiteral("PtpAlarm"), [acq]() -> bool & { return acq->ptpAlarm; },
                 [acq](bool on) {
                     for (bool &source : acq->sources)
                         source = source && !on;
                     return QString();
                 });
        table.addRow(
            group, trigger, QStringLiteral("PtpAlarmTime"), [acq] { return utcText(acq->alarmUtc); },
            [acq](const QString &text) {
                if (!parseUtc(text, acq->alarmUtc))
                    return QStringLiteral("not a UTC time \"yyyy-MM-dd hh:mm:ss\" of the years 1970 to 2100");
                return QString();
            });
    } else {
        const QString reason = QStringLiteral("only an LXI carrier has the PTP alarm");
        table.addAbsentRow(trigger, QStringLiteral("PtpAlarm"), reason);
        table.addAbsentRow(trigger, QStringLiteral("PtpAlarmTime"), reason);
    }
    addChoice(table, group, trigger, QStringLiteral("Detection"), [acq]() -> int & { return acq->detection; },
              nv6842fp_triggerDetectionItems());
    const char *const keys[5] = {"MotherboardA", "MotherboardB", "FrontPanel3", "LowActive", "AnalogTrigger"};
    for (int i = 0; i < 5; ++i)
        addTruth(table, group, trigger, QLatin1String(keys[i]), [acq, i]() -> bool & { return acq->sources[i]; },
                 [acq, i](bool on) {
                     if (on && acq->ptpAlarm)
                         return QStringLiteral("off while the PTP alarm starts the acquisition");
                     if (on && i == 3 && !acq->sources[2])
                         return QStringLiteral("Low Active needs FrontPanel3");
                     if (!on && i == 2)
                         acq->sources[3] = false; // Low Active goes with it
                     return QString();
                 });
}

void addPageRows(settingsTable &table, nv6842fp_panelSetup *setup,
                 const std::shared_ptr<const nv6842fp_setupLimits> &limits, nv6842fp_setupPanel *panel)
{
    nv6842fp_fftSetup *fft = &setup->fft;
    const QString fftSection = QStringLiteral("FFT");
    const int fftGroup = table.addGroup([fft, panel] { panel->readFft(*fft); }, [fft, panel] { panel->applyFft(*fft); });
    QVector<double> factors;
    for (const nv6842fp_codeItem &item : nv6842fp_zeroPaddingItems())
        factors << item.code;
    addListed(table, fftGroup, fftSection, QStringLiteral("ZeroPadding"), [fft]() -> int & { return fft->padding; },
              factors, QStringLiteral("a zero-padding factor"), QString());
    addChoice(table, fftGroup, fftSection, QStringLiteral("Window"), [fft]() -> int & { return fft->window; },
              texts(nv6842fp_fftWindowItems()));
    if (limits->acperf)
        addChoice(table, fftGroup, fftSection, QStringLiteral("SineFit"), [fft]() -> int & { return fft->sineFit; },
                  texts(nv6842fp_sineFitItems()));
    else
        table.addAbsentRow(fftSection, QStringLiteral("SineFit"),
                           QStringLiteral("sine fitting is offered with -acperf only"));

    nv6842fp_streamingSetup *stream = &setup->streaming;
    const QString streamSection = QStringLiteral("Streaming");
    const int streamGroup = table.addGroup([stream, panel] { panel->readStreaming(*stream); },
                                           [stream, panel] { panel->applyStreaming(*stream); });
    table.addRow(
        streamGroup, streamSection, QStringLiteral("File"), [stream] { return stream->fileName; },
        [stream](const QString &text) {
            stream->fileName = text;
            return QString();
        });
    QStringList formats;
    for (int i = 0; i < acqConfigFormatCount(); ++i)
        formats << QString::fromLatin1(acqConfigFormatAt(i).text);
    addChoice(table, streamGroup, streamSection, QStringLiteral("Format"), [stream]() -> int & { return stream->format; },
              formats);
    addTruth(table, streamGroup, streamSection, QStringLiteral("Timestamps"),
             [stream]() -> bool & { return stream->timestamps; });
    QVector<double> intervals;
    for (int i = 0; i < acqConfigRefreshCount(); ++i)
        intervals << acqConfigRefreshAt(i).milliseconds;
    addListed(table, streamGroup, streamSection, QStringLiteral("RefreshInterval"),
              [stream]() -> int & { return stream->refresh; }, intervals, QStringLiteral("a refresh interval of the list"),
              QStringLiteral(" ms"));
    // The dialog's own limits: a split smaller than one block is the engine's to refuse at the start.
    addTruth(table, streamGroup, streamSection, QStringLiteral("SplitFiles"),
             [stream]() -> bool & { return stream->splitFiles; });
    addWhole(table, streamGroup, streamSection, QStringLiteral("SplitEvery"),
             [stream]() -> int & { return stream->splitEvery; }, 1, acqSplitEveryMax);
    addChoice(table, streamGroup, streamSection, QStringLiteral("SplitUnit"),
              [stream]() -> int & { return stream->splitUnit; },
              {acqConfigSplitUnitText(acqSplitMegabytes), acqConfigSplitUnitText(acqSplitMinutes)});
    addTruth(table, streamGroup, streamSection, QStringLiteral("TrendLog"),
             [stream]() -> bool & { return stream->trendLog; });

    const QString syncSection = QStringLiteral("Synchronisation");
    if (limits->syncChoice) {
        int *sync = &setup->syncMethod;
        const int syncGroup =
            table.addGroup([sync, panel] { panel->readSync(*sync); }, [sync, panel] { panel->applySync(*sync); });
        addChoice(table, syncGroup, syncSection, QStringLiteral("Method"), [sync]() -> int & { return *sync; },
                  nv6842fp_syncMethodItems());
    } else {
        table.addAbsentRow(syncSection, QStringLiteral("Method"),
                           QStringLiteral("this session's cards share one host: there is no method to choose"));
    }
}

void addChannelRows(settingsTable &table, int card, int channel, nv6842fp_panelSetup *setup,
                    const std::shared_ptr<const nv6842fp_setupLimits> &limits, nv6842fp_setupPanel *panel)
{
    const int chIdx = card * nv6842fp::channelsPerCard + channel;
    nv6842fp_channelSetup *ch = &setup->channels[chIdx];
    const int group = table.addGroup([ch, chIdx, panel] { panel->readChannel(chIdx, *ch); },
                                     [ch, chIdx, panel] { panel->applyChannel(chIdx, *ch); });
    const QString section = nv6842fp_channelSection(card, channel);
    // A disabled channel's filter is off, as its panel switches it.
    addTruth(table, group, section, QStringLiteral("Enabled"), [ch]() -> bool & { return ch->enabled; }, [ch](bool on) {
        ch->filter = ch->filter && on;
        return QString();
    });
    addChoice(table, group, section, QStringLiteral("Source"), [ch]() -> int & { return ch->source; },
              nv6842fp::sourceItems());
    const int factor = limits->thresholdFactor;
    // A new gain narrows the thresholds' range, and the panel clamps them.
    addListed(table, group, section, QStringLiteral("Gain"), [ch]() -> int & { return ch->gain; },
              QVector<double>(std::begin(gainValArr), std::end(gainValArr)), QStringLiteral("a gain of the card"),
              QString(), [ch, factor] {
                  const double limit = nv6842fp::thresholdLimit(gainValArr[ch->gain], factor);
                  ch->threshold1 = std::clamp(ch->threshold1, -limit, limit);
                  ch->threshold2 = std::clamp(ch->threshold2, -limit, limit);
              });
    addTruth(table, group, section, QStringLiteral("Filter"), [ch]() -> bool & { return ch->filter; }, [ch](bool on) {
        return on && !ch->enabled ? QStringLiteral("the filter of a disabled channel is off") : QString();
    });

    const QStringList triggerKeys = {QStringLiteral("TriggerMode"), QStringLiteral("Hysteresis"),
                                     QStringLiteral("Comparison"), QStringLiteral("Threshold1"),
                                     QStringLiteral("Threshold2")};
    if (card > 0) {
        for (const QString &key : triggerKeys)
            table.addAbsentRow(section, key, QStringLiteral("only the first card has an analog trigger"));
        return;
    }
    addChoice(table, group, section, triggerKeys[0], [ch]() -> int & { return ch->triggerMode; },
              nv6842fp::triggerModeItems());
    addChoice(table, group, section, triggerKeys[1], [ch]() -> int & { return ch->hysteresis; },
              nv6842fp::hysteresisItems());
    addChoice(table, group, section, triggerKeys[2], [ch]() -> int & { return ch->comparison; },
              nv6842fp::comparisonItems());
    for (double nv6842fp_channelSetup::*threshold :
         {&nv6842fp_channelSetup::threshold1, &nv6842fp_channelSetup::threshold2})
        table.addRow(
            group, section, threshold == &nv6842fp_channelSetup::threshold1 ? triggerKeys[3] : triggerKeys[4],
            [ch, threshold] { return number(ch->*threshold); },
            [ch, threshold, factor](const QString &text) {
                double volts = 0;
                if (!parseNumber(text, volts))
                    return QStringLiteral("not a number of volts");
                // Against the gain the file gives, which comes first.
                const int gain = gainValArr[ch->gain];
                const double limit = nv6842fp::thresholdLimit(gain, factor);
                if (volts < -limit || volts > limit)
                    return QStringLiteral("outside this card's range at gain %1 (%2 to %3 V)")
                        .arg(gain)
                        .arg(number(-limit), number(limit));
                ch->*threshold = volts;
                return QString();
            });
}

void addCardRows(settingsTable &table, int card, nv6842fp_panelSetup *setup,
                 const std::shared_ptr<const nv6842fp_setupLimits> &limits, nv6842fp_setupPanel *panel)
{
    nv6842fp_outputSetup *out = &setup->outputs[card];
    const int group = table.addGroup([out, card, panel] { panel->readOutputs(card, *out); },
                                     [out, card, panel] { panel->applyOutputs(card, *out); });
    const QString section = nv6842fp_cardSection(card);
    const QString model = limits->model;
    table.addGuardRow(
        group, section, QStringLiteral("Model"), [model] { return model; },
        [model, section](const QString &text) {
            return text.trimmed() == model
                       ? QString()
                       : QStringLiteral("this card is a %1: nothing of %2 is applied").arg(model, section);
        });
    // For the reader: thresholds are checked against this card's own range.
    const QString subtype = limits->subtypes.value(card);
    table.addRow(
        group, section, QStringLiteral("Subtype"), [subtype] { return subtype; },
        [](const QString &) { return QString(); });
    addChoice(table, group, section, QStringLiteral("OutputTrigger1"), [out]() -> int & { return out->trigger1; },
              texts(nv6842fp_outputTrigger1Items()));
    addTruth(table, group, section, QStringLiteral("Negate1"), [out]() -> bool & { return out->negate1; });
    addChoice(table, group, section, QStringLiteral("OutputTrigger2"), [out]() -> int & { return out->trigger2; },
              texts(nv6842fp_outputTrigger2Items()));
    addTruth(table, group, section, QStringLiteral("Negate2"), [out]() -> bool & { return out->negate2; });
    for (int channel = 0; channel < nv6842fp::channelsPerCard; ++channel)
        addChannelRows(table, card, channel, setup, limits, panel);
}

} // namespace

void nv6842fp_addSettingsRows(settingsTable &table, nv6842fp_panelSetup &setup, const nv6842fp_setupLimits &given,
                              nv6842fp_setupPanel &panel)
{
    const auto limits = std::make_shared<const nv6842fp_setupLimits>(given);
    const int cards = std::max(1, limits->cards);
    setup.outputs.resize(cards);
    setup.channels.resize(cards * nv6842fp::channelsPerCard);

    // The card count is for the reader: cards are matched by position.
    const int info = table.addGroup([] {}, [] {});
    table.addRow(
        info, QLatin1String(settingsFileSection), QStringLiteral("Cards"), [cards] { return QString::number(cards); },
        [](const QString &) { return QString(); });
    addAcquisitionRows(table, &setup, limits, &panel);
    addPageRows(table, &setup, limits, &panel);
    nv6842fp_addAnalysisRows(table, setup, *limits, panel);
    for (int card = 0; card < cards; ++card)
        addCardRows(table, card, &setup, limits, &panel);

    table.setUnknownSectionReason([cards](const QString &section) {
        static const QRegularExpression cardSection(QStringLiteral("^Card (\\d+)( Channel (\\d+))?$"),
                                                    QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = cardSection.match(section);
        if (!match.hasMatch())
            return QString();
        bool ok = false;
        const qlonglong card = match.captured(1).toLongLong(&ok);
        if (ok && card > cards)
            return QStringLiteral("Card %1: this session has %2 function card%3")
                .arg(match.captured(1))
                .arg(cards)
                .arg(cards == 1 ? QString() : QStringLiteral("s"));
        return QStringLiteral("[%1]: no such card or channel (cards from 1, channels 1 to 16)").arg(section);
    });
}
