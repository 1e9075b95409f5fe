#include "PacketQueue.h"

#include "MediaLog.h"

extern "C" {
#include <libavcodec/packet.h>
}

#include <chrono>

namespace {

// One marker for the whole process: an empty packet whose one-byte payload
// holds 'F'. Queued copies share that payload, which is what identifies them.
class FlushMarker {
public:
    FlushMarker()
    {
        m_packet = av_packet_alloc();
        AVBufferRef* payload = av_buffer_alloc(1);
        if (m_packet && payload) {
            payload->data[0] = 'F';
            m_packet->buf = payload;
            m_packet->data = payload->data;
            m_packet->size = 0;
        } else {
            av_buffer_unref(&payload);
        }
    }
    ~FlushMarker() { av_packet_free(&m_packet); }

    const AVPacket* packet() const { return m_packet; }
    const uint8_t* payload() const { return m_packet ? m_packet->data : nullptr; }

private:
    AVPacket* m_packet = nullptr;
};

const FlushMarker& flushMarker()
{
    static const FlushMarker marker;
    return marker;
}

} // namespace

PacketQueue::PacketQueue() { flushMarker(); }

PacketQueue::~PacketQueue()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    clearLocked();
}

bool PacketQueue::isFlushMarker(const AVPacket* packet)
{
    return packet && packet->data && packet->data == flushMarker().payload();
}

bool PacketQueue::put(AVPacket* packet)
{
    AVPacket* node = av_packet_alloc();
    if (!node)
        return false;
    if (isFlushMarker(packet)) {
        if (av_packet_ref(node, packet) < 0) {
            av_packet_free(&node);
            return false;
        }
        av_packet_unref(packet);
    } else {
        if (av_packet_make_refcounted(packet) < 0) {
            av_packet_free(&node);
            return false;
        }
        av_packet_move_ref(node, packet);
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_packets.push_back(node);
    m_bytes.store(m_bytes.load(std::memory_order_relaxed) + node->size, std::memory_order_relaxed);
    m_arrived.notify_all();
    return true;
}

bool PacketQueue::get(AVPacket* packet, bool block)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (block)
        m_arrived.wait(lock, [this] { return !m_packets.empty(); });
    return takeLocked(packet);
}

bool PacketQueue::getWithin(AVPacket* packet, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !m_packets.empty(); });
    return takeLocked(packet);
}

bool PacketQueue::takeLocked(AVPacket* packet)
{
    if (m_packets.empty())
        return false;
    AVPacket* node = m_packets.front();
    m_packets.pop_front();
    m_bytes.store(m_bytes.load(std::memory_order_relaxed) - node->size, std::memory_order_relaxed);
    av_packet_move_ref(packet, node);
    av_packet_free(&node);
    return true;
}

void PacketQueue::flush()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        clearLocked();
    }
    const AVPacket* source = flushMarker().packet();
    AVPacket* marker = av_packet_alloc();
    if (!source || !marker || av_packet_ref(marker, source) < 0 || !put(marker))
        qWarning("Couldn't queue flush packet.");
    av_packet_free(&marker);
}

int PacketQueue::count()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_packets.size());
}

void PacketQueue::clearLocked()
{
    for (AVPacket* node : m_packets)
        av_packet_free(&node);
    m_packets.clear();
    m_bytes.store(0, std::memory_order_relaxed);
}
