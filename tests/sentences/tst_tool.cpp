// The repeta-sentences tool run as a program: one JSON object a sentence
// with the values the library reads, the duration of the media beside a file
// as its open last end, and exit status 1 when one file of several cannot be
// read while the others are still printed.
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

struct Run {
    int exitCode = -1;
    QList<QByteArray> lines;
    QString errors;
};

Run run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.lines = process.readAllStandardOutput().split('\n');
    result.errors = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QJsonObject object(const QByteArray& line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qWarning("not a JSON object: %s", line.constData());
    return document.object();
}

} // namespace

class ToolTest : public QObject {
    Q_OBJECT
private slots:
    void printsSentencesAsJsonLines()
    {
        QTemporaryDir dir;
        const QString lrc = dir.filePath(QStringLiteral("talk.lrc"));
        const QString media = dir.filePath(QStringLiteral("talk.mp3"));
        const QString srt = dir.filePath(QStringLiteral("news.srt"));
        const QString broken = dir.filePath(QStringLiteral("broken.vtt"));
        testenv::writeFile(lrc,
                           QStringLiteral("[ti:Tool]\n[00:00.20]<00:00.20>Hello <00:00.60>\"there\"|你好\n"
                                          "[00:00.90]Good morning\n")
                               .toUtf8());
        QStringEncoder gb18030("GB18030");
        testenv::writeFile(srt,
                           gb18030.encode(QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,500\r\n早上好，各位\r\n")));
        testenv::writeFile(broken, QByteArray("\x00\x01\x02 no sentences \xff", 18));
        QCOMPARE(run(QStringLiteral("ffmpeg"),
                     {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                      QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                      QStringLiteral("sine=frequency=440:sample_rate=44100:duration=1.5"), QStringLiteral("-c:a"),
                      QStringLiteral("libmp3lame"), media})
                     .exitCode,
                 0);
        const Run probe
            = run(QStringLiteral("ffprobe"),
                  {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                   QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), media});
        const double duration = probe.lines.value(0).trimmed().toDouble();
        QVERIFY(duration > 1.4 && duration < 1.7);

        const Run tool = run(QStringLiteral(REPETA_SENTENCES_TOOL), {lrc, broken, srt});
        QCOMPARE(tool.exitCode, 1);
        QVERIFY2(tool.errors.contains(broken), qPrintable(tool.errors));
        QCOMPARE(tool.lines.size(), 6); // two headers, three sentences, the empty rest after the last line end
        QCOMPARE(QString::fromUtf8(tool.lines[0]), QStringLiteral("# %1: LRC, UTF-8").arg(lrc));
        const QJsonObject first = object(tool.lines[1]);
        QCOMPARE(first.value(QStringLiteral("start")).toDouble(), 0.2);
        QCOMPARE(first.value(QStringLiteral("end")).toDouble(), 0.9);
        QCOMPARE(first.value(QStringLiteral("text")).toString(), QStringLiteral("Hello \"there\""));
        QCOMPARE(first.value(QStringLiteral("translation")).toString(), QStringLiteral("你好"));
        QCOMPARE(
            first.value(QStringLiteral("words")).toArray(),
            (QJsonArray {QJsonArray {0.2, QStringLiteral("Hello")}, QJsonArray {0.6, QStringLiteral("\"there\"")}}));
        const QJsonObject last = object(tool.lines[2]);
        QCOMPARE(last.value(QStringLiteral("text")).toString(), QStringLiteral("Good morning"));
        QVERIFY(!last.contains(QStringLiteral("translation")) && !last.contains(QStringLiteral("words")));
        QVERIFY2(std::abs(last.value(QStringLiteral("end")).toDouble() - duration) < 0.0011, tool.lines[2].constData());
        QCOMPARE(QString::fromUtf8(tool.lines[3]), QStringLiteral("# %1: SRT, GB18030").arg(srt));
        const QJsonObject news = object(tool.lines[4]);
        QCOMPARE(news.value(QStringLiteral("start")).toDouble(), 1.0);
        QCOMPARE(news.value(QStringLiteral("end")).toDouble(), 2.5);
        QCOMPARE(news.value(QStringLiteral("text")).toString(), QStringLiteral("早上好，各位"));

        // Without a media file the open end is null; without files, usage.
        QVERIFY(QFile::remove(media));
        QVERIFY(object(run(QStringLiteral(REPETA_SENTENCES_TOOL), {lrc}).lines.value(2))
                    .value(QStringLiteral("end"))
                    .isNull());
        QCOMPARE(run(QStringLiteral(REPETA_SENTENCES_TOOL), {}).exitCode, 2);
    }

    // --pauses: the sentences the import would write for a media file
    // without a sentence file, numbered, each with its end.
    void findsSentencesByPauses()
    {
        const QString speech = testenv::media(QStringLiteral("speech.mp3"));
        const QString text = testenv::media(QStringLiteral("text.mp3"));
        const Run tool = run(QStringLiteral(REPETA_SENTENCES_TOOL), {QStringLiteral("--pauses"), text, speech});
        QCOMPARE(tool.exitCode, 1);
        QVERIFY2(tool.errors.contains(text), qPrintable(tool.errors));
        QCOMPARE(QString::fromUtf8(tool.lines.value(0)), QStringLiteral("# %1: LRC, UTF-8").arg(speech));
        QCOMPARE(tool.lines.size(), 6); // the header, four sentences (one line of speech.lrc holds two), the rest
        double previousEnd = 0;
        for (int i = 1; i <= 4; ++i) {
            const QJsonObject sentence = object(tool.lines[i]);
            QCOMPARE(sentence.value(QStringLiteral("text")).toString(), QStringLiteral("第 %1 句").arg(i));
            const double start = sentence.value(QStringLiteral("start")).toDouble();
            QVERIFY(start >= previousEnd && sentence.value(QStringLiteral("end")).toDouble() > start);
            previousEnd = sentence.value(QStringLiteral("end")).toDouble();
        }
    }
};

REPETA_TEST_MAIN(ToolTest)
#include "tst_tool.moc"
