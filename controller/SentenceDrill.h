// The hands-free sentence drill of Listen & Repeat. From the current sentence
// on, each sentence plays its rounds, then the program waits for the learner
// to speak for a while (recording the take and playing it back, if asked),
// then moves on; it ends after the last sentence, or at once when the
// learner does anything else.
#pragma once

#include "Contracts.h"
#include "DrillSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTimer;

class SentenceDrill : public QObject {
    Q_OBJECT
public:
    SentenceDrill(Repeta& practice, vCtrlWidget* ctrl);

    // False when there is nothing to drill (not in Listen & Repeat, no sentence).
    bool start(const drill::Settings& settings);
    // The current sentence once at the learner's speed, then its take, then
    // stop: the model and the learner side by side. False without a take.
    bool startComparison();
    // Ends the drill where it is; what was recorded so far is judged as usual.
    void stop();
    bool isRunning() const { return m_stage != Stage::Off; }
    // The speed the original plays at now: the first round may be slower.
    double roundSpeed(double chosen) const;

    // Reports from the controller.
    void roundEnded();
    // The original stopped at its end: a last sentence that runs to the end
    // of the media has no mark-out to loop at.
    void originalEnded();
    // A take ended: kept when it replaced the sentence's recording; failure
    // says why the recorder failed (empty when it did not).
    void takeDone(bool kept, const QString& failure);
    void playbackEnded();

private:
    enum class Stage { Off, Rounds, Speaking, Judging, PlayBack };
    bool begin(const drill::Settings& settings, bool comparing);
    void beginSentence();
    void beginSpeaking();
    void tick();
    void afterTake(bool kept);
    void nextSentence();
    void finish(const DrillState& last);
    void showRound();

    Repeta& m_practice;
    vCtrlWidget* m_ctrl;
    QTimer* m_tick;
    drill::Settings m_settings;
    Stage m_stage = Stage::Off;
    bool m_comparing = false; // one sentence and its existing take, no pause
    int m_sentence = -1;
    int m_round = 0;
    double m_speakingSeconds = 0;
    QElapsedTimer m_speaking;
};
