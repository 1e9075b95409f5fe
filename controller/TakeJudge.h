// Judges on a thread of its own whether a finished take holds speech, so
// that a silent take never replaces the learner's earlier one. Decoding a
// take blocks for a few milliseconds per ten seconds of it.
#pragma once

#include <QObject>
#include <QString>

#include <thread>

class TakeJudge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TakeJudge() override;

    // One take at a time: waits for an earlier judgement's thread first.
    void judge(const QString& takePath);

signals:
    // Queued into the owner's thread.
    void sigJudged(const QString& takePath, bool holdsSpeech, const QString& error);

private:
    void join();

    std::thread m_thread; // started and joined by the owner's thread only
};
