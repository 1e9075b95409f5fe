// The record button through the controller, as the learner presses it: how
// soon a recording holds sound, and how soon its file is in place after the
// button is released.
//   record_button_bench FILE.mp3 START
// Run it through run.sh, which makes the material and the private sound server.
#include "FakeViews.h"

#include "controller/Repeta.h"
#include "record/PaRecThread.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kRecordingRounds = 5;
constexpr int kHoldMs = 1000;
constexpr qint64 kTimeoutMs = 10000;

[[noreturn]] void fail(const char* why)
{
    std::fprintf(stderr, "record_button_bench: %s\n", why);
    std::exit(1);
}

void runEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
}

void printFigure(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("  %-44s median %7.1f ms   min %7.1f   max %7.1f\n", what, values[values.size() / 2], values.front(),
                values.back());
}

qint64 elapsedUntil(const QElapsedTimer& clock, const std::function<bool()>& done)
{
    while (!done()) {
        if (clock.elapsed() > kTimeoutMs)
            fail("timed out");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(100);
    }
    return clock.nsecsElapsed();
}

// Recording through the controller, as the record button does it: the file
// is written beside the target and put in its place when the recording ends.
void benchRecording(Repeta& repeta)
{
    std::vector<double> firstBlock, firstFrame, done;
    for (int i = 0; i < kRecordingRounds; ++i) {
        const QString target = repeta.recordPath();
        QFile::remove(target);
        QElapsedTimer clock;
        clock.start();
        repeta.startRecording(true);
        const qint64 capturedAt = elapsedUntil(clock, [&] { return repeta.recorder()->framesCaptured() > 0; });
        const qint64 encodedAt = elapsedUntil(clock, [&] { return repeta.recorder()->bytesWritten() > 0; });
        runEventsFor(kHoldMs);
        const qint64 released = clock.nsecsElapsed();
        repeta.startRecording(false);
        const qint64 inPlace = elapsedUntil(clock, [&] { return QFileInfo::exists(target); });
        firstBlock.push_back(capturedAt / 1e6);
        firstFrame.push_back(encodedAt / 1e6);
        done.push_back((inPlace - released) / 1e6);
    }
    std::printf("recording through the controller, %d rounds of %d ms:\n", kRecordingRounds, kHoldMs);
    printFigure("record pressed to the first captured sample", firstBlock);
    printFigure("record pressed to LAME's first output written", firstFrame);
    printFigure("record released to doRecDone (file in place)", done);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3)
        fail("usage: record_button_bench FILE.mp3 START");
    QApplication app(argc, argv);
    const QString source = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const double start = std::atof(argv[2]);

    QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral("workspace")) ||
        !QFile::copy(source, home.filePath(QStringLiteral("workspace/noise.mp3"))) ||
        !QFile::copy(QFileInfo(source).path() + QStringLiteral("/") + QFileInfo(source).completeBaseName() +
                         QStringLiteral(".lrc"),
                     home.filePath(QStringLiteral("workspace/noise.lrc"))) ||
        !QDir::setCurrent(home.path()))
        fail("cannot prepare the working folder");

    FakeViews views;
    Repeta repeta(&views.ctrl, &views.tabs, &views.rec, &views.pce, &views.ori, nullptr);
    repeta.openMaterial(QStringLiteral("./workspace/noise.mp3"));
    repeta.choosePhase(ListenRepeat);
    int sentence = -1;
    for (int i = 0; i < int(repeta.sentenceCount()); ++i)
        if (std::abs(repeta.sentenceStarts()[i] - start) < 1e-3)
            sentence = i;
    if (sentence < 0)
        fail("no sentence starts there");
    repeta.selectSentence(sentence);
    benchRecording(repeta);
    return 0;
}
