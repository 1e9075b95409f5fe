// Compares the learner's take with the model sentence on a thread of its
// own, so that the window stays responsive; a newer request cancels an older
// one, whose result never arrives.
#pragma once

#include "analysis/Comparison.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

class TakeComparison : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TakeComparison() override;

    // Sentence `sentence` of the model, [from, to) seconds, against the take.
    void compare(const QString& model, double from, double to, const QString& take, int sentence);
    void cancel();

signals:
    // Queued into the owner's thread.
    void sigCompared(int sentence, const QString& take, const Comparison& result);

private:
    std::thread m_thread;                   // started and joined by the owner's thread only
    std::atomic<bool> m_cancelled{false}; // set by the owner, read by the thread
};
