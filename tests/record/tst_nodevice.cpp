// Run without a sound server: there is no input device, and the recorder says
// so, leaves the file empty and still ends with finished().
#include "record/PaRecThread.h"

#include "TestEnvironment.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

class NoDeviceTest : public QObject {
    Q_OBJECT
private slots:
    void withoutAnInputDeviceTheRecordingEndsEmpty()
    {
        QVERIFY(!testenv::soundServerRunning());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("nothing.mp3"));
        std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "w+b");
        QVERIFY(file);

        PaRecThread recorder;
        bool finished = false;
        connect(&recorder, &QThread::finished, this, [&finished] { finished = true; });
        recorder.setOutputFile(file);
        recorder.start(QThread::InheritPriority);
        QTRY_VERIFY_WITH_TIMEOUT(finished, 10000);
        std::fclose(file);

        QCOMPARE(recorder.errorText(), QStringLiteral("portaudio: No input device."));
        QVERIFY(!recorder.succeeded());
        QCOMPARE(recorder.bytesWritten(), 0);
        QCOMPARE(QFileInfo(path).size(), 0);
    }
};

REPETA_TEST_MAIN(NoDeviceTest)
#include "tst_nodevice.moc"
