// Sentences for a media file that has no sentence file: found by the pauses
// of its sound and written as an LRC file beside it, which the learner can
// then correct like any other.
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

struct PauseSentences {
    bool ok = false;
    QString error; // for the developer's trace
    int count = 0; // sentences written
};

// Blocking: decodes the whole sound. The LRC replaces nothing: an existing
// file of that name is left alone and reported as an error.
PauseSentences writePauseSentences(const QString& mediaPath, const std::atomic<bool>* cancel = nullptr);

// Runs writePauseSentences on a thread of its own ("pauseScan") and reports
// back in the thread of its owner. One scan at a time; a new one cancels the
// last. A standard thread, joined rather than waited for, so that the race
// checker sees the end of every scan.
class PauseScanner : public QObject {
    Q_OBJECT
public:
    explicit PauseScanner(QObject* parent = nullptr);
    ~PauseScanner() override;

    void start(const QString& mediaPath);
    void cancel();

signals:
    void sigScanned(QString mediaPath, PauseSentences result);

private:
    std::thread m_thread;              // owned and joined by the owner's thread
    std::atomic<bool> m_cancel{false}; // written by the owner, read by the scan
};

Q_DECLARE_METATYPE(PauseSentences)
