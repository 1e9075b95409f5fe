// The column reduction and the bar drawing, fed with made-up samples: which
// samples each column takes, the bar height rule, the end of the sound, and
// the share of a split request.
#include "Pictures.h"
#include "waveform/Columns.h"

#include <vector>

using namespace pictures;

namespace {

QImage drawn(const Columns& columns)
{
    QImage picture = wave::blankPicture();
    columns.draw(picture);
    return picture;
}

// Every column holds one sample pair (low, high) when fed at two samples per column.
std::vector<int16_t> pairs(int count, int16_t low, int16_t high)
{
    std::vector<int16_t> samples;
    for (int i = 0; i < count; ++i) {
        samples.push_back(low);
        samples.push_back(high);
    }
    return samples;
}

} // namespace

class ColumnsTest : public QObject {
    Q_OBJECT
private slots:
    void barHeightFollowsTheSampleRange_data()
    {
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("height");
        // bottom = trunc(20 - low / 1350), top = trunc(20 - high / 1350)
        QTest::newRow("silence") << 0 << 0 << 0;
        QTest::newRow("symmetric") << -13500 << 13500 << 20;
        QTest::newRow("tiny positive") << 0 << 5 << 1;
        QTest::newRow("tiny negative") << -5 << 0 << 0;
        QTest::newRow("full scale is clipped") << -32768 << 32767 << 40;
        QTest::newRow("range always includes zero") << -27000 << -1350 << 20; // the maximum stays 0
    }

    void barHeightFollowsTheSampleRange()
    {
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(int, height);
        Columns columns(2.0);
        const std::vector<int16_t> samples = pairs(561, int16_t(low), int16_t(high));
        columns.feed(samples.data(), int(samples.size()));
        QVERIFY(columns.complete());
        const QVector<int> heights = barHeights(drawn(columns));
        QCOMPARE(columnsOutside(heights, 0, 561, height, height), QString());
    }

    void columnsTakeTheirShareOfFractionalCounts()
    {
        // 2.5 samples per column: columns alternately take 3 and 2 samples.
        // A loud sample at index 3 belongs to column 1, index 5 to column 2.
        Columns columns(2.5);
        std::vector<int16_t> samples(1403, 0);
        samples[3] = 27000;
        samples[5] = -27000;
        columns.feed(samples.data(), 200);
        columns.feed(samples.data() + 200, int(samples.size()) - 200);
        QVERIFY(columns.complete());
        const QVector<int> heights = barHeights(drawn(columns));
        QCOMPARE(heights[0], 0);
        QCOMPARE(heights[1], 20);
        QCOMPARE(heights[2], 20);
        QCOMPARE(columnsOutside(heights, 3, 561, 0, 0), QString());
    }

    void columnInProgressAtTheEndOfTheSoundIsDrawn()
    {
        Columns columns(2.0);
        const std::vector<int16_t> samples = pairs(561, -13500, 13500);
        columns.feed(samples.data(), int(samples.size()) - 1);
        QVERIFY(!columns.complete());
        QCOMPARE(barHeight(drawn(columns), 560), 0);
        columns.finish();
        QVERIFY(columns.complete());
        QCOMPARE(barHeight(drawn(columns), 560), 10); // only the low sample arrived
    }

    void shareOfASplitRequestSkipsTheSamplesBeforeIt()
    {
        // The second half starts at column 280, sample 560; its decoder
        // delivers from sample 500 on.
        Columns second(2.0, 280);
        QCOMPARE(second.firstSample(), int64_t(560));
        std::vector<int16_t> samples(1122 - 500, 0);
        for (int i = 0; i < 60; ++i)
            samples[i] = 27000; // belongs to the first half
        samples[560 - 500 + 4] = 13500; // column 282
        second.setPosition(500);
        second.feed(samples.data(), int(samples.size()));
        QVERIFY(second.complete());
        QCOMPARE(second.completedColumns(), 281);
        const QVector<int> heights = barHeights(drawn(second));
        QCOMPARE(columnsOutside(heights, 0, 282, 0, 0), QString());
        QCOMPARE(heights[282], 10);
        QCOMPARE(columnsOutside(heights, 283, 561, 0, 0), QString());
    }

    void emptyColumnsAreSkippedWhenFewerSamplesThanColumns()
    {
        // A sound shorter than the picture is wide: columns without a sample
        // of their own stay black, and feeding ends.
        Columns columns(0.5);
        const std::vector<int16_t> samples(281, 27000);
        columns.feed(samples.data(), int(samples.size()));
        QVERIFY(columns.complete());
        const QVector<int> heights = barHeights(drawn(columns));
        QCOMPARE(heights[0], 20);
        QCOMPARE(heights[1], 0);
        QCOMPARE(heights[2], 20);
    }
};

REPETA_TEST_MAIN(ColumnsTest)
#include "tst_columns.moc"
