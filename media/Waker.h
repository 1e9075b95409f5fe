// What a worker thread waits on instead of sleeping: a timed wait that ends
// early when another thread rings, because something the worker polls for
// (a flag, free space, a new packet) has changed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class Waker {
public:
    // Ends the current or the next wait at once.
    void ring()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_rung = true;
        m_condition.notify_all();
    }

    // Returns after timeoutMs, or sooner when rung since the last wait.
    void wait(int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_condition.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_rung; });
        m_rung = false;
    }

private:
    std::mutex m_mutex; // guards m_rung
    std::condition_variable m_condition;
    bool m_rung = false;
};
