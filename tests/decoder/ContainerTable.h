// The generated "seconds" material in every container (a second of silence,
// then 400, 600 and 800 Hz), with what is known of each file: where ffmpeg's
// own decode of it stands against the sound's timeline, and whether its
// codec decodes bit for bit the same after a seek. Shared by the decoder's
// and the engine's tests, which compare what they put out with that decode.
#pragma once

#include "SoundAnalysis.h"
#include "TestEnvironment.h"

#include <QTest>

#include <algorithm>
#include <cmath>

namespace containers {

struct Row {
    QString file;
    int rate = 44100;
    // Samples that ffmpeg's decode holds before the first sample of the
    // sound: the coding delay of an MP3 or AC-3 stream that the container
    // does not trim. Negative where the decode lacks the sound's first
    // samples (WMA loses its first frame to the decoder's overlap).
    int delay = 0;
    // Whether a decode that starts after a seek gives the very samples of one
    // from the start. Opus rebuilds its state from the frames before the
    // target only approximately (it converges within 80 ms); AC-3 fills
    // coefficients it was not sent with noise from a generator that runs
    // from the decoder's start. The other codecs here are exact.
    bool exact = true;
};

} // namespace containers

Q_DECLARE_METATYPE(containers::Row)

namespace containers {

// Opus decodes at 48 kHz; the others were made at 44.1 kHz.
constexpr int kOpusRate = 48000;
constexpr int kMp3DelaySamples = 1105;
constexpr int kAc3DelaySamples = 256;
constexpr int kWmaFrameSamples = 2048;
// Where the tone starts in every file, in seconds of the sound, and how far a
// lossy codec may smear that onset.
constexpr double kOnsetSeconds = 1.0;
constexpr double kOnsetToleranceSeconds = 0.001;
constexpr double kOnsetLevel = 0.01; // of full scale
// Inexact codecs: the residual against ffmpeg's decode, relative to the
// signal, and how far off a wrongly placed block would correlate best.
constexpr double kResidualDb = -30.0;
constexpr int kLagSearchFrames = 64;
constexpr int kLagSpanFrames = 4800; // 0.1 s at the start of a comparison

inline void addRows()
{
    QTest::addColumn<Row>("row");
    const Row rows[] = {
        {QStringLiteral("seconds.mp3")},
        {QStringLiteral("seconds.flv"), 44100, kMp3DelaySamples},
        {QStringLiteral("seconds.wmv"), 44100, -kWmaFrameSamples},
        {QStringLiteral("seconds.rm"), 44100, kAc3DelaySamples, false},
        {QStringLiteral("seconds.mp4")},
        {QStringLiteral("seconds.m4a")},
        {QStringLiteral("seconds.mov")},
        {QStringLiteral("seconds.mkv"), kOpusRate, 0, false},
        {QStringLiteral("seconds.webm"), kOpusRate, 0, false},
        {QStringLiteral("seconds-vorbis.webm")},
        {QStringLiteral("seconds.ogg")},
        {QStringLiteral("seconds.opus"), kOpusRate, 0, false},
        {QStringLiteral("seconds.wav")},
        {QStringLiteral("seconds.flac")},
        {QStringLiteral("seconds.avi"), 44100, kMp3DelaySamples},
        {QStringLiteral("seconds-pcm.avi")},
    };
    for (const Row& row : rows)
        QTest::newRow(qPrintable(row.file)) << row;
}

inline Row fetch()
{
    QFETCH(Row, row);
    return row;
}

inline qsizetype frameAt(const Row& row, double seconds) { return qsizetype(std::llround(seconds * row.rate)); }

// ffmpeg's decode at the file's own rate, in stereo.
inline Pcm reference(const Row& row) { return decodeFile(testenv::media(row.file), row.rate, 2); }

// The frame of the reference that holds the sound at `seconds`.
inline qsizetype referenceFrame(const Row& row, double seconds)
{
    return std::max<qsizetype>(0, frameAt(row, seconds) + row.delay);
}

inline Pcm frames(const Pcm& pcm, qsizetype first, qsizetype count)
{
    Pcm part;
    part.rate = pcm.rate;
    part.channels = pcm.channels;
    first = std::clamp<qsizetype>(first, 0, pcm.frames());
    count = std::clamp<qsizetype>(count, 0, pcm.frames() - first);
    part.samples = pcm.samples.mid(first * pcm.channels, count * pcm.channels);
    return part;
}

// The table's delay is right: the tone starts at 1.000 s of the sound.
inline bool silenceEndsAtOneSecond(const Pcm& reference, const Row& row)
{
    qsizetype first = 0;
    while (first < reference.frames() && std::abs(reference.at(first, 0)) <= kOnsetLevel * 32768)
        ++first;
    const double onset = double(first - row.delay) / row.rate;
    if (std::abs(onset - kOnsetSeconds) <= kOnsetToleranceSeconds)
        return true;
    qWarning("%s: the tone starts at %.5f s", qPrintable(row.file), onset);
    return false;
}

inline double energy(const Pcm& a, const Pcm& b, qsizetype lag)
{
    double sum = 0;
    for (qsizetype i = 0; i < a.frames(); ++i) {
        const qsizetype j = i + lag;
        for (int c = 0; c < a.channels; ++c) {
            const double d = double(a.at(i, c)) - (j >= 0 && j < b.frames() ? b.at(j, c) : 0);
            sum += d * d;
        }
    }
    return sum;
}

// Empty when `out` is the reference's sound from `seconds` on, for `count`
// frames or as far as either goes; else what differs.
inline QString compare(const Pcm& out, const Pcm& reference, const Row& row, double seconds, qsizetype count)
{
    // Sound that ffmpeg's decode lacks is left out of the comparison.
    const qsizetype unmatched = std::max<qsizetype>(0, -(frameAt(row, seconds) + row.delay));
    const qsizetype start = referenceFrame(row, seconds);
    const qsizetype expected = std::min(count - unmatched, reference.frames() - start);
    if (out.frames() - unmatched < expected)
        return QStringLiteral("%1 of %2 frames").arg(out.frames()).arg(expected + unmatched);
    const Pcm want = frames(reference, start, expected);
    const Pcm got = frames(out, unmatched, expected);
    if (row.exact) {
        for (qsizetype i = 0; i < expected; ++i)
            for (int c = 0; c < got.channels; ++c)
                if (std::abs(got.at(i, c) - want.at(i, c)) > 1)
                    return QStringLiteral("frame %1 (%2 s of the sound) differs: %3 for %4")
                        .arg(i)
                        .arg(double(start + i - row.delay) / row.rate, 0, 'f', 5)
                        .arg(got.at(i, c))
                        .arg(want.at(i, c));
        return {};
    }
    // Not bit-exact: the residual is small and no other alignment fits better.
    const double signal = energy(want, Pcm{QVector<qint16>(want.samples.size()), want.channels, want.rate}, 0);
    const double residual = energy(got, want, 0);
    const double residualDb = 10 * std::log10((residual + 1) / (signal + 1));
    if (residualDb > kResidualDb)
        return QStringLiteral("residual %1 dB").arg(residualDb, 0, 'f', 1);
    const Pcm head = frames(got, 0, kLagSpanFrames);
    const double headResidual = energy(head, want, 0);
    for (qsizetype lag = -kLagSearchFrames; lag <= kLagSearchFrames; ++lag)
        if (lag != 0 && energy(head, want, lag) < headResidual)
            return QStringLiteral("fits better %1 frames off").arg(lag);
    return {};
}

// After the file's sound, only silence came out.
inline bool silentAfter(const Pcm& out, const Pcm& reference, const Row& row, double seconds)
{
    const qsizetype end = reference.frames() - frameAt(row, seconds) - row.delay;
    for (qsizetype i = std::max<qsizetype>(end, 0) * out.channels; i < out.samples.size(); ++i)
        if (out.samples[i] != 0)
            return false;
    return true;
}

} // namespace containers
