#include "VoiceFeatures.h"

#include "decoder/AudioDecoder.h"
#include "decoder/MediaProbe.h"
#include "speech/SpeechScan.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

// The developer's trace of recordings that could not be analysed; off by
// default (QT_LOGGING_RULES="repeta.analysis=true").
Q_LOGGING_CATEGORY(lcAnalysis, "repeta.analysis", QtCriticalMsg)

namespace {

// Speech lives below 8 kHz; the pitch tracker and the mel bands need no more.
constexpr int kRateHz = 16000;
constexpr int kHopSamples = int(kRateHz * VoiceFeatures::kFrameSeconds);
// 64 ms: two periods of a 31 Hz voice, so the lowest male voices are seen.
constexpr int kPitchWindowSamples = 1024;
// 32 ms, the usual window for the spectral envelope of speech.
constexpr int kSpectrumWindowSamples = 512;
constexpr int kMelBands = 40;
// The tracker's confidence (1 less the YIN dip) below which a frame is taken
// as unvoiced, and the pitches a speaking voice can have. YIN rather than
// yinfft: this aubio's yinfft reports its confidence with the wrong sign on
// voiced speech, so it cannot tell voiced from unvoiced.
constexpr double kVoicedConfidence = 0.6;
constexpr double kLowestPitchHz = 60;
constexpr double kHighestPitchHz = 500;
constexpr double kPitchSilenceDb = -60;
// A pitch this far from the median is an octave error of the tracker.
constexpr double kWildestSemitones = 10;
// Frames either side in the median smoothing of the pitch: removes the
// tracker's single-frame jumps, keeps the syllables' contours.
constexpr int kPitchSmoothFrames = 2;

QString tr(const char* text) { return QCoreApplication::translate("VoiceFeatures", text); }

bool isSet(const std::atomic<bool>* flag) { return flag && flag->load(std::memory_order_relaxed); }

VoiceFeatures failed(const QString& path, const QString& why)
{
    qCWarning(lcAnalysis) << "cannot analyse" << path << ":" << why;
    VoiceFeatures features;
    features.error = why;
    return features;
}

struct AubioDeleter {
    void operator()(fvec_t* v) const { del_fvec(v); }
    void operator()(cvec_t* v) const { del_cvec(v); }
    void operator()(aubio_pitch_t* p) const { del_aubio_pitch(p); }
    void operator()(aubio_pvoc_t* p) const { del_aubio_pvoc(p); }
    void operator()(aubio_mfcc_t* m) const { del_aubio_mfcc(m); }
};
template <typename T> using Aubio = std::unique_ptr<T, AubioDeleter>;

// aubio's analysers see the last `window` samples after each hop. Leading
// zeros place the centre of output frame k + skip at k hops.
struct Alignment {
    int leadingZeros;
    int skipFrames;
};
Alignment alignment(int window)
{
    const int skip = (window / 2 - kHopSamples + kHopSamples - 1) / kHopSamples;
    return {kHopSamples * (skip + 1) - window / 2, skip};
}

// The samples padded for an analyser of `window`, hop by hop.
template <typename Analyse>
void everyHop(const std::vector<float>& samples, int frames, int window, fvec_t* hop, Analyse analyse)
{
    const Alignment align = alignment(window);
    std::vector<float> padded(size_t(align.leadingZeros) + size_t(frames + align.skipFrames) * kHopSamples, 0.f);
    std::copy(samples.begin(), samples.end(), padded.begin() + align.leadingZeros);
    for (int k = 0; k < frames + align.skipFrames; ++k) {
        std::copy_n(padded.data() + size_t(k) * kHopSamples, kHopSamples, hop->data);
        analyse(k - align.skipFrames);
    }
}

bool decodeMono(const QString& path, double from, double to, std::vector<float>& samples,
                const std::atomic<bool>* cancel)
{
    AudioDecoder decoder;
    if (!decoder.open(QFile::encodeName(path), cancel) || !decoder.hasAudio())
        return false;
    decoder.setOutput(kRateHz, 1, SampleFormat::Float);
    decoder.startAtSeconds(from);
    decoder.setEndSeconds(to);
    SampleBlock block;
    AudioDecoder::Step step;
    while ((step = decoder.next(block)) != AudioDecoder::Step::End && !isSet(cancel)) {
        if (step == AudioDecoder::Step::Samples)
            samples.insert(samples.end(), block.floats, block.floats + block.count);
    }
    return !isSet(cancel);
}

void trackPitch(const std::vector<float>& samples, VoiceFeatures& features)
{
    const int frames = features.frames();
    Aubio<aubio_pitch_t> pitch(new_aubio_pitch("yinfast", kPitchWindowSamples, kHopSamples, kRateHz));
    aubio_pitch_set_unit(pitch.get(), "Hz");
    aubio_pitch_set_silence(pitch.get(), kPitchSilenceDb);
    Aubio<fvec_t> hop(new_fvec(kHopSamples));
    Aubio<fvec_t> out(new_fvec(1));
    std::vector<float> hz(size_t(frames), 0.f);
    everyHop(samples, frames, kPitchWindowSamples, hop.get(), [&](int frame) {
        aubio_pitch_do(pitch.get(), hop.get(), out.get());
        const double f = out->data[0];
        if (frame >= 0 && aubio_pitch_get_confidence(pitch.get()) >= kVoicedConfidence && f >= kLowestPitchHz
            && f <= kHighestPitchHz)
            hz[size_t(frame)] = float(f);
    });

    std::vector<float> smoothed(hz.size(), 0.f);
    std::vector<float> around;
    for (int i = 0; i < frames; ++i) {
        if (hz[size_t(i)] <= 0)
            continue;
        around.clear();
        for (int k = std::max(0, i - kPitchSmoothFrames); k <= std::min(frames - 1, i + kPitchSmoothFrames); ++k)
            if (hz[size_t(k)] > 0)
                around.push_back(hz[size_t(k)]);
        std::nth_element(around.begin(), around.begin() + around.size() / 2, around.end());
        smoothed[size_t(i)] = around[around.size() / 2];
    }
    std::vector<float> voiced;
    for (float f : smoothed)
        if (f > 0)
            voiced.push_back(f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::fill(features.semitones.begin(), features.semitones.end(), nan);
    if (voiced.empty())
        return;
    std::nth_element(voiced.begin(), voiced.begin() + voiced.size() / 2, voiced.end());
    const double median = voiced[voiced.size() / 2];
    for (int i = 0; i < frames; ++i) {
        if (smoothed[size_t(i)] <= 0)
            continue;
        const double semitones = 12 * std::log2(smoothed[size_t(i)] / median);
        if (std::abs(semitones) <= kWildestSemitones) {
            features.semitones[size_t(i)] = float(semitones);
            ++features.voicedFrames;
        }
    }
}

void describeSpectrum(const std::vector<float>& samples, VoiceFeatures& features)
{
    const int frames = features.frames();
    constexpr int kWithC0 = VoiceFeatures::kCoefficients + 1;
    Aubio<aubio_pvoc_t> pvoc(new_aubio_pvoc(kSpectrumWindowSamples, kHopSamples));
    Aubio<aubio_mfcc_t> mfcc(new_aubio_mfcc(kSpectrumWindowSamples, kMelBands, kWithC0, kRateHz));
    Aubio<fvec_t> hop(new_fvec(kHopSamples));
    Aubio<cvec_t> spectrum(new_cvec(kSpectrumWindowSamples));
    Aubio<fvec_t> out(new_fvec(kWithC0));
    features.mfcc.assign(size_t(frames) * VoiceFeatures::kCoefficients, 0.f);
    everyHop(samples, frames, kSpectrumWindowSamples, hop.get(), [&](int frame) {
        aubio_pvoc_do(pvoc.get(), hop.get(), spectrum.get());
        aubio_mfcc_do(mfcc.get(), spectrum.get(), out.get());
        if (frame >= 0)
            std::copy_n(out->data + 1, VoiceFeatures::kCoefficients,
                        features.mfcc.begin() + ptrdiff_t(frame) * VoiceFeatures::kCoefficients);
    });
    // Less each coefficient's mean: the microphone and the room drop out.
    for (int c = 0; c < VoiceFeatures::kCoefficients; ++c) {
        double sum = 0;
        for (int i = 0; i < frames; ++i)
            sum += features.mfcc[size_t(i) * VoiceFeatures::kCoefficients + size_t(c)];
        const float mean = float(sum / frames);
        for (int i = 0; i < frames; ++i)
            features.mfcc[size_t(i) * VoiceFeatures::kCoefficients + size_t(c)] -= mean;
    }
}

} // namespace

VoiceFeatures voiceFeatures(const QString& path, double from, double to, const std::atomic<bool>* cancel)
{
    const MediaFacts facts = probeMedia(path);
    if (!facts.opened || !facts.hasAudio)
        return failed(path, tr("无法读取音频"));
    const SpeechScan bounds = speechBounds(path, from, to, cancel);
    if (isSet(cancel))
        return failed(path, tr("已取消"));
    if (!bounds.ok && bounds.spans.isEmpty())
        return failed(path, tr("无法读取音频"));
    if (bounds.spans.isEmpty())
        return failed(path, tr("未检测到声音"));

    std::vector<float> samples;
    const SpeechSpan speech = bounds.spans.first();
    if (!decodeMono(path, speech.start, speech.end, samples, cancel))
        return failed(path, isSet(cancel) ? tr("已取消") : tr("无法读取音频"));
    const int frames = int(samples.size() / kHopSamples);
    if (frames == 0)
        return failed(path, tr("未检测到声音"));

    VoiceFeatures features;
    features.start = speech.start;
    features.semitones.resize(size_t(frames));
    trackPitch(samples, features);
    describeSpectrum(samples, features);
    features.ok = true;
    return features;
}
