// What `cmake --install` puts in place, and the installed launcher as the
// desktop entry starts it: the learner's data folder prepared once, never
// overwritten, and the program running in it.
#include "Launcher.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

namespace {
constexpr int kTimeoutMs = 60000;
}

class InstallTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid() && m_home.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::ForwardedChannels);
        install.start(QStringLiteral(REPETA_CMAKE), {QStringLiteral("--install"), QStringLiteral(REPETA_BUILD_DIR),
                                                     QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY(install.waitForFinished(kTimeoutMs));
        QCOMPARE(install.exitCode(), 0);
    }

    void everythingIsInItsStandardPlace()
    {
        const QDir prefix(m_prefix.path());
        for (const char* path : {"bin/repeta", "libexec/repeta/repeta", "libexec/repeta/prepare-data.sh",
                                 "libexec/repeta/skin/main.ini", "libexec/repeta/skin/main.svg",
                                 "libexec/repeta/skin/exporter.ini", "share/repeta/samples/basiclist.xml",
                                 "share/repeta/samples/help.flv", "share/repeta/samples/about.lrc",
                                 "share/icons/hicolor/scalable/apps/repeta.svg", "share/icons/hicolor/48x48/apps/repeta.png",
                                 "share/man/man1/repeta.1.gz", "share/metainfo/" REPETA_APP_ID ".metainfo.xml"})
            QVERIFY2(prefix.exists(QString::fromLatin1(path)), path);
        QVERIFY(QFileInfo(prefix.filePath(QStringLiteral("bin/repeta"))).isExecutable());

        QSettings entry(prefix.filePath(QStringLiteral("share/applications/" REPETA_APP_ID ".desktop")), QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
        QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), QStringLiteral("repeta"));
        QCOMPARE(entry.value(QStringLiteral("Exec")).toString(), QStringLiteral("repeta")); // bin/repeta on PATH
    }

    // The first start gives the learner the samples; a later one keeps what
    // the learner changed.
    void theLauncherPreparesTheDataFolderOnceAndStartsThere()
    {
        const QString launcher = m_prefix.filePath(QStringLiteral("bin/repeta"));
        const QDir data(m_home.filePath(QStringLiteral(".local/share/repeta")));
        QCOMPARE(runLauncher(launcher, m_home.path()), 0);
        for (const char* path : {"files", "workspace", "basiclist.xml", "help.flv", "profile.ini"})
            QVERIFY2(data.exists(QString::fromLatin1(path)), path);

        const QString list = data.filePath(QStringLiteral("basiclist.xml"));
        const QByteArray changed = testenv::readFile(list) + "<!-- the learner's own -->\n";
        testenv::writeFile(list, changed);
        QCOMPARE(runLauncher(launcher, m_home.path()), 0);
        QCOMPARE(testenv::readFile(list), changed);
    }

private:
    QTemporaryDir m_prefix;
    QTemporaryDir m_home;
};

REPETA_TEST_MAIN(InstallTest)
#include "tst_install.moc"
