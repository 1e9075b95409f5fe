// Child processes of the bench: ours and mpv, each measured by what the
// kernel counts for it, and mpv driven through its IPC socket.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct Usage {
    double cpuSeconds = 0; // user + system
    double wallSeconds = 0;
    long peakKilobytes = 0; // resident
    bool exitedCleanly = false;
};

// Starts a program with extra "KEY=VALUE" entries in its environment; its
// output (standard and error) goes to outputPath where one is given.
pid_t spawnProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment = {},
                   const std::string& outputPath = {});
// Waits for it and reports what it used since `started` (seconds of the
// monotonic clock, from monotonicSeconds()).
Usage waitProcess(pid_t pid, double started);
double monotonicSeconds();
// Runs to the end and measures.
Usage runProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment = {},
                 const std::string& outputPath = {});

// One mpv, started paused with an IPC socket, for commands sent at a known
// moment.
class MpvControl {
public:
    MpvControl(const std::string& file, const std::string& socketPath);
    ~MpvControl();
    bool isReady() const { return m_socket >= 0; }
    // A JSON IPC command, such as R"({"command":["set_property","pause",false]})".
    bool send(const std::string& command);

private:
    pid_t m_pid = -1;
    int m_socket = -1;
    std::string m_socketPath;
};
