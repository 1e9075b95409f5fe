// The real program started in a data folder on the X display, as its
// launcher starts it, and its end.
#pragma once

#include "Subprocess.h"

#include <QString>

class ProgramRun {
public:
    // Starts `binary` with `dataFolder` as its working directory; false when
    // it did not start.
    bool start(const QString& binary, const QString& dataFolder);
    qint64 pid() const { return m_pid; }

    // Waits for the program to end; then its exit code (-1 for a crash or a
    // signal), at once when it has ended before. False when it still runs
    // after the timeout.
    bool waitForExit(int timeoutMs, int* exitCode);
    // Asks it to quit as a session does (SIGTERM).
    void terminate();

private:
    Subprocess m_shell; // execs into the program: the same process
    qint64 m_pid = -1; // while it runs
    int m_exitCode = -1;
};
