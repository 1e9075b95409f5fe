// State that one media's demultiplexing thread shares with its decoding
// threads, without a lock.
#pragma once

#include "Waker.h"

#include <atomic>

struct MediaFlags {
    // Written by the demultiplexing thread, read by the decoding threads:
    // the file can still deliver packets; a seek waits for its first packet.
    std::atomic<bool> reading{false};
    std::atomic<bool> seekPending{false};
    // Set by the demultiplexing thread before it starts a decoding thread,
    // cleared by that thread when it ends.
    std::atomic<bool> audioActive{false};
    std::atomic<bool> videoActive{false};
    // Rung for the demultiplexing thread when a decoding thread ends.
    Waker parser;
};
