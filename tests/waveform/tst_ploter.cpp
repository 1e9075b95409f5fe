// The ploter's cache and the life of its requests: a request is computed once,
// answered from the cache afterwards, and a cancelled one never answers.
#include "Pictures.h"

using namespace pictures;

namespace {

// Time in which a late sigPlotDone would have arrived: the files used here
// decode in a fraction of it.
constexpr int kQuietMs = 1500;

QVector<PlotIdentifier> answered(const QSignalSpy& spy)
{
    QVector<PlotIdentifier> ids;
    for (const QList<QVariant>& call : spy)
        ids.append(call.at(0).value<PlotIdentifier>());
    return ids;
}

} // namespace

class PloterTest : public QObject {
    Q_OBJECT
private slots:
    void unknownRequestsHaveNoPictureAndNoDuration()
    {
        Ploter ploter;
        const PlotIdentifier id = request(QStringLiteral("sine1k.mp3"));
        QCOMPARE(ploter.plotDuration(id), -1.0f);
        QCOMPARE(ploter.plotPixmap(id), nullptr);
        ploter.removePlot(id); // never requested: nothing changes
        QCOMPARE(ploter.plotDuration(id), -1.0f);
    }

    void requestInProgressIsNotStartedTwice()
    {
        Ploter ploter;
        QSignalSpy done(&ploter, &Ploter::sigPlotDone);
        const PlotIdentifier id = request(QStringLiteral("steps.mp3"));
        ploter.doPlot(id);
        // The duration is known as soon as the request is made.
        QVERIFY(qAbs(ploter.plotDuration(id) - 10.0f) < 0.1f);
        ploter.doPlot(id);
        QVERIFY(done.wait(kWaitMs));
        QTest::qWait(kQuietMs);
        QCOMPARE(answered(done), QVector<PlotIdentifier>{id});
        QVERIFY(ploter.plotPixmap(id));
        QCOMPARE(ploter.plotPixmap(id)->size(), QSize(561, 40));
    }

    void finishedRequestIsAnsweredAtOnceFromTheCache()
    {
        Ploter ploter;
        const PlotIdentifier id = request(QStringLiteral("sine1k.mp3"));
        QVERIFY(!plotted(ploter, id).isNull());
        const QPixmap* cached = ploter.plotPixmap(id);
        QSignalSpy done(&ploter, &Ploter::sigPlotDone);
        ploter.doPlot(id);
        QCOMPARE(answered(done), QVector<PlotIdentifier>{id}); // before any event is processed
        QCOMPARE(ploter.plotPixmap(id), cached);
        QTest::qWait(200);
        QCOMPARE(done.size(), 1);
    }

    void removedRequestNeverAnswers()
    {
        Ploter ploter;
        QSignalSpy done(&ploter, &Ploter::sigPlotDone);
        const PlotIdentifier removed = request(QStringLiteral("steps.mp3"));
        const PlotIdentifier kept = request(QStringLiteral("sentences.mp3"));
        ploter.doPlot(removed);
        ploter.doPlot(kept);
        ploter.removePlot(removed);
        QCOMPARE(ploter.plotDuration(removed), -1.0f);
        QVERIFY(done.wait(kWaitMs));
        QTest::qWait(kQuietMs);
        QCOMPARE(answered(done), QVector<PlotIdentifier>{kept});
        QCOMPARE(ploter.plotPixmap(removed), nullptr);

        // Removed, it can be requested again and is computed anew.
        QVERIFY(!plotted(ploter, removed).isNull());
        ploter.removePlot(removed);
        QCOMPARE(ploter.plotPixmap(removed), nullptr);
        QCOMPARE(ploter.plotDuration(removed), -1.0f);
    }

