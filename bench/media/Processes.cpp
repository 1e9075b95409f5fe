#include "Processes.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstring>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int kSocketAttempts = 100;
constexpr int kSocketRetryMs = 50;
} // namespace

double monotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

pid_t spawnProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
                   const std::string& outputPath)
{
    std::vector<std::string> environment(extraEnvironment);
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const std::string& entry : environment)
        env.push_back(const_cast<char*>(entry.c_str()));
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outputPath.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

Usage waitProcess(pid_t pid, double started)
{
    Usage usage;
    int status = 0;
    rusage used{};
    if (pid <= 0 || wait4(pid, &status, 0, &used) != pid)
        return usage;
    usage.wallSeconds = monotonicSeconds() - started;
    usage.cpuSeconds = double(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
                       double(used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e6;
    usage.peakKilobytes = used.ru_maxrss;
    usage.exitedCleanly = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return usage;
}

Usage runProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
                 const std::string& outputPath)
{
    const double started = monotonicSeconds();
    return waitProcess(spawnProcess(argv, extraEnvironment, outputPath), started);
}

MpvControl::MpvControl(const std::string& file, const std::string& socketPath)
    : m_socketPath(socketPath)
{
    unlink(socketPath.c_str());
    m_pid = spawnProcess({"mpv", "--no-config", "--no-video", "--ao=pulse", "--really-quiet", "--pause",
                          "--input-ipc-server=" + socketPath, file});
    if (m_pid <= 0)
        return;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
    for (int attempt = 0; attempt < kSocketAttempts; ++attempt) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            m_socket = fd;
            return;
        }
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(kSocketRetryMs));
    }
}

MpvControl::~MpvControl()
{
    if (m_socket >= 0) {
        send(R"({"command":["quit"]})");
        close(m_socket);
    }
    if (m_pid > 0) {
        const double started = monotonicSeconds();
        while (waitpid(m_pid, nullptr, WNOHANG) == 0) {
            if (monotonicSeconds() - started > 5) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(kSocketRetryMs));
        }
    }
    unlink(m_socketPath.c_str());
}

bool MpvControl::send(const std::string& command)
{
    const std::string line = command + "\n";
    return m_socket >= 0 && write(m_socket, line.data(), line.size()) == ssize_t(line.size());
}
