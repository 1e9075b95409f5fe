#include "TakeComparison.h"

#include <pthread.h>

TakeComparison::~TakeComparison() { cancel(); }

void TakeComparison::cancel()
{
    m_cancelled.store(true);
    if (m_thread.joinable())
        m_thread.join();
}

void TakeComparison::compare(const QString& model, double from, double to, const QString& take, int sentence)
{
    cancel();
    m_cancelled.store(false);
    m_thread = std::thread([this, model, from, to, take, sentence] {
        pthread_setname_np(pthread_self(), "takeCompare");
        const Comparison result = compareTakes(model, from, to, take, &m_cancelled);
        if (m_cancelled.load())
            return;
        QMetaObject::invokeMethod(
            this, [this, sentence, take, result] { emit sigCompared(sentence, take, result); },
            Qt::QueuedConnection);
    });
}
