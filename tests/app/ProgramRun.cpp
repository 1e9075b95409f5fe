#include "ProgramRun.h"

#include "Desktop.h"

#include <csignal>
#include <sys/wait.h>

namespace {
constexpr int kPidTimeoutMs = 10000;
} // namespace

bool ProgramRun::start(const QString& binary, const QString& dataFolder)
{
    // The shell prints its pid and becomes the program; Subprocess sets no
    // working directory itself.
    const QString script = QStringLiteral("echo $$ && cd \"$1\" && exec env QT_QPA_PLATFORM=xcb \"$2\"");
    const QString name = QStringLiteral("repeta"); // $0 of the script
    if (!m_shell.start({QStringLiteral("sh"), QStringLiteral("-c"), script, name, dataFolder, binary}))
        return false;
    QByteArray line;
    desktop::pollUntil([&] {
        const QByteArray output = m_shell.output();
        line = output.left(output.indexOf('\n'));
        return output.contains('\n');
    }, kPidTimeoutMs);
    bool ok = false;
    m_pid = line.trimmed().toLongLong(&ok);
    if (!ok)
        m_pid = -1;
    return ok;
}

bool ProgramRun::waitForExit(int timeoutMs, int* exitCode)
{
    // WNOWAIT leaves the child to Subprocess, which reaps it and reads the
    // status.
    const bool ended = m_pid <= 0 || desktop::pollUntil([this] {
        siginfo_t info = {};
        return ::waitid(P_PID, id_t(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
    }, timeoutMs);
    if (ended && m_pid > 0) {
        m_exitCode = m_shell.wait();
        m_pid = -1;
    }
    *exitCode = m_exitCode;
    return ended;
}

void ProgramRun::terminate()
{
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGTERM);
}
