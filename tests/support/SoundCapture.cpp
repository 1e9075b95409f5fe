#include "SoundCapture.h"

#include <chrono>
#include <thread>

namespace {
using namespace std::chrono_literals;
constexpr auto kStartTimeout = 5s;
constexpr auto kStartPoll = 10ms;
constexpr qint64 kConnectedBytes = 44100 * 4 / 10; // 100 ms of stereo 16-bit
constexpr auto kTail = 300ms;
} // namespace

SoundCapture::SoundCapture(const QString& source)
    : m_source(source)
{
}

bool SoundCapture::start()
{
    if (!m_parec.start({QStringLiteral("parec"), QStringLiteral("-d"), m_source, QStringLiteral("--raw"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                        QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=10")}))
        return false;
    // The monitor streams silence continuously: once some of it has arrived,
    // the recorder is connected and nothing played from now on is lost.
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (m_parec.outputSize() < kConnectedBytes && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kStartPoll);
    return m_parec.outputSize() >= kConnectedBytes;
}

Pcm SoundCapture::stop()
{
    // What was just played is still on its way through the server.
    std::this_thread::sleep_for(kTail);
    m_parec.terminate();
    return pcmFromBytes(m_parec.output());
}

bool playWithPaplay(const QString& path)
{
    return exitCodeOf({QStringLiteral("paplay"), path}) == 0;
}
