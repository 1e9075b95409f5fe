// Reading LRC files into the sentence timeline, including files that are not
// what they claim to be.
#include "TestEnvironment.h"

#include "controller/LrcReader.h"

#include <QBuffer>

namespace {
LrcTimeline read(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readLrc(buffer);
}
} // namespace

class LrcTest : public QObject {
    Q_OBJECT
private slots:
    void tagGivesMinutesAndSeconds()
    {
        const LrcTimeline t = read("[01:02.5]Hello\n");
        QCOMPARE(t.starts, QVector<float>{62.5f});
        QCOMPARE(t.texts, QVector<QString>{QStringLiteral("Hello\n")});
    }

    void onlyTheFirstTagOfALineCounts()
    {
        const LrcTimeline t = read("[00:01.00][00:05.00]Hi\n");
        QCOMPARE(t.starts, QVector<float>{1.0f});
        QCOMPARE(t.texts.value(0), QStringLiteral("[00:05.00]Hi\n"));
    }

    void linesWithoutAValidStartAreSkipped()
    {
        const LrcTimeline t = read("[ti:Title]\n[ar:Artist]\n\n"
                                   "no tag at all\n[-1:00]x\n[]empty\n[1:xx]bad\n[1:2]ok\r\n"
                                   "[00:03.00 unclosed\n[nan:1]x\n[0:nan]x\n[0:inf]x\n[5]x\n");
        QCOMPARE(t.starts, QVector<float>{62.0f});
        QCOMPARE(t.texts.value(0), QStringLiteral("ok\r\n")); // the terminator stays part of the text
    }

    void timesAreSinglePrecisionAndKeepFileOrder()
    {
        const LrcTimeline t = read("[0:10.1]b\n[0:3]a\n[0:3]a again\n[100:0.05]c");
        QCOMPARE(t.starts, (QVector<float>{10.1f, 3.0f, 3.0f, 100.0f * 60.0f + 0.05f}));
        QCOMPARE(t.texts.value(3), QStringLiteral("c")); // last line without terminator
    }

    void utf8TextIsKept()
    {
        const LrcTimeline t = read("[00:02.00]Good morning. 早上好。\r\n");
        QCOMPARE(t.texts.value(0), QStringLiteral("Good morning. 早上好。\r\n"));
    }

    void longLinesAreReadIn2047BytePieces()
    {
        // A tagged line of 3000 bytes: its first piece is a sentence of 2047
        // bytes less the tag; the rest, read as its own line, has no tag.
        QByteArray line = "[0:01]" + QByteArray(2994, 'a') + "\n";
        QCOMPARE(line.size(), 3001);
        QByteArray next = "[0:02]" + QByteArray(2041, 'b') + "[0:09]tail\n"; // the piece ends just before the second tag
        const LrcTimeline t = read(line + next);
        QCOMPARE(t.starts.size(), 3);
        QCOMPARE(t.texts[0].size(), 2047 - 6);
        QCOMPARE(t.starts[1], 2.0f);
        QCOMPARE(t.starts[2], 9.0f); // "[0:09]tail" became a line of its own
        QCOMPARE(t.texts[2], QStringLiteral("tail\n"));
    }

    void emptyBinaryHugeAndLongInputs()
    {
        QVERIFY(read(QByteArray()).starts.isEmpty());

        QByteArray binary;
        for (int i = 0; i < 65536; ++i)
            binary.append(char((i * 7919) & 0xff));
        const LrcTimeline noise = read(binary);
        QCOMPARE(noise.starts.size(), noise.texts.size());
        for (float start : noise.starts)
            QVERIFY(start >= 0 && std::isfinite(start));

        QByteArray many;
        for (int i = 0; i < 100000; ++i)
            many += "[" + QByteArray::number(i / 60) + ":" + QByteArray::number(i % 60) + "]s\n";
        const LrcTimeline hundredThousand = read(many);
        QCOMPARE(hundredThousand.starts.size(), 100000);
        QCOMPARE(hundredThousand.starts.last(), 99999.0f);

        const LrcTimeline megabyteLine = read("[0:01]" + QByteArray(1 << 20, 'x') + "\n[0:02]after\n");
        QCOMPARE(megabyteLine.starts.first(), 1.0f);
        QCOMPARE(megabyteLine.starts.last(), 2.0f);
        QCOMPARE(megabyteLine.texts.last(), QStringLiteral("after\n"));
    }

    void timeTagsParse()
    {
        QCOMPARE(parseLrcTime(QStringLiteral("1:5.5")), 65.5f);
        QCOMPARE(parseLrcTime(QStringLiteral("0:3")), 3.0f);
        QCOMPARE(parseLrcTime(QStringLiteral("12:30:5")), -1.0f); // "30:5" is no number
        QCOMPARE(parseLrcTime(QStringLiteral("x:1")), -1.0f);
        QCOMPARE(parseLrcTime(QStringLiteral("5")), -1.0f);
    }

    void lrcPathReplacesTheLastExtension()
    {
        QCOMPARE(lrcPathFor(QStringLiteral("./workspace/a.b.mp3")), QStringLiteral("./workspace/a.b.lrc"));
        QCOMPARE(lrcPathFor(QStringLiteral("help.flv")), QStringLiteral("help.lrc"));
        QCOMPARE(lrcPathFor(QStringLiteral("noextension")), QStringLiteral("noextension.lrc"));
        QCOMPARE(lrcPathFor(QStringLiteral("./workspace/lesson")), QStringLiteral("./workspace/lesson.lrc"));
        QCOMPARE(lrcPathFor(QStringLiteral("/home/a.b/lesson")), QStringLiteral("/home/a.b/lesson.lrc"));
    }
};

REPETA_TEST_MAIN(LrcTest)
#include "tst_lrc.moc"
