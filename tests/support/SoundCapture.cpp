#include "SoundCapture.h"

#include <QElapsedTimer>

namespace {
constexpr int kStartTimeoutMs = 5000;
constexpr qint64 kConnectedBytes = 44100 * 4 / 10; // 100 ms of stereo 16-bit
constexpr qint64 kTailMs = 300;
} // namespace


SoundCapture::SoundCapture(const QString& source)
    : m_source(source)
{
}

SoundCapture::~SoundCapture()
{
    if (m_parec.state() != QProcess::NotRunning) {
        m_parec.kill();
        m_parec.waitForFinished();
    }
}

bool SoundCapture::start()
{
    m_parec.start(QStringLiteral("parec"),
                  {QStringLiteral("-d"), m_source, QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                   QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=10")});
    if (!m_parec.waitForStarted(kStartTimeoutMs))
        return false;
    // The monitor streams silence continuously: once some of it has arrived,
    // the recorder is connected and nothing played from now on is lost.
    QElapsedTimer waited;
    waited.start();
    while (m_parec.bytesAvailable() < kConnectedBytes && waited.elapsed() < kStartTimeoutMs)
        m_parec.waitForReadyRead(100);
    return m_parec.bytesAvailable() >= kConnectedBytes;
}

Pcm SoundCapture::stop()
{
    // What was just played is still on its way through the server.
    QElapsedTimer tail;
    tail.start();
    while (tail.elapsed() < kTailMs)
        m_parec.waitForReadyRead(int(kTailMs - tail.elapsed()));
    m_parec.terminate();
    m_parec.waitForFinished(5000);
    return pcmFromBytes(m_parec.readAllStandardOutput());
}

bool playWithPaplay(const QString& path)
{
    return QProcess::execute(QStringLiteral("paplay"), {path}) == 0;
}
