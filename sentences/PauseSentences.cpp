#include "PauseSentences.h"

#include "SentenceEditing.h"
#include "SentenceFinding.h"

#include "speech/SpeechScan.h"

#include <QFileInfo>
#include <QSaveFile>

#include <pthread.h>

PauseSentences writePauseSentences(const QString& mediaPath, const std::atomic<bool>* cancel)
{
    PauseSentences result;
    const QString lrcPath = lrcPathFor(mediaPath);
    if (QFileInfo::exists(lrcPath)) {
        result.error = QStringLiteral("%1 exists already").arg(lrcPath);
        return result;
    }
    const SpeechScan scan = findSentences(mediaPath, cancel);
    // A file cut short still gives the sentences before the cut.
    if ((cancel && cancel->load()) || (!scan.ok && scan.spans.isEmpty())) {
        result.error = scan.error;
        return result;
    }
    QVector<QPair<float, float>> spans;
    for (const SpeechSpan& span : scan.spans)
        spans.append({float(span.start), float(span.end)});
    QSaveFile file(lrcPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(lrcFromSpans(spans)) < 0 || !file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    result.count = int(spans.size());
    return result;
}

PauseScanner::PauseScanner(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<PauseSentences>();
}

PauseScanner::~PauseScanner() { cancel(); }

void PauseScanner::cancel()
{
    if (!m_thread.joinable())
        return;
    m_cancel.store(true);
    m_thread.join();
}

void PauseScanner::start(const QString& mediaPath)
{
    cancel();
    m_cancel.store(false);
    m_thread = std::thread([this, mediaPath] {
        pthread_setname_np(pthread_self(), "pauseScan");
        const PauseSentences result = writePauseSentences(mediaPath, &m_cancel);
        if (!m_cancel.load())
            QMetaObject::invokeMethod(this, [this, mediaPath, result] { emit sigScanned(mediaPath, result); },
                                      Qt::QueuedConnection);
    });
}
