// What the pictures show: bar heights and colours for known sounds, pieces that
// span exactly their range, a split whole-file request that draws what the
// single pass draws, and the outcome for files that are not usable sound.
#include "Pictures.h"

using namespace pictures;

class PicturesTest : public QObject {
    Q_OBJECT
private slots:
    void fullScaleSineIsClippedAtTheTopInEveryColumn()
    {
        Ploter ploter;
        const QImage picture = plotted(ploter, request(QStringLiteral("fullscale.wav")));
        QCOMPARE(picture.size(), QSize(561, 40));
        const QVector<int> heights = barHeights(picture);
        QCOMPARE(columnsOutside(heights, 0, 561, 40, 40), QString());
        // The gradient runs from the bar's own top (about 48 pixels up, above
        // the picture) to the bottom edge: lighter blue at the bottom.
        const QColor bottom = picture.pixelColor(100, 39);
        const QColor top = picture.pixelColor(100, 0);
        QVERIFY2(qAbs(bottom.red() - 157) <= 6 && qAbs(bottom.green() - 214) <= 4 && qAbs(bottom.blue() - 240) <= 3,
                 qPrintable(bottom.name()));
        QVERIFY2(top.red() > 24 && top.red() < 60 && top.blue() < bottom.blue(), qPrintable(top.name()));
    }

    void silenceDrawsNoBar()
    {
        Ploter ploter;
        const QImage picture = plotted(ploter, request(QStringLiteral("silence.mp3")));
        QCOMPARE(columnsOutside(barHeights(picture), 0, 561, 0, 0), QString());
    }

    void soundInTheSecondHalfGivesBarsOnlyOnTheRight()
    {
        Ploter ploter;
        const QVector<int> heights = barHeights(plotted(ploter, request(QStringLiteral("halfloud.wav"))));
        // Column 280 holds the middle of the file, where the sound starts.
        QCOMPARE(columnsOutside(heights, 0, 280, 0, 0), QString());
        QCOMPARE(columnsOutside(heights, 281, 561, 40, 40), QString());
    }

