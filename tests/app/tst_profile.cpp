// The profile: defaults for every key, values that are not numbers, the
// start position rule, and the order of the keys written at shutdown.
#include "TestEnvironment.h"

#include "app/Profile.h"

#include <QSettings>
#include <QTemporaryDir>

namespace {
const QRect kDesktop(0, 0, 1280, 1024);
const QSize kWindow(666, 480);
} // namespace

class ProfileTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_files = 0;
    Profile readFrom(const QByteArray& contents)
    {
        // A file of its own each time: QSettings caches a file by name and
        // may not see a rewrite of the same size within one tick of its clock.
        const QString path = m_dir.filePath(QStringLiteral("profile%1.ini").arg(++m_files));
        testenv::writeFile(path, contents);
        const QSettings settings(path, QSettings::IniFormat);
        return readProfile(settings);
    }

private slots:
    void aMissingProfileGivesEveryDefault()
    {
        const QSettings settings(m_dir.filePath(QStringLiteral("none.ini")), QSettings::IniFormat);
        const Profile profile = readProfile(settings);
        for (const std::optional<int>& key : {profile.posX, profile.posY, profile.volRec, profile.aplRec,
                                              profile.volOri, profile.materialDiff, profile.phase, profile.page})
            QVERIFY(!key.has_value());
        QVERIFY(!profile.fullPlaying);
        QVERIFY(profile.firstStart); // the help video explains the program
        QVERIFY(profile.materialName.isEmpty());
        QVERIFY(!profile.editor);
        QVERIFY(!readFrom("[General]\nFullPlaying=false\n").firstStart);
        QCOMPARE(startPosition(profile, kWindow, kDesktop), std::optional<QPoint>(QPoint(307, 227)));
    }

    void valuesThatAreNoNumbersCountAsMissing()
    {
        const Profile profile = readFrom("[General]\npos-x=abc\npos-y=12x\nvol-rec=\nvol-ori=40\napl-rec=3.5\n"
                                         "MaterialDiff=2\nFullPlaying=maybe\nPhase=one\nPage=1\nEditor=yes\n"
                                         "MaterialName=./workspace/a.mp3\n");
        QVERIFY(!profile.posX && !profile.posY && !profile.volRec && !profile.aplRec && !profile.phase);
        QCOMPARE(profile.volOri, std::optional<int>(40));
        QCOMPARE(profile.materialDiff, std::optional<int>(2));
        QCOMPARE(profile.page, std::optional<int>(1));
        QVERIFY(!profile.fullPlaying);
        QVERIFY(!profile.editor);
        QCOMPARE(profile.materialName, QStringLiteral("./workspace/a.mp3"));
        QVERIFY(readFrom("[General]\nFullPlaying=true\nEditor=true\n").editor);
        // Translations show unless the profile says false.
        QVERIFY(profile.translations);
        QVERIFY(readFrom("[General]\nTranslations=maybe\n").translations);
        QVERIFY(!readFrom("[General]\nTranslations=false\n").translations);
    }

    // Speed and drill values outside their ranges are missing: the defaults.
    void practiceSettingsOutOfRangeCountAsMissing()
    {
        const Profile odd = readFrom("[General]\nSpeed=0.3\nDrillRounds=11\nDrillPause=0.4\nDrillRecord=maybe\n"
                                     "DrillPlayBack=1\nBlind=yes\n");
        QCOMPARE(odd.speed, 1.0);
        QCOMPARE(odd.drill.rounds, 3);
        QCOMPARE(odd.drill.pauseFactor, 1.5);
        QVERIFY(!odd.drill.record && odd.drill.playBack && !odd.blind);
        const Profile fractional = readFrom("[General]\nSpeed=2\nDrillRounds=2.5\nDrillPause=3.5\n");
        QCOMPARE(fractional.speed, 1.0);
        QCOMPARE(fractional.drill.rounds, 3);
        QCOMPARE(fractional.drill.pauseFactor, 1.5);
        const Profile set = readFrom("[General]\nSpeed=0.73\nDrillRounds=10\nDrillPause=0.5\nDrillSlowFirst=true\n"
                                     "Blind=true\n");
        QVERIFY(qAbs(set.speed - 0.75) < 1e-9); // onto the grid
        QCOMPARE(set.drill.rounds, 10);
        QCOMPARE(set.drill.pauseFactor, 0.5);
        QVERIFY(set.drill.slowFirst && set.blind);
    }

    void theWindowGoesOnlyWhereTheDesktopIs_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QPoint>("expected"); // (-1, -1): left to the window system
        QTest::newRow("saved") << QByteArray("pos-x=100\npos-y=50") << QPoint(100, 50);
        QTest::newRow("x is 0") << QByteArray("pos-x=0\npos-y=50") << QPoint(-1, -1);
        QTest::newRow("y is 0") << QByteArray("pos-x=100\npos-y=0") << QPoint(-1, -1);
        QTest::newRow("negative") << QByteArray("pos-x=-20\npos-y=50") << QPoint(-1, -1);
        QTest::newRow("last column") << QByteArray("pos-x=1279\npos-y=1023") << QPoint(1279, 1023);
        QTest::newRow("beyond") << QByteArray("pos-x=1280\npos-y=50") << QPoint(-1, -1);
        QTest::newRow("only y") << QByteArray("pos-y=70") << QPoint(307, 70);
    }

    void theWindowGoesOnlyWhereTheDesktopIs()
    {
        QFETCH(QByteArray, keys);
        QFETCH(QPoint, expected);
        const std::optional<QPoint> at = startPosition(readFrom("[General]\n" + keys + "\n"), kWindow, kDesktop);
        QCOMPARE(at.value_or(QPoint(-1, -1)), expected);
        // A window larger than the desktop centres to a negative place: left alone.
        QVERIFY(!startPosition(Profile{}, QSize(2000, 2000), kDesktop));
    }

    void shutdownWritesTheKeysInOrderAndLeavesEditorAlone()
    {
        QStringList order;
        ProfileSnapshot snapshot;
        snapshot.position = QPoint(10, 20);
        snapshot.materialName = QStringLiteral("help.flv");
        snapshot.fullPlaying = true;
        writeProfile(snapshot, [&order](const QString& key, const QVariant&) { order.append(key); });
        QCOMPARE(order, (QStringList{QStringLiteral("pos-x"), QStringLiteral("pos-y"), QStringLiteral("vol-rec"),
                                     QStringLiteral("apl-rec"), QStringLiteral("vol-ori"), QStringLiteral("MaterialDiff"),
                                     QStringLiteral("FullPlaying"), QStringLiteral("MaterialName"),
                                     QStringLiteral("Phase"), QStringLiteral("Page"), QStringLiteral("Translations"),
                                     QStringLiteral("Speed"), QStringLiteral("DrillRounds"), QStringLiteral("DrillPause"),
                                     QStringLiteral("DrillRecord"), QStringLiteral("DrillPlayBack"),
                                     QStringLiteral("DrillSlowFirst"), QStringLiteral("Blind")}));

        const QString path = m_dir.filePath(QStringLiteral("written.ini"));
        testenv::writeFile(path, "[General]\nEditor=true\nPage=2\n");
        {
            QSettings settings(path, QSettings::IniFormat);
            writeProfile(snapshot, settings);
        }
        const QSettings reread(path, QSettings::IniFormat);
        const Profile profile = readProfile(reread);
        QVERIFY(profile.editor);
        QVERIFY(profile.fullPlaying);
        QCOMPARE(profile.materialName, QStringLiteral("help.flv"));
        QCOMPARE(profile.page, std::optional<int>(0));
        QCOMPARE(profile.posX, std::optional<int>(10));
        QCOMPARE(profile.aplRec, std::optional<int>(20));
    }

    void theProfileStaysInAWritableWorkingDirectory()
    {
        const QString origin = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QCOMPARE(profilePath(), QStringLiteral("profile.ini"));
        QDir::setCurrent(origin);
    }
};

REPETA_TEST_MAIN(ProfileTest)
#include "tst_profile.moc"
