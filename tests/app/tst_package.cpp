// The Debian package of this build as a learner's system takes it: made by
// cpack, installed with dpkg, its files in place and accepted by their
// validators, the installed program started on the display, and removed
// without leaving its files behind.
#include "Launcher.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QDomDocument>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

constexpr int kPackagingTimeoutMs = 240000;
constexpr int kTimeoutMs = 60000;
const QString kPackage = QStringLiteral("repeta");
// Every size of the icon theme's folders, each also at twice the density.
constexpr int kIconSizes[] = {16, 22, 24, 32, 36, 48, 64, 72, 96, 128, 192, 256, 512};
const QStringList kManPages = {QStringLiteral("repeta"), QStringLiteral("repeta-sentences"),
                               QStringLiteral("repeta-compare")};

struct Run {
    int exitCode = -1;
    QString output; // standard output and error together
};

Run run(const QString& program, const QStringList& arguments, int timeoutMs = kTimeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run result;
    if (process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

QString installed(const QString& path) { return QStringLiteral("/usr/") + path; }

QStringList installedFiles()
{
    QStringList files = {QStringLiteral("bin/repeta"), QStringLiteral("bin/repeta-sentences"),
                         QStringLiteral("bin/repeta-compare"), QStringLiteral("libexec/repeta/repeta"),
                         QStringLiteral("libexec/repeta/skin/main.ini"), QStringLiteral("share/repeta/samples/help.flv"),
                         QStringLiteral("share/repeta/samples/basiclist.xml"),
                         QStringLiteral("share/applications/" REPETA_APP_ID ".desktop"),
                         QStringLiteral("share/metainfo/" REPETA_APP_ID ".metainfo.xml"),
                         QStringLiteral("share/icons/hicolor/scalable/apps/repeta.svg"),
                         QStringLiteral("share/doc/repeta/copyright")};
    for (const QString& page : kManPages)
        files << QStringLiteral("share/man/man1/%1.1.gz").arg(page);
    return files;
}

} // namespace

class PackageTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_output;
    QString m_package;

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("installing a package needs root");
        QVERIFY(m_output.isValid());
        // gzip rather than the default xz: the same package, made faster.
        const Run cpack = run(QStringLiteral(REPETA_CPACK),
                              {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                               QStringLiteral(REPETA_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                               m_output.path(), QStringLiteral("-D"), QStringLiteral("CPACK_DEBIAN_COMPRESSION_TYPE=gzip")},
                              kPackagingTimeoutMs);
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
        const QStringList debs = QDir(m_output.path()).entryList({QStringLiteral("*.deb")});
        QCOMPARE(debs.size(), 1);
        m_package = m_output.filePath(debs.first());
    }

    void cleanupTestCase()
    {
        if (run(QStringLiteral("dpkg-query"), {QStringLiteral("-W"), kPackage}).exitCode == 0)
            run(QStringLiteral("dpkg"), {QStringLiteral("--purge"), kPackage}, kPackagingTimeoutMs);
    }

    // The version of the build files; the libraries the binaries link, as
    // dpkg-shlibdeps finds them; what the program needs beyond its links.
    void theControlFileNamesVersionAndDependencies()
    {
        const Run fields = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), m_package,
                                                            QStringLiteral("Package"), QStringLiteral("Version"),
                                                            QStringLiteral("Depends")});
        QCOMPARE(fields.exitCode, 0);
        QVERIFY2(fields.output.contains(QStringLiteral("Package: repeta\n")), qPrintable(fields.output));
        QVERIFY2(fields.output.contains(QStringLiteral("Version: " REPETA_VERSION "\n")), qPrintable(fields.output));
        for (const char* dependency : {"libqt6widgets6 (>=", "libavcodec59 (>=", "libportaudio2 (>=",
                                       "libmp3lame0 (>=", "qt6-translations-l10n", "fonts-noto-cjk",
                                       "qt6-qpa-plugins", "libasound2-plugins"})
            QVERIFY2(fields.output.contains(QLatin1String(dependency)), dependency);
    }

    void installsWithDpkg()
    {
        const Run install = run(QStringLiteral("dpkg"), {QStringLiteral("-i"), m_package}, kPackagingTimeoutMs);
        QVERIFY2(install.exitCode == 0, qPrintable(install.output));
        for (const QString& file : installedFiles())
            QVERIFY2(QFileInfo::exists(installed(file)), qPrintable(file));
        for (int side : kIconSizes) {
            for (int scale : {1, 2}) {
                const QString path = installed(QStringLiteral("share/icons/hicolor/%1x%1%2/apps/repeta.png")
                                                   .arg(side)
                                                   .arg(scale == 1 ? QString() : QStringLiteral("@2")));
                QCOMPARE(QImage(path).size(), QSize(side, side) * scale);
            }
        }
    }

    // The desktop entry and the software-centre metadata pass their
    // validators; the metadata's release is the package's version; the
    // manual pages render without a warning.
    void itsMetadataIsValid()
    {
        const Run desktop = run(QStringLiteral("desktop-file-validate"),
                                {installed(QStringLiteral("share/applications/" REPETA_APP_ID ".desktop"))});
        QVERIFY2(desktop.exitCode == 0 && desktop.output.isEmpty(), qPrintable(desktop.output));
        const QString metainfo = installed(QStringLiteral("share/metainfo/" REPETA_APP_ID ".metainfo.xml"));
        const Run appstream = run(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                                  QStringLiteral("--no-color"), metainfo});
        QVERIFY2(appstream.exitCode == 0, qPrintable(appstream.output));

        QDomDocument doc;
        QVERIFY(doc.setContent(testenv::readFile(metainfo)));
        const QDomElement release = doc.documentElement().firstChildElement(QStringLiteral("releases"))
                                        .firstChildElement(QStringLiteral("release"));
        QCOMPARE(release.attribute(QStringLiteral("version")), QStringLiteral(REPETA_VERSION));
        // Every screenshot lies under the one base and is kept in the repository.
        const QDomNodeList images = doc.elementsByTagName(QStringLiteral("image"));
        QVERIFY(!images.isEmpty());
        for (int i = 0; i < images.size(); ++i) {
            const QString url = images.at(i).toElement().text();
            QVERIFY2(url.startsWith(QStringLiteral(REPETA_SCREENSHOT_BASE "/")), qPrintable(url));
            const QString kept = QStringLiteral(REPETA_SCREENSHOTS_DIR "/") + url.section(QLatin1Char('/'), -1);
            QVERIFY2(!QImage(kept).isNull(), qPrintable(kept));
        }

        for (const QString& page : kManPages) {
            const Run man = run(QStringLiteral("man"), {QStringLiteral("--warnings"), QStringLiteral("-l"),
                                                       installed(QStringLiteral("share/man/man1/%1.1.gz").arg(page))});
            QCOMPARE(man.exitCode, 0);
            QVERIFY2(man.output.contains(page) && !man.output.contains(QStringLiteral("warning:")),
                     qPrintable(man.output));
        }
    }

    // Started from its desktop entry's command: the program shows its
    // window in a data folder prepared from the installed samples; the
    // installed tools read the installed samples.
    void theInstalledProgramRuns()
    {
        QTemporaryDir home;
        QCOMPARE(runLauncher(installed(QStringLiteral("bin/repeta")), home.path()), 0);
        QVERIFY(QFileInfo::exists(home.filePath(QStringLiteral(".local/share/repeta/profile.ini"))));
        const Run sentences = run(installed(QStringLiteral("bin/repeta-sentences")),
                                  {installed(QStringLiteral("share/repeta/samples/help.lrc"))});
        QVERIFY2(sentences.exitCode == 0 && sentences.output.contains(QStringLiteral("\n{\"end\":")),
                 qPrintable(sentences.output));
    }

    void removesCleanly()
    {
        const Run purge = run(QStringLiteral("dpkg"), {QStringLiteral("--purge"), kPackage}, kPackagingTimeoutMs);
        QVERIFY2(purge.exitCode == 0, qPrintable(purge.output));
        for (const QString& file : installedFiles())
            QVERIFY2(!QFileInfo::exists(installed(file)), qPrintable(file));
        for (const char* folder : {"libexec/repeta", "share/repeta", "share/doc/repeta"})
            QVERIFY2(!QFileInfo::exists(installed(QLatin1String(folder))), folder);
    }
};

REPETA_TEST_MAIN(PackageTest)
#include "tst_package.moc"
