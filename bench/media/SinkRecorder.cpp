#include "SinkRecorder.h"

#include <csignal>
#include <cmath>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRate = 44100;
constexpr int kFramesPerRead = 220; // 5 ms: the resolution of the timing
constexpr double kSoundLevel = 0.01; // of full scale
constexpr int kWindowFrames = 441; // 10 ms, for telling tones apart
constexpr double kOtherToneRatio = 4.0; // the wanted tone's power over the next strongest

double tonePower(const std::int16_t* samples, int count, double frequency)
{
    const double coefficient = 2 * std::cos(2 * M_PI * frequency / kRate);
    double previous = 0;
    double beforePrevious = 0;
    for (int i = 0; i < count; ++i) {
        const double current = samples[i] / 32768.0 + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}

// The tone generators of the bench input step by 100 Hz: the wanted tone
// must beat its neighbours clearly.
bool toneDominates(const std::int16_t* samples, int count, double frequency)
{
    const double wanted = tonePower(samples, count, frequency);
    double strongest = 0;
    for (double other = 300; other <= 1200; other += 100)
        if (std::abs(other - frequency) > 1)
            strongest = std::max(strongest, tonePower(samples, count, other));
    return wanted > kOtherToneRatio * strongest && wanted > 1.0;
}

} // namespace

SinkRecorder::SinkRecorder()
{
    int ends[2];
    if (pipe(ends) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    char* const argv[] = {const_cast<char*>("parec"), const_cast<char*>("-d"), const_cast<char*>("out.monitor"),
                          const_cast<char*>("--raw"), const_cast<char*>("--format=s16le"),
                          const_cast<char*>("--rate=44100"), const_cast<char*>("--channels=2"),
                          const_cast<char*>("--latency-msec=5"), nullptr};
    const bool spawned = posix_spawnp(&m_parec, "parec", &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (!spawned) {
        close(ends[0]);
        return;
    }
    m_pipe = fdopen(ends[0], "r");
    m_reader = std::thread([this] { read(); });
}

SinkRecorder::~SinkRecorder()
{
    if (!m_pipe)
        return;
    kill(m_parec, SIGTERM); // the reader's fread ends with it
    m_reader.join();
    waitpid(m_parec, nullptr, 0);
    std::fclose(m_pipe);
}

void SinkRecorder::read()
{
    std::vector<std::int16_t> frames(kFramesPerRead * 2);
    while (std::fread(frames.data(), sizeof(std::int16_t) * 2, kFramesPerRead, m_pipe) == kFramesPerRead) {
        Block block{Clock::now(), std::vector<std::int16_t>(kFramesPerRead)};
        for (int i = 0; i < kFramesPerRead; ++i)
            block.left[size_t(i)] = frames[size_t(2 * i)];
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_blocks.push_back(std::move(block));
    }
}

bool SinkRecorder::waitForSound(Clock::time_point since, double frequency, Clock::time_point* at, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (findLocked(since, frequency, at))
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool SinkRecorder::findLocked(Clock::time_point since, double frequency, Clock::time_point* at) const
{
    // The samples after `since`, each with the time it was recorded.
    std::vector<std::int16_t> samples;
    std::vector<Clock::time_point> times;
    const auto sampleTime = std::chrono::nanoseconds(1000000000LL / kRate);
    for (const Block& block : m_blocks) {
        if (block.arrived <= since)
            continue;
        for (int i = 0; i < kFramesPerRead; ++i) {
            const Clock::time_point recorded = block.arrived - sampleTime * (kFramesPerRead - 1 - i);
            if (recorded <= since)
                continue;
            samples.push_back(block.left[size_t(i)]);
            times.push_back(recorded);
        }
    }
    for (size_t i = 0; i < samples.size(); ++i) {
        if (frequency <= 0) {
            if (std::abs(samples[i]) > kSoundLevel * 32768) {
                *at = times[i];
                return true;
            }
        } else if (i % kFramesPerRead == 0 && i + kWindowFrames <= samples.size() &&
                   toneDominates(&samples[i], kWindowFrames, frequency)) {
            *at = times[i];
            return true;
        }
    }
    return false;
}