    void pieceSpansExactlyItsRange_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<float>("start");
        QTest::addColumn<float>("end");
        QTest::addColumn<int>("onsetColumn"); // first column of the loud half
        QTest::addColumn<int>("preEcho");     // pixels allowed just before it
        // The sound starts at 1.5 s. For [1, 2] that is the middle column; a
        // range that ignored the MP3 start time of 0.025 s would be 14 columns
        // off, 28 for the half-second range. MP3 smears the onset a few
        // milliseconds ahead in a faint pre-echo.
        QTest::newRow("mp3 middle") << QStringLiteral("halfloud.mp3") << 1.0f << 2.0f << 281 << 1;
        QTest::newRow("mp3 half second") << QStringLiteral("halfloud.mp3") << 1.25f << 1.75f << 281 << 1;
        QTest::newRow("mp3 quarter") << QStringLiteral("halfloud.mp3") << 1.25f << 2.25f << 141 << 1;
        QTest::newRow("wav middle") << QStringLiteral("halfloud.wav") << 1.0f << 2.0f << 281 << 0;
        QTest::newRow("wav quarter") << QStringLiteral("halfloud.wav") << 1.25f << 2.25f << 141 << 0;
    }

    void pieceSpansExactlyItsRange()
    {
        QFETCH(QString, file);
        QFETCH(float, start);
        QFETCH(float, end);
        QFETCH(int, onsetColumn);
        QFETCH(int, preEcho);
        Ploter ploter;
        const QVector<int> heights = barHeights(plotted(ploter, request(file, start, end)));
        QVERIFY(!heights.isEmpty());
        QCOMPARE(columnsOutside(heights, 0, onsetColumn - 12, 0, 0), QString());
        QCOMPARE(columnsOutside(heights, onsetColumn - 12, onsetColumn - 1, 0, preEcho), QString());
        QCOMPARE(columnsOutside(heights, onsetColumn + 1, 561, 40, 40), QString());
    }

    void lastSentencePieceRunsToTheEndOfTheFile()
    {
        Ploter ploter;
        // From 1 s to the end (3 s): the sound starts a quarter of the way in
        // and fills every column up to the last.
        const PlotIdentifier id = request(QStringLiteral("halfloud.wav"), 1.0f, -1.0f);
        const QVector<int> heights = barHeights(plotted(ploter, id));
        QCOMPARE(columnsOutside(heights, 0, 140, 0, 0), QString());
        QCOMPARE(columnsOutside(heights, 141, 561, 40, 40), QString());
        QCOMPARE(ploter.plotDuration(id), 3.0f);
    }

    void splitRequestDrawsWhatTheSinglePassDraws_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("speech mp3") << QStringLiteral("speech.mp3");
        QTest::newRow("steps mp3") << QStringLiteral("steps.mp3");
        QTest::newRow("half loud wav") << QStringLiteral("halfloud.wav");
        QTest::newRow("flv") << QStringLiteral("video.flv");
    }

    void splitRequestDrawsWhatTheSinglePassDraws()
    {
        QFETCH(QString, file);
        const QVector<int> single = barHeights(drawnBy(request(file), 1));
        const QVector<int> split = barHeights(drawnBy(request(file), 2));
        QCOMPARE(single.size(), 561);
        QCOMPARE(split.size(), 561);
        QStringList apart;
        for (int c = 0; c < 561; ++c) {
            const bool nearSeam = qAbs(c - 280) <= 1;
            if (single[c] != split[c] && !(nearSeam && qAbs(single[c] - split[c]) <= 1))
                apart.append(QStringLiteral("%1:%2/%3").arg(c).arg(single[c]).arg(split[c]));
        }
        QCOMPARE(apart.join(QLatin1Char(' ')), QString());
        QVERIFY(*std::max_element(single.begin(), single.end()) > 0);
    }

    void everyContainerGivesItsSound_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name : {"video.flv", "video.wmv", "video.rm", "sine1k.mp3", "sine1k.wav"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyContainerGivesItsSound()
    {
        QFETCH(QString, file);
        Ploter ploter;
        const PlotIdentifier id = request(file);
        const QVector<int> heights = barHeights(plotted(ploter, id));
        QVERIFY(!heights.isEmpty());
        // Amplitude 1/8: peaks of 4096 make bars of 2 × 4096 / 1350 pixels;
        // the lossy codecs overshoot a little.
        QCOMPARE(columnsOutside(heights, 50, 500, 5, 7), QString());
        QVERIFY(qAbs(ploter.plotDuration(id) - 3.0f) < 0.1f);
    }

    // Files that are not usable sound all end in a black picture that is
    // delivered, so that no view animates its waiting message for ever.
    void unusableFilesDeliverABlackPicture_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<float>("duration");
        QTest::newRow("empty") << QStringLiteral("empty.mp3") << -1.0f;
        QTest::newRow("text") << QStringLiteral("text.mp3") << -1.0f;
        QTest::newRow("missing") << QStringLiteral("no-such-file.mp3") << -1.0f;
        QTest::newRow("no audio") << QStringLiteral("noaudio.flv") << 3.0f;
    }

    void unusableFilesDeliverABlackPicture()
    {
        QFETCH(QString, file);
        QFETCH(float, duration);
        Ploter ploter;
        for (const PlotIdentifier& id : {request(file), request(file, 0.5f, 1.0f)}) {
            const QImage picture = plotted(ploter, id);
            QCOMPARE(picture.size(), QSize(561, 40));
            QCOMPARE(columnsOutside(barHeights(picture), 0, 561, 0, 0), QString());
            QVERIFY2(qAbs(ploter.plotDuration(id) - duration) < 0.05f, qPrintable(QString::number(ploter.plotDuration(id))));
        }
    }

    void truncatedFileDrawsWhatItHas()
    {
        // 20000 bytes of a 3 s, 128 kbit/s file: 1.25 s of sound under a
        // header that still claims 3 s.
        Ploter ploter;
        const QVector<int> heights = barHeights(plotted(ploter, request(QStringLiteral("truncated.mp3"))));
        QVERIFY(!heights.isEmpty());
        QCOMPARE(columnsOutside(heights, 10, 220, 4, 7), QString());
        QCOMPARE(columnsOutside(heights, 240, 561, 0, 0), QString());
    }

    void rangesWithoutSoundAreBlack_data()
    {
        QTest::addColumn<float>("start");
        QTest::addColumn<float>("end");
        QTest::newRow("inverted") << 2.0f << 1.0f;
        QTest::newRow("past the end") << 10.0f << 20.0f;
        QTest::newRow("far past the end") << 1e9f << -1.0f;
        QTest::newRow("silent half") << 0.2f << 1.4f;
    }

    void rangesWithoutSoundAreBlack()
    {
        QFETCH(float, start);
        QFETCH(float, end);
        Ploter ploter;
        const QImage picture = plotted(ploter, request(QStringLiteral("halfloud.wav"), start, end));
        QCOMPARE(columnsOutside(barHeights(picture), 0, 561, 0, 0), QString());
    }
};

REPETA_TEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