    void clearingPiecesKeepsWholeFiles()
    {
        Ploter ploter;
        const PlotIdentifier original = request(QStringLiteral("sentences.mp3"));
        const PlotIdentifier recording = request(QStringLiteral("tone440.mp3"));
        const PlotIdentifier finishedPiece = request(QStringLiteral("sentences.mp3"), 2.0f, 4.0f);
        const PlotIdentifier fromZero = request(QStringLiteral("sentences.mp3"), 0.0f, 2.0f);
        for (const PlotIdentifier& id : {original, recording, finishedPiece, fromZero})
            QVERIFY(!plotted(ploter, id).isNull());
        const QPixmap* originalPicture = ploter.plotPixmap(original);
        const QPixmap* recordingPicture = ploter.plotPixmap(recording);
        const float originalDuration = ploter.plotDuration(original);

        QSignalSpy done(&ploter, &Ploter::sigPlotDone);
        const PlotIdentifier runningPiece = request(QStringLiteral("steps.mp3"), 1.0f, -1.0f);
        ploter.doPlot(runningPiece);
        ploter.clearPiecePlots();

        QCOMPARE(ploter.plotPixmap(original), originalPicture);
        QCOMPARE(ploter.plotPixmap(recording), recordingPicture);
        QCOMPARE(ploter.plotDuration(original), originalDuration);
        QVERIFY(qAbs(ploter.plotDuration(recording) - 2.0f) < 0.1f);
        // A start of 0 is a piece like any other.
        for (const PlotIdentifier& id : {finishedPiece, fromZero, runningPiece}) {
            QCOMPARE(ploter.plotPixmap(id), nullptr);
            QCOMPARE(ploter.plotDuration(id), -1.0f);
        }
        QTest::qWait(kQuietMs);
        QCOMPARE(done.size(), 0);
    }

    void manyRequestsAtOnceAllArrive()
    {
        Ploter ploter;
        QSignalSpy done(&ploter, &Ploter::sigPlotDone);
        QVector<PlotIdentifier> ids{request(QStringLiteral("speech.mp3"))};
        for (int i = 0; i < 8; ++i)
            ids.append(request(QStringLiteral("speech.mp3"), i, i + 1.0f));
        for (const PlotIdentifier& id : ids)
            ploter.doPlot(id);
        while (done.size() < ids.size())
            QVERIFY(done.wait(kWaitMs));
        QVector<PlotIdentifier> got = answered(done);
        std::sort(got.begin(), got.end());
        std::sort(ids.begin(), ids.end());
        QCOMPARE(got, ids);
    }

    void receiverMayChangeTheCacheWhileBeingTold()
    {
        Ploter ploter;
        const PlotIdentifier first = request(QStringLiteral("sine1k.mp3"));
        const PlotIdentifier second = request(QStringLiteral("tone440.mp3"));
        QVector<PlotIdentifier> told;
        connect(&ploter, &Ploter::sigPlotDone, &ploter, [&](PlotIdentifier id) {
            told.append(id);
            if (id == first) {
                ploter.removePlot(first);
                ploter.doPlot(second);
                ploter.clearPiecePlots();
            }
        });
        ploter.doPlot(first);
        QTRY_COMPARE_WITH_TIMEOUT(told.size(), 2, kWaitMs);
        QCOMPARE(told, (QVector<PlotIdentifier>{first, second}));
        QCOMPARE(ploter.plotPixmap(first), nullptr);
        QVERIFY(ploter.plotPixmap(second));
    }

    void destroyingThePloterStopsItsWorkers()
    {
        auto ploter = std::make_unique<Ploter>();
        for (int i = 0; i < 4; ++i)
            ploter->doPlot(request(QStringLiteral("steps.mp3"), i, -1));
        ploter->doPlot(request(QStringLiteral("steps.mp3")));
        ploter.reset();
        QTest::qWait(100); // no late notice reaches the deleted ploter
    }

    void stoppedWorkerDeliversNothing()
    {
        plotThread worker;
        QVERIFY(worker.openSource(testenv::media(QStringLiteral("speech.mp3")).toUtf8()));
        QSignalSpy done(&worker, &plotThread::sigThreadDone);
        worker.requestStop();
        worker.start();
        QVERIFY(worker.wait(kWaitMs));
        QVERIFY(!worker.isDelivered());
        QTest::qWait(100);
        QCOMPARE(done.size(), 0);
    }
};

REPETA_TEST_MAIN(PloterTest)
#include "tst_ploter.moc"
