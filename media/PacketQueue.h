// Compressed packets of one stream kind, from the demultiplexing thread to a
// decoding thread. After a seek a flush marker travels through it, telling
// the consumer to reset its decoder.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

struct AVPacket;

class PacketQueue {
public:
    PacketQueue();
    ~PacketQueue();
    PacketQueue(const PacketQueue&) = delete;
    PacketQueue& operator=(const PacketQueue&) = delete;

    // Moves the packet's reference into the queue, leaving the packet blank.
    // False when its payload could not be made owned; the packet is then
    // untouched and the caller frees it.
    [[nodiscard]] bool put(AVPacket* packet);
    // Moves the oldest packet into an empty `packet`. Without `block` an empty
    // queue returns false at once and leaves `packet` untouched.
    [[nodiscard]] bool get(AVPacket* packet, bool block);
    // As get(), waiting at most timeoutMs for a packet to arrive.
    [[nodiscard]] bool getWithin(AVPacket* packet, int timeoutMs);
    // Drops every queued packet, then queues the flush marker.
    void flush();
    // Sum of the queued payload sizes; read without the lock.
    std::int64_t bytes() const { return m_bytes.load(std::memory_order_relaxed); }
    int count();

    // The marker is known by the identity of its payload, not its contents.
    static bool isFlushMarker(const AVPacket* packet);

private:
    bool takeLocked(AVPacket* packet);
    void clearLocked();

    std::mutex m_mutex; // guards m_packets and the writes of m_bytes
    std::condition_variable m_arrived;
    std::deque<AVPacket*> m_packets;
    std::atomic<std::int64_t> m_bytes{0};
};
