// What the comparison looks at in one recording of speech, every 10 ms of it
// from where speech begins: the pitch and the spectral envelope (MFCC).
#pragma once

#include <QString>

#include <atomic>
#include <vector>

struct VoiceFeatures {
    static constexpr double kFrameSeconds = 0.01;
    static constexpr int kCoefficients = 12; // MFCC without c0, the loudness

    bool ok = false;
    QString error;
    double start = 0;                    // seconds of the first frame on the sound's timeline
    std::vector<float> semitones;        // per frame, from the median voiced pitch; NaN unvoiced
    std::vector<float> mfcc;             // kCoefficients per frame, each less its mean over the file
    int voicedFrames = 0;

    int frames() const { return int(semitones.size()); }
    double duration() const { return frames() * kFrameSeconds; }
    const float* coefficients(int frame) const { return mfcc.data() + size_t(frame) * kCoefficients; }
};

// The features of the speech in [from, to) of a media file (-1: start, end).
VoiceFeatures voiceFeatures(const QString& path, double from, double to, const std::atomic<bool>* cancel);
