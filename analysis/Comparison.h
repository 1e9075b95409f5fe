// A learner's take held against the model sentence: how alike the melody and
// the rhythm are, how fast the take was spoken, and where they differ most.
// Both are trimmed to their speech first, so that they line up where speech
// begins whatever silence the recording holds.
#pragma once

#include <QString>
#include <QVector>

#include <atomic>

struct CurvePoint {
    double seconds = 0;   // on the model's sound timeline
    double semitones = 0; // from the speaker's median voiced pitch; NaN where unvoiced
};

struct Difference {
    enum class Kind { Melody, Rhythm };
    Kind kind = Kind::Melody;
    double start = 0; // seconds on the model's sound timeline
    double end = 0;
};

struct Comparison {
    bool ok = false;
    QString error; // why not ok, short, for the learner
    // 0-100, higher is closer to the model. Valid only when ok.
    double intonation = 0;
    double rhythm = 0; // an evenly slower or faster take is not marked down
    double overall = 0;
    // Take's spoken length over the model's: 1.25 means the take took a
    // quarter longer.
    double tempo = 0;
    // Both pitch curves every 10 ms of the model's speech, the take's read
    // through the time map.
    QVector<CurvePoint> model;
    QVector<CurvePoint> take;
    // The few places where the take departs most, worst first.
    QVector<Difference> differences;
};

// Compares the take with [modelFrom, modelTo) seconds of the model (-1: the
// start, the end). Blocks while it decodes and analyses (tens of
// milliseconds for a sentence): call it on a worker thread. While *cancel is
// set it gives up at once.
Comparison compareTakes(const QString& modelPath, double modelFrom, double modelTo, const QString& takePath,
                        const std::atomic<bool>* cancel = nullptr);
