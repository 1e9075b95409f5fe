// Records the null sink's monitor through parec on a thread of its own and
// stamps every block with the time it arrived, so that the moment a sound
// reached the sink can be told to a few milliseconds.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <sys/types.h>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

class SinkRecorder {
public:
    SinkRecorder();
    ~SinkRecorder();
    bool isRunning() const { return m_pipe != nullptr; }

    // Waits until a sound louder than the threshold arrived after `since`, or
    // a tone of `frequency` Hz dominates when frequency > 0; the time it
    // reached the sink, or nothing after the timeout.
    bool waitForSound(Clock::time_point since, double frequency, Clock::time_point* at, int timeoutMs);

private:
    struct Block {
        Clock::time_point arrived;
        std::vector<std::int16_t> left; // one channel is enough
    };
    void read();
    bool findLocked(Clock::time_point since, double frequency, Clock::time_point* at) const;

    pid_t m_parec = -1;
    FILE* m_pipe = nullptr;
    std::thread m_reader;
    mutable std::mutex m_mutex; // guards m_blocks
    std::vector<Block> m_blocks;
};
