#include "SoundCapture.h"

#include <QThread>


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
    if (!m_parec.waitForStarted(5000))
        return false;
    // parec needs a moment to connect its stream; samples before that are lost.
    QThread::msleep(200);
    return m_parec.state() == QProcess::Running;
}

Pcm SoundCapture::stop()
{
    m_parec.terminate();
    m_parec.waitForFinished(5000);
    return pcmFromBytes(m_parec.readAllStandardOutput());
}

bool playWithPaplay(const QString& path)
{
    return QProcess::execute(QStringLiteral("paplay"), {path}) == 0;
}
