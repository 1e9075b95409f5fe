#include "Subprocess.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

Subprocess::~Subprocess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        wait();
    }
}

bool Subprocess::start(const QStringList& argv)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    std::vector<QByteArray> storage;
    for (const QString& arg : argv)
        storage.push_back(arg.toLocal8Bit());
    std::vector<char*> args;
    for (QByteArray& arg : storage)
        args.push_back(arg.data());
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    const int spawned = posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        m_pid = -1;
        return false;
    }
    m_pipe = fds[0];
    m_reader = std::thread(&Subprocess::collect, this);
    return true;
}

void Subprocess::collect()
{
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(m_pipe, chunk, sizeof chunk);
        if (n <= 0)
            break;
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_output.append(chunk, n);
    }
    ::close(m_pipe);
}

qint64 Subprocess::outputSize()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_output.size();
}

int Subprocess::terminate()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGTERM);
    return wait();
}

int Subprocess::wait()
{
    int status = 0;
    if (m_pid > 0 && ::waitpid(m_pid, &status, 0) < 0)
        status = -1;
    m_pid = -1;
    if (m_reader.joinable())
        m_reader.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QByteArray Subprocess::output()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_output;
}

QByteArray outputOf(const QStringList& argv)
{
    Subprocess program;
    if (!program.start(argv))
        return QByteArray();
    program.wait();
    return program.output();
}

int exitCodeOf(const QStringList& argv)
{
    Subprocess program;
    return program.start(argv) ? program.wait() : -1;
}
