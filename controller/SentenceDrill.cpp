#include "SentenceDrill.h"

#include "Repeta.h"

#include <QTimer>

#include <algorithm>

namespace {
// How often the learner's remaining speaking time is shown.
constexpr int kCountdownTickMs = 50;
} // namespace

SentenceDrill::SentenceDrill(Repeta& practice, vCtrlWidget* ctrl)
    : QObject(&practice)
    , m_practice(practice)
    , m_ctrl(ctrl)
    , m_tick(new QTimer(this))
{
    m_tick->setInterval(kCountdownTickMs);
    connect(m_tick, &QTimer::timeout, this, &SentenceDrill::tick);
}

bool SentenceDrill::start(const drill::Settings& settings) { return begin(settings, false); }

bool SentenceDrill::startComparison()
{
    if (!m_practice.recordingExists())
        return false;
    drill::Settings once;
    once.rounds = 1;
    once.playBack = true;
    return begin(once, true);
}

bool SentenceDrill::begin(const drill::Settings& settings, bool comparing)
{
    stop();
    if (m_practice.phase() != ListenRepeat || m_practice.currentSentence() < 0 ||
        m_practice.currentSentence() >= int(m_practice.sentenceCount()))
        return false;
    m_settings = settings;
    m_settings.rounds = std::clamp(settings.rounds, drill::kMinRounds, drill::kMaxRounds);
    m_settings.pauseFactor = std::clamp(settings.pauseFactor, drill::kMinPauseFactor, drill::kMaxPauseFactor);
    m_comparing = comparing;
    m_sentence = m_practice.currentSentence();
    if (!comparing)
        m_ctrl->setDrillChecked(true);
    beginSentence();
    return true;
}

void SentenceDrill::stop()
{
    if (m_stage == Stage::Off)
        return;
    const Stage was = m_stage;
    m_stage = Stage::Off;
    m_tick->stop();
    m_practice.holdAtSentenceEnd(false);
    if (was == Stage::Rounds)
        m_practice.playSentence(false);
    else if (was == Stage::Speaking)
        m_practice.endRecording();
    else if (was == Stage::PlayBack)
        m_practice.playRecording(false);
    m_practice.applySpeed();
    finish(DrillState());
}

double SentenceDrill::roundSpeed(double chosen) const
{
    if (m_stage == Stage::Rounds && m_round == 1 && m_settings.slowFirst)
        return std::min(chosen, drill::kSlowFirstSpeed);
    return chosen;
}

void SentenceDrill::beginSentence()
{
    m_stage = Stage::Rounds;
    m_round = 1;
    // Selecting the sentence seeks to its start, even after a round held at its end.
    m_practice.selectSentence(m_sentence);
    m_practice.playSentence(true);
    m_practice.holdAtSentenceEnd(m_settings.rounds == 1);
    m_practice.applySpeed();
    showRound();
}

void SentenceDrill::roundEnded()
{
    if (m_stage != Stage::Rounds)
        return;
    if (++m_round > m_settings.rounds) {
        if (!m_comparing) {
            beginSpeaking();
            return;
        }
        m_practice.playSentence(false);
        m_practice.holdAtSentenceEnd(false);
        afterTake(true);
        return;
    }
    // The last round stops at the sentence's end instead of starting again.
    m_practice.holdAtSentenceEnd(m_round == m_settings.rounds);
    m_practice.applySpeed();
    showRound();
}

void SentenceDrill::originalEnded()
{
    if (m_stage != Stage::Rounds)
        return;
    if (m_round >= m_settings.rounds) {
        roundEnded();
        return;
    }
    ++m_round;
    m_practice.playSentence(true);
    m_practice.holdAtSentenceEnd(m_round == m_settings.rounds);
    m_practice.applySpeed();
    showRound();
}

void SentenceDrill::beginSpeaking()
{
    m_practice.playSentence(false);
    m_practice.holdAtSentenceEnd(false);
    m_stage = Stage::Speaking;
    m_speakingSeconds = m_settings.pauseFactor * m_practice.sentenceSeconds(m_sentence) / m_practice.speed();
    if (m_settings.record && !m_practice.startTake()) {
        DrillState failed;
        failed.stage = DrillState::Failed;
        failed.message = tr("无法录音，自动跟读已停止");
        finish(failed);
        return;
    }
    m_speaking.start();
    m_tick->start();
    tick();
}

void SentenceDrill::tick()
{
    if (m_stage != Stage::Speaking)
        return;
    const double remaining = std::max(0.0, m_speakingSeconds - m_speaking.elapsed() / 1000.0);
    DrillState state;
    state.stage = DrillState::Speaking;
    state.remainingSeconds = remaining;
    state.totalSeconds = m_speakingSeconds;
    m_ctrl->showDrill(state);
    if (remaining > 0)
        return;
    m_tick->stop();
    if (m_practice.activity() & Repeta::RECORDING) {
        // The take is judged once the recorder has let go of it.
        m_stage = Stage::Judging;
        m_practice.endRecording();
    } else {
        afterTake(false);
    }
}

void SentenceDrill::takeDone(bool kept, const QString& failure)
{
    // A recorder that fails ends its take early, while the learner speaks.
    if (m_stage != Stage::Judging && !(m_stage == Stage::Speaking && !failure.isEmpty()))
        return;
    if (!failure.isEmpty()) {
        DrillState failed;
        failed.stage = DrillState::Failed;
        failed.message = tr("录音失败：%1").arg(failure);
        finish(failed);
        return;
    }
    afterTake(kept);
}

void SentenceDrill::afterTake(bool kept)
{
    if (kept && m_settings.playBack) {
        m_stage = Stage::PlayBack;
        m_practice.playRecording(true);
        DrillState state;
        state.stage = DrillState::PlayBack;
        m_ctrl->showDrill(state);
        return;
    }
    nextSentence();
}

void SentenceDrill::playbackEnded()
{
    if (m_stage == Stage::PlayBack)
        nextSentence();
}

void SentenceDrill::nextSentence()
{
    if (m_comparing || ++m_sentence >= int(m_practice.sentenceCount())) {
        finish(DrillState());
        return;
    }
    beginSentence();
}

void SentenceDrill::finish(const DrillState& last)
{
    m_stage = Stage::Off;
    m_tick->stop();
    m_ctrl->setDrillChecked(false);
    m_ctrl->showDrill(last);
}

void SentenceDrill::showRound()
{
    DrillState state;
    state.stage = DrillState::Rounds;
    state.round = m_round;
    state.rounds = m_settings.rounds;
    m_ctrl->showDrill(state);
}
