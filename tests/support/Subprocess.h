// Running helper programs (ffmpeg, parec, pactl) from tests. Built on
// posix_spawn and a reader thread rather than QProcess, whose way of starting
// children crashes ThreadSanitizer.
#pragma once

#include <QByteArray>
#include <QStringList>

#include <mutex>
#include <sys/types.h>
#include <thread>

class Subprocess {
public:
    Subprocess() = default;
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;
    ~Subprocess(); // kills a program still running

    // argv[0] is looked up on PATH; its standard output is collected.
    bool start(const QStringList& argv);
    qint64 outputSize();
    // SIGTERM, then waits; returns the exit status as waitpid gives it.
    int terminate();
    int wait(); // exit code, or -1 when it did not exit normally
    QByteArray output(); // everything collected; call after wait or terminate

private:
    void collect();

    pid_t m_pid = -1;
    int m_pipe = -1;
    std::thread m_reader;
    std::mutex m_mutex; // guards m_output
    QByteArray m_output;
};

// Runs a program to its end and returns what it wrote to standard output.
QByteArray outputOf(const QStringList& argv);
// Runs a program to its end, discarding its output; its exit code or -1.
int exitCodeOf(const QStringList& argv);
