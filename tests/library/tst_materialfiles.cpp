// The files behind a material: the LRC filter of the import, the material
// path of a list's url, the LRC beside a media file, and the copy into the
// workspace that never empties or half-writes a file.
#include "TestEnvironment.h"

#include "ListFixture.h"
#include "library/LrcFilter.h"
#include "library/MaterialFiles.h"

#include <QBuffer>
#include <QFile>

using namespace listtest;

namespace {

QByteArray filtered(const QByteArray& lrc)
{
    QBuffer source;
    source.setData(lrc);
    source.open(QIODevice::ReadOnly);
    QBuffer destination;
    destination.open(QIODevice::WriteOnly);
    if (!copyLrcStripped(source, destination))
        return "<failed>";
    return destination.data();
}

} // namespace

class MaterialFilesTest : public QObject {
    Q_OBJECT

private slots:
    void stripTranslation_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("kept");
        QTest::newRow("bilingual") << QStringLiteral("[00:01.50]Good morning. 早上好。")
                                   << QStringLiteral("[00:01.50]Good morning.");
        QTest::newRow("English") << QStringLiteral("[00:02.00]How are you? (fine) 1/2")
                                 << QStringLiteral("[00:02.00]How are you? (fine) 1/2");
        QTest::newRow("Chinese punctuation") << QStringLiteral("[00:04]Yes. 是的，“好”。")
                                             << QStringLiteral("[00:04]Yes.");
        QTest::newRow("accents and symbols below the ideographs")
            << QStringLiteral("[00:03]Café – naïve ©") << QStringLiteral("[00:03]Café – naïve ©");
        QTest::newRow("Chinese in two places") << QStringLiteral("a 中 b 文 c") << QStringLiteral("a c");
        QTest::newRow("starts with Chinese") << QStringLiteral("早上好 Good") << QStringLiteral(" Good");
        QTest::newRow("only Chinese") << QStringLiteral("早上好") << QString();
        QTest::newRow("a pair of surrogates goes whole") << QStringLiteral("[0:01]Smile 😀") << QStringLiteral("[0:01]Smile");
        QTest::newRow("empty") << QString() << QString();
    }

    void stripTranslation()
    {
        QFETCH(QString, line);
        QFETCH(QString, kept);
        QCOMPARE(::stripTranslation(line), kept);
    }

    void filterKeepsEveryLineAndItsEnd()
    {
        const QByteArray lrc = "[ti:Speech]\r\n"
                               "[00:00.00]Good morning. How are you today? 早上好，你今天好吗？\r\n"
                               "早上好\n"
                               "\n"
                               "[00:02.95]Tea, please. 请给我一杯茶。"; // no line end at the end
        QCOMPARE(filtered(lrc), QByteArray("[ti:Speech]\r\n"
                                           "[00:00.00]Good morning. How are you today?\r\n"
                                           "\n"
                                           "\n"
                                           "[00:02.95]Tea, please."));
    }

    void nulEndsTheTextNotTheFile()
    {
        // A NUL at the start of a line made the line's text empty, which
        // used to end the copy there.
        const char lrc[] = "[00:01]Hi\0junk\r\n\0\n[00:02]Next\n";
        QCOMPARE(filtered(QByteArray(lrc, sizeof lrc - 1)),
                 QByteArray("[00:01]Hi\r\n\n[00:02]Next\n"));
    }

    void longLinesStayWhole()
    {
        // 2046 bytes, then a two-byte character across the 2047-byte mark.
        const QByteArray line = QByteArray(2046, 'a') + "é" + QByteArray(3000, 'b') + "\n";
        QCOMPARE(filtered(line + line), line + line);
        QCOMPARE(filtered(QByteArray(5000, 'x') + " 中文\n"), QByteArray(4999, 'x') + "x\n");
    }

    void failedWriteIsReported()
    {
        QBuffer source;
        source.setData("[00:01]Hello\n");
        source.open(QIODevice::ReadOnly);
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        QVERIFY(!copyLrcStripped(source, readOnly));
    }

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

        CopyResult copied = copyIntoWorkspace(folder.path(QStringLiteral("in/lesson.mp3")), CopyFilter::Bytes);
        QCOMPARE(copied.status, CopyResult::Status::Copied);
        QCOMPARE(folder.read(QStringLiteral("workspace/lesson.mp3")), QByteArray("new bytes"));

        QVERIFY(folder.write(QStringLiteral("workspace/lesson.lrc"), "old"));
        copied = copyIntoWorkspace(folder.path(QStringLiteral("in/lesson.lrc")), CopyFilter::LrcStripped);
        QCOMPARE(copied.status, CopyResult::Status::Copied);
        QCOMPARE(folder.read(QStringLiteral("workspace/lesson.lrc")), QByteArray("[00:01]Hi\n"));
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
            const CopyResult copied = copyIntoWorkspace(source, CopyFilter::Bytes);
            QVERIFY2(copied.status == CopyResult::Status::AlreadyThere, qPrintable(source));
        }
        QCOMPARE(copyIntoWorkspace(QStringLiteral("workspace/s.lrc"), CopyFilter::LrcStripped).status,
                 CopyResult::Status::AlreadyThere);
        QCOMPARE(folder.read(QStringLiteral("workspace/s.mp3")), media);
        QCOMPARE(folder.read(QStringLiteral("workspace/s.lrc")), lrc);
    }

    void failedCopyLeavesTheDestination()
    {
        WorkingFolder folder;
        QVERIFY(QDir().mkpath(QStringLiteral("workspace")));
        QVERIFY(folder.write(QStringLiteral("workspace/gone.mp3"), "kept"));
        const CopyResult missing = copyIntoWorkspace(folder.path(QStringLiteral("elsewhere/gone.mp3")), CopyFilter::Bytes);
        QVERIFY(missing.failed());
        QVERIFY2(missing.error.contains(QStringLiteral("gone.mp3")), qPrintable(missing.error));
        QCOMPARE(folder.read(QStringLiteral("workspace/gone.mp3")), QByteArray("kept"));

        // A source that cannot be read through (a directory) fails midway.
        QVERIFY(QDir().mkpath(QStringLiteral("elsewhere/dir.mp3")));
        QVERIFY(folder.write(QStringLiteral("workspace/dir.mp3"), "kept"));
        QVERIFY(copyIntoWorkspace(folder.path(QStringLiteral("elsewhere/dir.mp3")), CopyFilter::Bytes).failed());
        QCOMPARE(folder.read(QStringLiteral("workspace/dir.mp3")), QByteArray("kept"));
    }

    void noWorkspaceFolderNoCopy()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(QStringLiteral("workspace"), "a file where the folder should be"));
        QVERIFY(folder.write(QStringLiteral("a.mp3"), "bytes"));
        const CopyResult copied = copyIntoWorkspace(folder.path(QStringLiteral("a.mp3")), CopyFilter::Bytes);
        QVERIFY(copied.failed());
        QVERIFY(!copied.error.isEmpty());
    }
};

REPETA_TEST_MAIN(MaterialFilesTest)
#include "tst_materialfiles.moc"
