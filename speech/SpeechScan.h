// Speech in a media file, on the sound's timeline (0 = the first sample, as
// the playback engine counts): the sentences of a material found by its
// pauses, whether a take holds speech, and where speech begins and ends for
// trimming. All of them decode with the shared AudioDecoder and judge with
// VoiceActivity, so the three can never disagree on what speech is.
//
// Every function blocks while it decodes (about 0.04 s per minute of MP3):
// call it on a worker thread. Any number may run at once.
#pragma once

#include "VoiceActivity.h"

#include <QString>
#include <QVector>

#include <atomic>

struct SpeechScan {
    bool ok = false;
    QString error;        // why not ok, short, for the learner
    double duration = -1; // seconds up to the end of the sound decoded
    // In order and disjoint. After a failure (cancelled, cut short), what was
    // found before it.
    QVector<SpeechSpan> spans;
};

// A pause at least this long ends a sentence; the pauses at commas inside one
// are shorter.
constexpr double kSentencePauseSeconds = 0.3;
// Speech for at least this long makes a take.
constexpr double kTakeSpeechSeconds = 0.3;

// Every span of speech in [from, to) seconds; from -1 is the start of the
// sound and to -1 its end. While *cancel is set, the scan stops at once and
// fails.
SpeechScan findSpeech(const QString& mediaPath, double from = -1, double to = -1,
                      const std::atomic<bool>* cancel = nullptr);

// The sentences of a material: its speech, split where it pauses for at
// least kSentencePauseSeconds. A start is the onset of the sentence's speech.
SpeechScan findSentences(const QString& mediaPath, const std::atomic<bool>* cancel = nullptr);

// Where speech begins and ends in [from, to): one span, or none when the range
// holds no speech.
SpeechScan speechBounds(const QString& mediaPath, double from = -1, double to = -1,
                        const std::atomic<bool>* cancel = nullptr);

// Whether a recorded take holds speech (kTakeSpeechSeconds of it), so that it
// may replace the learner's earlier take. False also when the take cannot be
// read; *error then says why, and is emptied otherwise.
[[nodiscard]] bool holdsSpeech(const QString& takePath, QString* error = nullptr);
