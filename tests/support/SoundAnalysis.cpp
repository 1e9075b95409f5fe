#include "SoundAnalysis.h"

#include "Subprocess.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

Pcm Pcm::slice(double from, double to) const
{
    Pcm part;
    part.channels = channels;
    part.rate = rate;
    const qsizetype first = std::clamp<qsizetype>(qsizetype(from * rate), 0, frames());
    const qsizetype last = to < 0 ? frames() : std::clamp<qsizetype>(qsizetype(to * rate), first, frames());
    part.samples = samples.mid(first * channels, (last - first) * channels);
    return part;
}

Pcm pcmFromBytes(const QByteArray& bytes, int rate, int channels)
{
    Pcm pcm;
    pcm.rate = rate;
    pcm.channels = channels;
    pcm.samples.resize(bytes.size() / 2);
    if (!pcm.samples.isEmpty())
        std::memcpy(pcm.samples.data(), bytes.constData(), size_t(pcm.samples.size()) * 2);
    return pcm;
}

Pcm decodeFile(const QString& path, int rate, int channels)
{
    const QByteArray samples =
        outputOf({QStringLiteral("ffmpeg"), QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                  QStringLiteral("-i"), path, QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ac"),
                  QString::number(channels), QStringLiteral("-ar"), QString::number(rate), QStringLiteral("-")});
    return pcmFromBytes(samples, rate, channels);
}

double toneFrequency(const Pcm& pcm, int channel)
{
    double firstCrossing = -1;
    double lastCrossing = -1;
    int crossings = 0;
    for (qsizetype i = 1; i < pcm.frames(); ++i) {
        const double a = pcm.at(i - 1, channel);
        const double b = pcm.at(i, channel);
        if (a < 0 && b >= 0) {
            const double at = double(i - 1) + (-a) / (b - a); // interpolated
            if (firstCrossing < 0)
                firstCrossing = at;
            lastCrossing = at;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return (crossings - 1) * pcm.rate / (lastCrossing - firstCrossing);
}

double levelDb(const Pcm& pcm, int channel)
{
    if (pcm.frames() == 0)
        return -std::numeric_limits<double>::infinity();
    double sum = 0;
    for (qsizetype i = 0; i < pcm.frames(); ++i) {
        const double v = pcm.at(i, channel) / 32768.0;
        sum += v * v;
    }
    return 10 * std::log10(sum / double(pcm.frames()));
}

double toneLevelDb(const Pcm& pcm, double frequency, int channel)
{
    const qsizetype n = pcm.frames();
    if (n == 0)
        return -std::numeric_limits<double>::infinity();
    const double coefficient = 2 * std::cos(2 * M_PI * frequency / pcm.rate);
    double previous = 0;
    double beforePrevious = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double current = pcm.at(i, channel) / 32768.0 + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    // A sine of amplitude a gives power (a n / 2)^2; its mean square is a^2 / 2.
    const double amplitude = 2 * std::sqrt(std::max(power, 0.0)) / double(n);
    return 10 * std::log10(amplitude * amplitude / 2 + 1e-30);
}

SoundSpan soundSpan(const Pcm& pcm, double thresholdDb, int channel)
{
    const qsizetype window = pcm.rate / 100;
    SoundSpan span;
    for (qsizetype start = 0; start + window <= pcm.frames(); start += window) {
        const Pcm part = pcm.slice(double(start) / pcm.rate, double(start + window) / pcm.rate);
        if (levelDb(part, channel) > thresholdDb) {
            if (span.start < 0)
                span.start = double(start) / pcm.rate;
            span.end = double(start + window) / pcm.rate;
        }
    }
    return span;
}
