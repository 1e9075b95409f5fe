// The program as a learner starts it: a real window on the X display, and a
// clean exit when the session asks it to quit.
#include "Subprocess.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <csignal>

namespace {

// Starts the program in the data folder, waits for a visible window of it and
// sends SIGTERM, as a session that ends does.
void startShowAndTerminate(const QString& data)
{
    QProcess program;
    program.setWorkingDirectory(data);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(REPETA_BINARY), {});
    QVERIFY(program.waitForStarted());

    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                             QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                             QString::number(program.processId())});
    QVERIFY(search.waitForFinished(20000));
    QVERIFY2(!search.readAllStandardOutput().trimmed().isEmpty(), "no visible window");

    ::kill(pid_t(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void opensItsWindowAndQuitsCleanly()
    {
        // A learner's data folder as the run command prepares it.
        QTemporaryDir data;
        QCOMPARE(exitCodeOf({QStringLiteral(REPETA_PREPARE_DATA), data.path(), QStringLiteral(REPETA_SAMPLES_DIR)}), 0);
        startShowAndTerminate(data.path());
        // The very first start played the help video.
        const QSettings profile(data.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        QCOMPARE(profile.value(QStringLiteral("FullPlaying")).toString(), QStringLiteral("true"));
        QCOMPARE(profile.value(QStringLiteral("MaterialName")).toString(), QStringLiteral("help.flv"));
    }

    // A broken list stops the start-up with a message box; the session's
    // signal still ends the program.
    void quitsWhileAStartUpMessageWaits()
    {
        QTemporaryDir data;
        QCOMPARE(exitCodeOf({QStringLiteral(REPETA_PREPARE_DATA), data.path(), QStringLiteral(REPETA_SAMPLES_DIR)}), 0);
        testenv::writeFile(data.filePath(QStringLiteral("basiclist.xml")), "<list><unclosed>");
        startShowAndTerminate(data.path());
    }
};

REPETA_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
