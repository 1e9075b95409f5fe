// Measuring sound: interleaved signed 16-bit samples, as recorded from the
// null sink's monitor or decoded from a file.
#pragma once

#include <QString>
#include <QVector>

struct Pcm {
    QVector<qint16> samples; // interleaved
    int channels = 2;
    int rate = 44100;

    qsizetype frames() const { return samples.size() / channels; }
    double seconds() const { return double(frames()) / rate; }
    // The frames from..to (seconds; to < 0 is the end), all channels.
    Pcm slice(double from, double to = -1) const;
    qint16 at(qsizetype frame, int channel) const { return samples[frame * channels + channel]; }
};

// Where a sound is louder than a threshold, in seconds from the start.
struct SoundSpan {
    double start = -1;
    double end = -1;
    double length() const { return start < 0 ? 0 : end - start; }
};

// Raw little-endian 16-bit samples.
Pcm pcmFromBytes(const QByteArray& bytes, int rate = 44100, int channels = 2);

// Decodes any media file to 44.1 kHz stereo with the ffmpeg tool.
Pcm decodeFile(const QString& path, int rate = 44100, int channels = 2);

// Frequency of a pure tone in one channel, from its zero crossings (Hz; 0 for
// silence).
double toneFrequency(const Pcm& pcm, int channel = 0);

// Root mean square level of one channel in dB relative to full scale; a full
// scale sine gives -3 dB, silence -inf.
double levelDb(const Pcm& pcm, int channel = 0);

// Level in dB of the component of one frequency (Goertzel filter), on the
// scale of levelDb: a full scale sine of that frequency gives -3 dB. Picks
// one tone out of a mix.
double toneLevelDb(const Pcm& pcm, double frequency, int channel = 0);

// First and last 10 ms window whose level is above the threshold.
SoundSpan soundSpan(const Pcm& pcm, double thresholdDb = -40.0, int channel = 0);
