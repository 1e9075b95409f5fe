#include "TakeJudge.h"

#include "speech/SpeechScan.h"

#include <pthread.h>

TakeJudge::~TakeJudge() { join(); }

void TakeJudge::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TakeJudge::judge(const QString& takePath)
{
    join();
    m_thread = std::thread([this, takePath] {
        pthread_setname_np(pthread_self(), "takeJudge");
        QString error;
        const bool speech = holdsSpeech(takePath, &error);
        QMetaObject::invokeMethod(
            this, [this, takePath, speech, error] { emit sigJudged(takePath, speech, error); }, Qt::QueuedConnection);
    });
}
