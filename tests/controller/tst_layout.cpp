// Where recordings go and how times are shown: pure functions whose mistakes
// would put a learner's recording in the wrong place or show a wrong time.
#include "TestEnvironment.h"

#include "controller/RecordLayout.h"
#include "controller/TimeLabel.h"

#include <QDir>

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void libraryMaterialsGetAFolderNamedLikeTheirMedia()
    {
        QCOMPARE(recordDirFor(QStringLiteral("./workspace/lesson1.mp3")), QStringLiteral("files/lesson1.mp3"));
        QCOMPARE(recordDirFor(QStringLiteral("./workspace/train/a.b.flv")), QStringLiteral("files/train/a.b.flv"));
        QCOMPARE(recordDirFor(QStringLiteral("./workspace/")), QStringLiteral("files/"));
    }

    void noPathLeavesTheRecordingRoot()
    {
        for (const char* path : {"./workspace/../../etc/passwd", "./workspace/a/../../../x.mp3", "./workspace/..",
                                 "../../outside.mp3", "/tmp/../../x.mp3"}) {
            const QString dir = recordDirFor(QLatin1String(path));
            QVERIFY2(dir.startsWith(QLatin1String("files/")), qPrintable(dir));
            QVERIFY2(!dir.split(QLatin1Char('/')).contains(QStringLiteral("..")), qPrintable(dir));
        }
    }

    void otherPathsAreKeptApartByTheirFolder()
    {
        const QString a = recordDirFor(QStringLiteral("/home/learner/a/lesson.mp3"));
        const QString b = recordDirFor(QStringLiteral("/home/learner/b/lesson.mp3"));
        QCOMPARE(a, QStringLiteral("files/external/home/learner/a/lesson.mp3"));
        QVERIFY(a != b);
        QCOMPARE(recordDirFor(QStringLiteral("short.mp3")),
                 QStringLiteral("files/external") + QDir::current().absoluteFilePath(QStringLiteral("short.mp3")));
    }

    void eachPhaseHasItsFile()
    {
        const QString dir = QStringLiteral("files/x.mp3");
        QCOMPARE(recordFileFor(dir, 0, 7), QStringLiteral("files/x.mp3/imitatepieces/the-only-one.mp3"));
        QCOMPARE(recordFileFor(dir, 1, 0), QStringLiteral("files/x.mp3/shadowpieces/recordpiece000.mp3"));
        QCOMPARE(recordFileFor(dir, 1, 4), QStringLiteral("files/x.mp3/shadowpieces/recordpiece004.mp3"));
        QCOMPARE(recordFileFor(dir, 1, 1234), QStringLiteral("files/x.mp3/shadowpieces/recordpiece1234.mp3"));
        QCOMPARE(recordFileFor(dir, 2, 3), QStringLiteral("files/x.mp3/retellpieces/the-only-one.mp3"));
        QVERIFY(recordFileFor(dir, -1, 0).isEmpty());
    }

    void timeLabelsShowWholeHoursMinutesSeconds()
    {
        QCOMPARE(timeLabel(0, 0), QStringLiteral("00:00:00\n00:00:00"));
        QCOMPARE(timeLabel(59.99, 3725.9), QStringLiteral("00:00:59\n01:02:05"));
        QCOMPARE(totalTimeLabel(61), QStringLiteral("00:00:00\n00:01:01"));
        QCOMPARE(elapsedTimeLabel(1), QStringLiteral("00:00:01\n00:00:00"));
        // An unknown length (-1) or a broken clock shows zero, never "-1".
        QCOMPARE(timeLabel(-0.5, -1), QStringLiteral("00:00:00\n00:00:00"));
        QCOMPARE(clockText(std::nan("")), QStringLiteral("00:00:00"));
        QCOMPARE(clockText(360000), QStringLiteral("100:00:00"));
    }
};

REPETA_TEST_MAIN(LayoutTest)
#include "tst_layout.moc"
