// The program as a learner starts it: a real window on the X display, and a
// clean exit when the session asks it to quit.
#include "Subprocess.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void opensItsWindowAndQuitsCleanly()
    {
        // A learner's data folder as the run command prepares it.
        QTemporaryDir data;
        QCOMPARE(exitCodeOf({QStringLiteral(REPETA_PREPARE_DATA), data.path(), QStringLiteral(REPETA_SAMPLES_DIR)}), 0);
        QProcess program;
        program.setWorkingDirectory(data.path());
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
};

REPETA_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
