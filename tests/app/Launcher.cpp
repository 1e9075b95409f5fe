#include "Launcher.h"

#include <QProcess>

#include <csignal>

namespace {
constexpr int kTimeoutMs = 60000;
}

int runLauncher(const QString& launcher, const QString& home)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(launcher, {});
    if (!program.waitForStarted())
        return -1;
    QProcess search; // the launcher execs the program: the same process
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                             QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                             QString::number(program.processId())});
    const bool shown = search.waitForFinished(kTimeoutMs) && !search.readAllStandardOutput().trimmed().isEmpty();
    ::kill(pid_t(program.processId()), SIGTERM);
    if (!program.waitForFinished(kTimeoutMs) || program.exitStatus() != QProcess::NormalExit)
        return -1;
    return shown ? program.exitCode() : -1;
}
