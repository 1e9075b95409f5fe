// "Is someone speaking": a decision for every 10 ms frame of mono float
// samples, shared by the sentence finder, the drill's take check and the
// trimming of takes. The level of each frame in the speech band (a 100 Hz
// high-pass; the band's top comes from MonoDecimator's low-pass) is held
// against the noise floor around it, a low percentile of the frame levels
// within a few seconds on either side, so that a quiet voice over a quiet room
// and a loud one over hum are judged alike. Speech starts where a frame rises
// well above the floor, reaching back to where the level first left it, and
// goes on while the level stays a little above it (hysteresis); short gaps
// are bridged (hangover) and blips dropped.
//
// The floor looks ahead, so decisions lag the pushed samples by
// kFloorWindowSeconds; finish() decides the rest. O(1) work per sample and
// per frame, memory bounded by the window.
#pragma once

#include "LevelPercentile.h"

#include <QVector>

#include <cstdint>
#include <deque>

struct SpeechSpan {
    double start = 0; // seconds on the sound's timeline
    double end = 0;
};

class VoiceActivity {
public:
    static constexpr double kFrameSeconds = 0.01;
    // Half the window in which the floor is the kFloorFraction percentile:
    // long against a sentence, so that the pauses in it reach the low end.
    static constexpr double kFloorWindowSeconds = 4.0;
    static constexpr double kFloorFraction = 0.1;
    // A frame this far above the floor starts speech; speech lasts while the
    // level stays kHoldMarginDb above it. The 10 ms frames of steady noise
    // stray a few dB above its floor.
    static constexpr double kOnsetMarginDb = 9.0;
    static constexpr double kHoldMarginDb = 4.0;
    // A floor below this (digital silence, dither) is taken as this, so that
    // the faintest hiss in a silent file is not speech.
    static constexpr double kQuietestFloorDbFs = -70.0;
    // Gaps up to this are part of the speech around them: stop closures and
    // the quiet ends of words.
    static constexpr double kHangoverSeconds = 0.2;
    // Speech shorter than this is a click or a bump, not speech.
    static constexpr double kShortestSpeechSeconds = 0.15;

    // sampleRate of the pushed samples; 8-16 kHz is enough and cheap.
    explicit VoiceActivity(double sampleRate);

    void push(const float* mono, int count);
    // Decides every frame still waiting for its look-ahead, ending speech at
    // the last frame. Pushing more afterwards is not supported.
    void finish();

    // The speech decided so far, in seconds from the first pushed sample,
    // in order and disjoint; a listed span does not change any more.
    const QVector<SpeechSpan>& spans() const { return m_spans; }

private:
    void endFrame();
    void decideFrame();
    void endRun(int64_t endFrame);
    void flushPending();
    double frameTime(int64_t frame) const { return double(frame) * m_frameLength / m_sampleRate; }

    double m_sampleRate;
    int m_frameLength;       // samples per frame
    int m_windowFrames;      // kFloorWindowSeconds in frames
    int64_t m_hangoverFrames;
    int64_t m_shortestFrames;

    // Second-order Butterworth high-pass, direct form I.
    double m_b0 = 0, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;

    double m_energy = 0; // sum of squares of the frame being filled
    int m_filled = 0;    // samples in it

    // Levels (dBFS) of frames [m_firstLevel, m_firstLevel + size): the floor's
    // window around the next frame to decide, m_decided.
    std::deque<float> m_levels;
    int64_t m_firstLevel = 0;
    int64_t m_decided = 0;
    LevelPercentile m_floor{kFloorFraction};

    int64_t m_aboveHoldSince = -1; // first frame of the current run above the hold level
    int64_t m_speechSince = -1;    // start of the speech run being decided, -1 outside speech
    int64_t m_pendingStart = -1;   // the last run, held until the next one shows whether to bridge
    int64_t m_pendingEnd = -1;

    QVector<SpeechSpan> m_spans;
};
