// The files behind a material: the material path of a list's url, the LRC
// beside a media file, and the copy into the workspace that never empties or
// half-writes a file.
#include "TestEnvironment.h"

#include "ListFixture.h"
#include "library/MaterialFiles.h"
#include "sentences/SentenceFinding.h"

#include <QFile>

using namespace listtest;

class MaterialFilesTest : public QObject {
    Q_OBJECT

private slots:
    void materialPaths_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("path");
        QTest::newRow("bare name") << QStringLiteral("lesson01.mp3") << QStringLiteral("./workspace/lesson01.mp3");
        QTest::newRow("web address") << QStringLiteral("http://media.example.com/media/lesson02.mp3")
                                     << QStringLiteral("./workspace/lesson02.mp3");
        QTest::newRow("encoded web address") << QStringLiteral("https://example.com/a%20b.mp3?x=1#t")
                                             << QStringLiteral("./workspace/a b.mp3");
        QTest::newRow("bare name with URL characters") << QStringLiteral("Lesson #3 100%.mp3")
                                                       << QStringLiteral("./workspace/Lesson #3 100%.mp3");
        QTest::newRow("relative path") << QStringLiteral("sub/dir/x.mp3") << QStringLiteral("./workspace/x.mp3");
        QTest::newRow("Chinese name") << QStringLiteral("第一课.mp3") << QStringLiteral("./workspace/第一课.mp3");
        QTest::newRow("nothing") << QString() << QStringLiteral("./workspace/");
    }

    void materialPaths()
    {
        QFETCH(QString, url);
        QFETCH(QString, path);
        QCOMPARE(materialPathFromUrl(url), path);
        QCOMPARE(QString::fromLatin1(kMaterialPrefix).size(), 12);
    }

    void lrcBesideTheMedia_data()
    {
        QTest::addColumn<QString>("media");
        QTest::addColumn<QString>("lrc");
        QTest::newRow("plain") << QStringLiteral("/m/lesson.mp3") << QStringLiteral("/m/lesson.lrc");
        QTest::newRow("two dots") << QStringLiteral("/m/a.b.mp3") << QStringLiteral("/m/a.b.lrc");
        QTest::newRow("no dot") << QStringLiteral("/m/lesson") << QStringLiteral("/m/lesson.lrc");
        QTest::newRow("dot only in a folder") << QStringLiteral("/m.d/lesson") << QStringLiteral("/m.d/lesson.lrc");
    }

    void lrcBesideTheMedia()
    {
        QFETCH(QString, media);
        QFETCH(QString, lrc);
        QCOMPARE(lrcPathFor(media), lrc);
    }

    void copyMakesTheWorkspaceAndReplaces()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(QStringLiteral("in/lesson.mp3"), QByteArray()) || QDir().mkpath(QStringLiteral("in")));
        QVERIFY(folder.write(QStringLiteral("in/lesson.mp3"), "new bytes"));
        QVERIFY(folder.write(QStringLiteral("in/lesson.lrc"), "[00:01]Hi 你好\n"));

        CopyResult copied = copyIntoWorkspace(folder.path(QStringLiteral("in/lesson.mp3")));
        QCOMPARE(copied.status, CopyResult::Status::Copied);
        QCOMPARE(folder.read(QStringLiteral("workspace/lesson.mp3")), QByteArray("new bytes"));

        QVERIFY(folder.write(QStringLiteral("workspace/lesson.lrc"), "old"));
        copied = copyIntoWorkspace(folder.path(QStringLiteral("in/lesson.lrc")));
        QCOMPARE(copied.status, CopyResult::Status::Copied);
        QCOMPARE(folder.read(QStringLiteral("workspace/lesson.lrc")), QByteArray("[00:01]Hi 你好\n")); // byte for byte
        QCOMPARE(QDir(folder.path(QStringLiteral("workspace"))).entryList(QDir::Files),
                 (QStringList{QStringLiteral("lesson.lrc"), QStringLiteral("lesson.mp3")})); // no temporary left
    }

    void copyOntoItselfKeepsTheFile()
    {
        WorkingFolder folder;
        QVERIFY(QDir().mkpath(QStringLiteral("workspace")));
        const QByteArray media = testenv::readFile(testenv::media(QStringLiteral("sentences.mp3")));
        const QByteArray lrc = "[00:01]Hi 你好\n";
        QVERIFY(folder.write(QStringLiteral("workspace/s.mp3"), media));
        QVERIFY(folder.write(QStringLiteral("workspace/s.lrc"), lrc));
        QVERIFY(QFile::link(folder.path(QStringLiteral("workspace")), folder.path(QStringLiteral("alias"))));

        for (const QString& source : {QStringLiteral("workspace/s.mp3"), folder.path(QStringLiteral("workspace/s.mp3")),
                                      QStringLiteral("./workspace/../workspace/s.mp3"), QStringLiteral("alias/s.mp3")}) {
            const CopyResult copied = copyIntoWorkspace(source);
            QVERIFY2(copied.status == CopyResult::Status::AlreadyThere, qPrintable(source));
        }
        QCOMPARE(copyIntoWorkspace(QStringLiteral("workspace/s.lrc")).status,
                 CopyResult::Status::AlreadyThere);
        QCOMPARE(folder.read(QStringLiteral("workspace/s.mp3")), media);
        QCOMPARE(folder.read(QStringLiteral("workspace/s.lrc")), lrc);
    }

    void failedCopyLeavesTheDestination()
    {
        WorkingFolder folder;
        QVERIFY(QDir().mkpath(QStringLiteral("workspace")));
        QVERIFY(folder.write(QStringLiteral("workspace/gone.mp3"), "kept"));
        const CopyResult missing = copyIntoWorkspace(folder.path(QStringLiteral("elsewhere/gone.mp3")));
        QVERIFY(missing.failed());
        QVERIFY2(missing.error.contains(QStringLiteral("gone.mp3")), qPrintable(missing.error));
        QCOMPARE(folder.read(QStringLiteral("workspace/gone.mp3")), QByteArray("kept"));

        // A source that cannot be read through (a directory) fails midway.
        QVERIFY(QDir().mkpath(QStringLiteral("elsewhere/dir.mp3")));
        QVERIFY(folder.write(QStringLiteral("workspace/dir.mp3"), "kept"));
        QVERIFY(copyIntoWorkspace(folder.path(QStringLiteral("elsewhere/dir.mp3"))).failed());
        QCOMPARE(folder.read(QStringLiteral("workspace/dir.mp3")), QByteArray("kept"));
    }

    void noWorkspaceFolderNoCopy()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(QStringLiteral("workspace"), "a file where the folder should be"));
        QVERIFY(folder.write(QStringLiteral("a.mp3"), "bytes"));
        const CopyResult copied = copyIntoWorkspace(folder.path(QStringLiteral("a.mp3")));
        QVERIFY(copied.failed());
        QVERIFY(!copied.error.isEmpty());
    }
};

REPETA_TEST_MAIN(MaterialFilesTest)
#include "tst_materialfiles.moc"
