// The comparison on espeak-ng readings made by make_takes.sh: a sentence read
// by another voice beats a different sentence in the model's own voice, a
// flattened melody scores below the natural one, an evenly slower take keeps
// its rhythm and reports its tempo, 8 kHz recordings work, and every bad input
// gives its own reason instead of figures. Then the tool as a program.
#include "analysis/Comparison.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <cmath>

namespace {

constexpr int kSentences = 6; // as tests.cmake makes them
// A learner's reading is heard as the same sentence in most pairs; the odd
// miss is a pair of short sentences that sound alike.
constexpr int kFewestRightPairs = 5;

QString media(const QString& name) { return QDir(QStringLiteral(ANALYSIS_MEDIA_DIR)).filePath(name); }
QString reading(int sentence, int voice, bool flat = false)
{
    return media(QStringLiteral("s%1_v%2%3.wav").arg(sentence).arg(voice).arg(flat ? QStringLiteral("_flat") : QString()));
}

Comparison compare(const QString& model, const QString& take)
{
    const Comparison result = compareTakes(model, -1, -1, take);
    if (!result.ok)
        qWarning("%s vs %s: %s", qPrintable(model), qPrintable(take), qPrintable(result.error));
    return result;
}

} // namespace

class CompareTest : public QObject {
    Q_OBJECT
private slots:
    void tellsSentencesAndMelodiesApart()
    {
        int ranked = 0;
        int flatter = 0;
        for (int s = 0; s < kSentences; ++s) {
            const Comparison same = compare(reading(s, 0), reading(s, 1));
            const Comparison other = compare(reading(s, 0), reading((s + 1) % kSentences, 0));
            const Comparison flat = compare(reading(s, 0), reading(s, 1, true));
            QVERIFY(same.ok && other.ok && flat.ok);
            ranked += same.overall > other.overall;
            flatter += flat.intonation < same.intonation;
            for (const Comparison* c : {&same, &other, &flat}) {
                QVERIFY(c->intonation >= 0 && c->intonation <= 100 && c->rhythm >= 0 && c->rhythm <= 100);
                QVERIFY(c->overall >= std::min(c->intonation, c->rhythm)
                        && c->overall <= std::max(c->intonation, c->rhythm));
            }
        }
        QVERIFY2(ranked >= kFewestRightPairs, qPrintable(QString::number(ranked)));
        QVERIFY2(flatter >= kFewestRightPairs, qPrintable(QString::number(flatter)));
    }

    void curvesFollowTheModelsTime()
    {
        const Comparison self = compare(reading(0, 0), reading(0, 0));
        QVERIFY(self.ok);
        QCOMPARE(self.intonation, 100.0);
        QCOMPARE(self.rhythm, 100.0);
        QCOMPARE(self.tempo, 1.0);
        QVERIFY(self.differences.isEmpty());

        const Comparison flat = compare(reading(0, 0), reading(0, 1, true));
        QVERIFY(flat.ok);
        QCOMPARE(flat.take.size(), flat.model.size());
        // The model's reading is padded with 0.4 s of silence: its curve starts where speech does.
        QVERIFY(flat.model.first().seconds > 0.3 && flat.model.first().seconds < 0.5);
        int voiced = 0;
        for (int i = 0; i < flat.model.size(); ++i) {
            QCOMPARE(flat.take[i].seconds, flat.model[i].seconds);
            if (i > 0)
                QVERIFY(std::abs(flat.model[i].seconds - flat.model[i - 1].seconds - 0.01) < 1e-9);
            voiced += !std::isnan(flat.model[i].semitones);
        }
        QVERIFY(voiced > flat.model.size() / 3);
        QVERIFY(!flat.differences.isEmpty());
        for (const Difference& place : flat.differences)
            QVERIFY(place.start < place.end && place.start >= flat.model.first().seconds
                    && place.end <= flat.model.last().seconds + 0.01);
    }

    void evenTempoKeepsTheRhythm()
    {
        // slow.wav is s0_v1 at 0.8 tempo: it takes 1.25 times as long.
        const Comparison slow = compare(reading(0, 1), media(QStringLiteral("slow.wav")));
        QVERIFY(slow.ok);
        QVERIFY2(std::abs(slow.tempo - 1.25) < 0.05, qPrintable(QString::number(slow.tempo)));
        QVERIFY2(slow.rhythm >= 90, qPrintable(QString::number(slow.rhythm)));
        QVERIFY2(slow.intonation >= 80, qPrintable(QString::number(slow.intonation)));

        const Comparison narrow = compare(media(QStringLiteral("model8k.wav")), media(QStringLiteral("take8k.wav")));
        const Comparison wide = compare(reading(0, 0), reading(0, 1));
        QVERIFY(narrow.ok && wide.ok);
        QVERIFY2(std::abs(narrow.overall - wide.overall) < 15,
                 qPrintable(QStringLiteral("%1 %2").arg(narrow.overall).arg(wide.overall)));
    }

    void badInputsSayWhy()
    {
        const QString model = reading(0, 0);
        const struct {
            QString model, take, error;
        } cases[] = {
            {model, media(QStringLiteral("silence.wav")), QStringLiteral("未检测到声音")},
            {media(QStringLiteral("silence.wav")), model, QStringLiteral("未检测到声音")},
            {media(QStringLiteral("hiss.wav")), model, QStringLiteral("模型句子没有浊音")},
            {model, media(QStringLiteral("hiss.wav")), QStringLiteral("录音没有浊音")},
            {model, media(QStringLiteral("long.wav")), QStringLiteral("录音太长")},
            {model, media(QStringLiteral("text.wav")), QStringLiteral("无法读取音频")},
            {media(QStringLiteral("text.wav")), model, QStringLiteral("无法读取音频")},
            {model, media(QStringLiteral("missing.wav")), QStringLiteral("无法读取音频")},
        };
        for (const auto& c : cases) {
            const Comparison result = compareTakes(c.model, -1, -1, c.take);
            QVERIFY2(!result.ok && result.error == c.error, qPrintable(c.take + QLatin1Char(' ') + result.error));
            QVERIFY(result.model.isEmpty());
        }
        // A range past the model's speech holds nothing to compare with.
        QCOMPARE(compareTakes(model, 30, 40, model).error, QStringLiteral("未检测到声音"));
        const std::atomic<bool> cancel {true};
        QVERIFY(!compareTakes(model, -1, -1, model, &cancel).ok);
    }

    void toolPrintsJson()
    {
        QProcess tool;
        tool.start(QStringLiteral(REPETA_COMPARE_TOOL), {reading(1, 0), reading(1, 1)});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        const QJsonObject object = QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
        const Comparison direct = compare(reading(1, 0), reading(1, 1));
        QCOMPARE(object.value(QStringLiteral("overall")).toDouble(), std::round(direct.overall * 100) / 100);
        QVERIFY(object.value(QStringLiteral("tempo")).toDouble() > 0.5);
        const QJsonArray model = object.value(QStringLiteral("model")).toArray();
        const QJsonArray take = object.value(QStringLiteral("take")).toArray();
        QCOMPARE(model.size(), direct.model.size());
        QCOMPARE(take.size(), model.size());
        QVERIFY(model.first().toArray().size() == 2 && model.first().toArray().at(0).isDouble());

        tool.start(QStringLiteral(REPETA_COMPARE_TOOL), {reading(1, 0), media(QStringLiteral("text.wav"))});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY(QString::fromUtf8(tool.readAllStandardError()).contains(QStringLiteral("无法读取音频")));
    }
};

QTEST_GUILESS_MAIN(CompareTest)
#include "tst_compare.moc"
