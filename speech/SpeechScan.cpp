#include "SpeechScan.h"

#include "MonoDecimator.h"
#include "decoder/AudioDecoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>
#include <vector>

// The developer's trace of files that could not be scanned; off by default
// (QT_LOGGING_RULES="repeta.speech=true").
Q_LOGGING_CATEGORY(lcSpeech, "repeta.speech", QtCriticalMsg)

namespace {

// A sound that ends this much earlier than its container says (seconds, or
// this fraction of the length, whichever is more) was cut short: a copy that
// did not finish. Below it lie the container's rounding and estimates.
constexpr double kCutShortSeconds = 1.0;
constexpr double kCutShortFraction = 0.05;
// Range times beyond this are taken as this, so that no sample count
// overflows; no sound is that long.
constexpr double kLongestSeconds = 1e6;

QString tr(const char* text) { return QCoreApplication::translate("SpeechScan", text); }

SpeechScan failed(SpeechScan scan, const QString& path, const QString& why)
{
    qCWarning(lcSpeech) << "cannot scan" << path << "for speech:" << why;
    scan.ok = false;
    scan.error = why;
    return scan;
}

bool isSet(const std::atomic<bool>* flag) { return flag && flag->load(std::memory_order_relaxed); }

} // namespace

SpeechScan findSpeech(const QString& mediaPath, double from, double to, const std::atomic<bool>* cancel)
{
    SpeechScan scan;
    AudioDecoder decoder;
    if (!decoder.open(QFile::encodeName(mediaPath), cancel))
        return failed(scan, mediaPath, isSet(cancel) ? tr("已取消") : tr("无法打开媒体文件"));
    if (!decoder.hasAudio())
        return failed(scan, mediaPath, tr("文件中没有声音"));

    from = std::min(from, kLongestSeconds);
    to = std::min(to, kLongestSeconds);
    const int rate = decoder.sampleRate();
    const int channels = decoder.channels();
    if (from > 0)
        decoder.startAt(decoder.timestampOfFrame(int64_t(from * rate)));
    if (to >= 0)
        decoder.setEnd(decoder.timestampOfFrame(int64_t(std::ceil(to * rate))));

    MonoDecimator mono(rate, channels);
    VoiceActivity voice(mono.outputRate());
    std::vector<float> samples;
    double origin = -1;             // seconds: the first decoded sample's time
    int64_t framesLeft = INT64_MAX; // sample frames before `to`
    int64_t frames = 0;             // sample frames pushed
    SampleBlock block;
    AudioDecoder::Step step;
    while ((step = decoder.next(block)) != AudioDecoder::Step::End && !isSet(cancel)) {
        if (step != AudioDecoder::Step::Samples)
            continue;
        if (origin < 0) {
            origin = double(decoder.frameAtTimestamp(decoder.blockTimestamp())) / rate;
            if (to >= 0)
                framesLeft = std::max<int64_t>(0, int64_t(std::ceil((to - origin) * rate)));
        }
        const int64_t take = std::min<int64_t>(block.count / channels, framesLeft);
        samples.clear();
        mono.push(block.samples, take, samples);
        voice.push(samples.data(), int(samples.size()));
        frames += take;
        framesLeft -= take;
        if (framesLeft == 0)
            break;
    }
    voice.finish();

    if (origin < 0) // nothing decoded: a range past the end, or no sound at all
        origin = std::max(from, 0.0);
    scan.duration = origin + double(frames) / rate;
    scan.spans = voice.spans();
    for (SpeechSpan& span : scan.spans) {
        span.start += origin;
        span.end += origin;
    }
    if (isSet(cancel))
        return failed(scan, mediaPath, tr("已取消"));
    const double container = decoder.durationSeconds();
    const double expectedEnd = to >= 0 && container > 0 ? std::min(to, container) : container;
    if (expectedEnd > 0 && scan.duration < expectedEnd - std::max(kCutShortSeconds, kCutShortFraction * expectedEnd))
        return failed(scan, mediaPath, tr("文件不完整，声音提前中断"));
    scan.ok = true;
    return scan;
}

SpeechScan findSentences(const QString& mediaPath, const std::atomic<bool>* cancel)
{
    SpeechScan scan = findSpeech(mediaPath, -1, -1, cancel);
    QVector<SpeechSpan> sentences;
    for (const SpeechSpan& span : std::as_const(scan.spans)) {
        if (!sentences.isEmpty() && span.start - sentences.last().end < kSentencePauseSeconds)
            sentences.last().end = span.end;
        else
            sentences.push_back(span);
    }
    scan.spans = sentences;
    return scan;
}

SpeechScan speechBounds(const QString& mediaPath, double from, double to, const std::atomic<bool>* cancel)
{
    SpeechScan scan = findSpeech(mediaPath, from, to, cancel);
    if (!scan.spans.isEmpty())
        scan.spans = {SpeechSpan{scan.spans.first().start, scan.spans.last().end}};
    return scan;
}

bool holdsSpeech(const QString& takePath, QString* error)
{
    const SpeechScan scan = findSpeech(takePath);
    if (error)
        *error = scan.error;
    double voiced = 0;
    for (const SpeechSpan& span : scan.spans)
        voiced += span.end - span.start;
    return scan.ok && voiced >= kTakeSpeechSeconds;
}
