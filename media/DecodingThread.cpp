#include "DecodingThread.h"

namespace {
// How often an idle decoding thread looks at its flags again.
constexpr int kIdlePollMs = 10;
} // namespace

DecodingThread::DecodingThread(const DecoderSetup& setup, QObject* parent)
    : QThread(parent)
    , m_setup(setup)
{
}

void DecodingThread::setPaused(bool on)
{
    m_paused.store(on);
    m_waker.ring();
}

void DecodingThread::requestStop()
{
    m_stop.store(true);
    m_waker.ring();
}

bool DecodingThread::takePacket(AVPacket* packet)
{
    for (;;) {
        if (m_setup.queue->getWithin(packet, kIdlePollMs))
            return true;
        if (m_stop.load())
            return false;
        // A last packet may have come between the wait and the flags.
        if (!m_setup.flags->reading.load() && !m_setup.flags->seekPending.load())
            return m_setup.queue->get(packet, false);
    }
}

bool DecodingThread::holdWhilePaused()
{
    while (m_paused.load() && !m_stop.load())
        m_waker.wait(kIdlePollMs);
    return !m_stop.load();
}

void DecodingThread::finish()
{
    m_setup.active->store(false);
    m_setup.flags->parser.ring();
    m_ended.store(true, std::memory_order_release);
}

void DecodingThread::join()
{
    wait();
    // wait() orders what run() did before whatever follows, through Qt's own
    // locks, which ThreadSanitizer does not see; this acquire shows it.
    m_ended.load(std::memory_order_acquire);
}
