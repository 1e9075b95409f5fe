#include "Comparison.h"

#include "TakeScores.h"
#include "TimeWarp.h"
#include "VoiceFeatures.h"

#include <QCoreApplication>

namespace {

// Less voiced sound than this (frames of 10 ms) has no melody to follow.
constexpr int kFewestVoicedFrames = 10;
// A take this many times as long as the model is not a reading of it.
constexpr double kLongestTempo = 4.0;

QString tr(const char* text) { return QCoreApplication::translate("Comparison", text); }

Comparison failed(const QString& why)
{
    Comparison comparison;
    comparison.error = why;
    return comparison;
}

} // namespace

Comparison compareTakes(const QString& modelPath, double modelFrom, double modelTo, const QString& takePath,
                        const std::atomic<bool>* cancel)
{
    const VoiceFeatures model = voiceFeatures(modelPath, modelFrom, modelTo, cancel);
    if (!model.ok)
        return failed(model.error);
    if (model.voicedFrames < kFewestVoicedFrames)
        return failed(tr("模型句子没有浊音"));
    const VoiceFeatures take = voiceFeatures(takePath, -1, -1, cancel);
    if (!take.ok)
        return failed(take.error);
    if (take.duration() > kLongestTempo * model.duration())
        return failed(tr("录音太长"));
    if (take.voicedFrames < kFewestVoicedFrames)
        return failed(tr("录音没有浊音"));

    const TimeMap map = warpTakeOntoModel(model, take);
    const TakeScores scores = scoreTake(model, take, map);
    Comparison comparison;
    comparison.ok = true;
    comparison.intonation = scores.intonation;
    comparison.rhythm = scores.rhythm;
    comparison.overall = overallScore(scores.intonation, scores.rhythm);
    comparison.tempo = take.duration() / model.duration();
    for (int i = 0; i < model.frames(); ++i) {
        const double seconds = model.start + i * VoiceFeatures::kFrameSeconds;
        comparison.model.push_back({seconds, model.semitones[size_t(i)]});
        comparison.take.push_back({seconds, scores.takeSemitones[size_t(i)]});
    }
    for (Difference place : scores.differences) {
        place.start += model.start;
        place.end += model.start;
        comparison.differences.push_back(place);
    }
    return comparison;
}
