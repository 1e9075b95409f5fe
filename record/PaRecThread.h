// Records the default input device into an MP3 file opened by the owner.
#pragma once

#include <QThread>

#include <atomic>
#include <cstdio>

class PaRecThread : public QThread {
    Q_OBJECT
public:
    explicit PaRecThread(QObject* parent = nullptr);

    void setOutputFile(std::FILE* file) { m_file = file; }
    void setGain(float gain) { m_gain = gain; }
    void requestFinish() { m_finish.store(1); }
    QString errorText() const { return m_errorText; }

protected:
    void run() override;

private:
    std::FILE* m_file = nullptr; // not owned
    float m_gain = 65534.0f;
    std::atomic<int> m_finish{0}; // written by the owner, read by the capture callback
    QString m_errorText;
};
