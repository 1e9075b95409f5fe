// Reading sentence files of the shapes learners bring: every encoding, every
// LRC tag form, subtitles with markup, bilingual texts, companion files, and
// input that is not what it claims to be.
#include "SentenceChecks.h"
#include "TestEnvironment.h"

#include "sentences/SentenceFile.h"
#include "sentences/SentenceFinding.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

QString seconds(float value)
{
    return value < 0 ? QStringLiteral("?") : QString::number(std::round(double(value) * 1000) / 1000, 'g', 10);
}

// "start-end text = translation @word-start:word", sentences parted by " ; ".
QString render(const SentenceFile& file)
{
    QStringList parts;
    if (!file.title.isEmpty())
        parts.append(QStringLiteral("title:") + file.title);
    for (const Sentence& s : file.sentences) {
        QString part = seconds(s.start) + QLatin1Char('-') + seconds(s.end) + QLatin1Char(' ') + s.text;
        if (!s.translation.isEmpty())
            part += QStringLiteral(" = ") + s.translation;
        for (const WordTime& word : s.words)
            part += QStringLiteral(" @") + seconds(word.start) + QLatin1Char(':') + word.word;
        parts.append(part);
    }
    return parts.join(QStringLiteral(" ; "));
}

QByteArray encoded(const QString& text, const char* encoding, const QByteArray& bom = QByteArray())
{
    QStringEncoder encoder(encoding);
    return bom + QByteArray(encoder.encode(text));
}

QByteArray lrcLines(int count)
{
    QByteArray lrc;
    for (int i = 0; i < count; ++i)
        lrc += QStringLiteral("[%1:%2.50]Sentence number %3 of the lesson 第%3句\n")
                   .arg(i / 60, 2, 10, QLatin1Char('0'))
                   .arg(i % 60, 2, 10, QLatin1Char('0'))
                   .arg(i)
                   .toUtf8();
    return lrc;
}

} // namespace

class ReaderTest : public QObject {
    Q_OBJECT
private slots:
    void readsRealWorldFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");

        QTest::newRow("lrc tag forms")
            << "forms.lrc"
            << QByteArray("[ti:Forms]\n[ar:Someone]\n[length: 03:20]\n[00:01]whole seconds\n[00:02.5]tenths\n"
                          "[00:03.25]hundredths\n[00:04.125]thousandths\n[00:05:50]colon hundredths\n"
                          "[01:00:06.00]hours\n[7.5]seconds alone\n[75:00.00]  long minutes  \nno tag\n[00:xx]bad\n")
            << "LRC, UTF-8"
            << "title:Forms ; 1-2.5 whole seconds ; 2.5-3.25 tenths ; 3.25-4.125 hundredths ; "
               "4.125-5.5 thousandths ; 5.5-7.5 colon hundredths ; 7.5-3606 seconds alone ; 3606-4500 hours ; "
               "4500-? long minutes";
        QTest::newRow("lrc offset, multi-tag lines, end markers, word tags, order")
            << "song.LRC"
            << QByteArray("[00:10.00]Third line\n[00:01.00][00:05.00]Chorus again\n[00:03.00]\n"
                          "[00:06.00]<00:06.00>Word <00:06.50>by <00:07.00>word\n[00:08.00]\n[offset:+500]\n"
                          "[00:11.00]Inline [00:11.50]word [00:12.00]timing\n")
            << "LRC, UTF-8"
            << "0.5-2.5 Chorus again ; 4.5-5.5 Chorus again ; 5.5-7.5 Word by word @5.5:Word @6:by @6.5:word ; "
               "9.5-10.5 Third line ; 10.5-? Inline word timing @10.5:Inline @11:word @11.5:timing";
        QTest::newRow("bilingual lrc")
            << "bi.lrc"
            << QStringLiteral("[00:01.00]Lesson 1|第1课\n[00:02.00]Good morning ｜ 早上好\n"
                              "[00:03.00]How are you? 你好吗？\n[00:04.00]I am fine / 我很好\n"
                              "[00:05.00]Thank you very much (非常感谢)\n[00:06.00]再见。See you tomorrow.\n"
                              "[00:07.00]作曲 : Drop\n[00:08.00]Same time line\n[00:08.00]同一时间\n"
                              "[00:09.00]第二个\n[00:09.00]Chinese came first\n")
                   .toUtf8()
            << "LRC, UTF-8"
            << QStringLiteral("1-2 Lesson 1 = 第1课 ; 2-3 Good morning = 早上好 ; 3-4 How are you? = 你好吗？ ; "
                              "4-5 I am fine = 我很好 ; 5-6 Thank you very much = 非常感谢 ; "
                              "6-7 See you tomorrow. = 再见。 ; 7-8 作曲 : Drop ; 8-9 Same time line = 同一时间 ; "
                              "9-? Chinese came first = 第二个");
        const QString chinese = QStringLiteral("[00:01.00]你好，世界\r\n[00:02.00]Good morning to you 早上好\r\n");
        QTest::newRow("utf-8 bom crlf") << "bom.lrc" << encoded(chinese, "UTF-8", "\xEF\xBB\xBF") << "LRC, UTF-8 BOM"
                                        << QStringLiteral("1-2 你好，世界 ; 2-? Good morning to you = 早上好");
        QTest::newRow("utf-16le") << "le.lrc" << encoded(chinese, "UTF-16LE", "\xFF\xFE") << "LRC, UTF-16LE"
                                  << QStringLiteral("1-2 你好，世界 ; 2-? Good morning to you = 早上好");
        QTest::newRow("utf-16be") << "be.lrc" << encoded(chinese, "UTF-16BE", "\xFE\xFF") << "LRC, UTF-16BE"
                                  << QStringLiteral("1-2 你好，世界 ; 2-? Good morning to you = 早上好");
        QTest::newRow("gbk") << "gbk.lrc" << encoded(chinese, "GB18030") << "LRC, GB18030"
                             << QStringLiteral("1-2 你好，世界 ; 2-? Good morning to you = 早上好");
        QTest::newRow("windows-1252 curly quotes")
            << "quotes.lrc" << QByteArray("[00:01.00]Don\x92t stop\n[00:02.00]It\x92s \x93quoted\x94 in the caf\xe9\n")
            << "LRC, Windows-1252" << QStringLiteral("1-2 Don’t stop ; 2-? It’s “quoted” in the café");
        QTest::newRow("windows-1252 that is valid gb18030") << "valid.lrc" << QByteArray("[00:01.00]We\x92re here\n")
                                                            << "LRC, Windows-1252" << QStringLiteral("1-? We’re here");
        QTest::newRow("srt")
            << "lesson.srt"
            << QStringLiteral("1\n00:00:01,000 --> 00:00:02,500\n{\\an8}<i>Hello</i> <b>there</b>,\n"
                              "<font color=\"#ff0000\">my friend</font> &amp; you\n2\n"
                              "00:00:03.000 --> 00:00:04,000\nNo blank line &lt;before&gt;\n"
                              "00:00:03,500 --> 00:00:05,000\nOverlapping, without a number\n"
                              "00:06,000 --> 00:07,000\nNo hours here\n\n3\n00:00:08,000 --> 00:00:09,000\n"
                              "Good night.\n晚安。\n")
                   .toUtf8()
            << "SRT, UTF-8"
            << QStringLiteral("1-2.5 Hello there, my friend & you ; 3-4 No blank line <before> ; "
                              "3.5-5 Overlapping, without a number ; 6-7 No hours here ; 8-9 Good night. = 晚安。");
        QTest::newRow("vtt")
            << "lesson.vtt"
            << QStringLiteral("WEBVTT - a lesson\nKind: captions\n\nNOTE a note\nthat spans lines\n\nSTYLE\n"
                              "::cue { color: yellow }\n\nREGION\nid:fred width:40%\n\nintro\n"
                              "00:01.000 --> 00:02.000 align:start position:10%\n<v Teacher>Listen and repeat</v>\n\n"
                              "00:00:02.000 --> 00:00:04.000\n<c.yellow>Good</c> <00:00:02.500>morning "
                              "<00:00:03.000>everyone\n<ruby>早<rt>zǎo</rt></ruby>上好\n")
                   .toUtf8()
            << "VTT, UTF-8"
            << QStringLiteral("1-2 Listen and repeat ; 2-4 Good morning everyone = 早上好 @2:Good @2.5:morning "
                              "@3:everyone");
        QTest::newRow("subtitles named .lrc")
            << "wrong.lrc" << QByteArray("00:00:01,000 --> 00:00:02,000\nTwo English\nlines joined\n") << "SRT, UTF-8"
            << "1-2 Two English lines joined";
    }

    void readsRealWorldFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        testenv::writeFile(path, bytes);
        const SentenceRead read = readSentenceFile(path);
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(formatName(read.file.format) + QStringLiteral(", ") + encodingName(read.file.encoding), kind);
        QCOMPARE(render(read.file), expected);
        QCOMPARE(sentencechecks::fault(read.file), QString());
    }

    // lesson.lrc, .srt, .vtt, then English, then other languages; never Chinese.
    void choosesTheFileBesideTheMedia()
    {
        QTemporaryDir dir;
        const QString media = dir.filePath(QStringLiteral("Lesson.mp4"));
        const QStringList order
            = {QStringLiteral("lesson.lrc"),       QStringLiteral("Lesson.srt"),     QStringLiteral("lesson.VTT"),
               QStringLiteral("lesson.en.srt"),    QStringLiteral("lesson.eng.vtt"), QStringLiteral("lesson.en-GB.srt"),
               QStringLiteral("lesson.en-US.vtt"), QStringLiteral("lesson.fr.lrc")};
        for (const QString& name : order
                 + QStringList {QStringLiteral("lesson.zh-CN.srt"), QStringLiteral("lesson.chs.lrc"),
                                QStringLiteral("lesson.mp3"), QStringLiteral("lessons.lrc")})
            testenv::writeFile(dir.filePath(name), "[00:01.00]x\n");
        for (const QString& name : order) {
            QCOMPARE(sentenceFileFor(media), dir.filePath(name));
            QVERIFY(QFile::remove(dir.filePath(name)));
        }
        QCOMPARE(sentenceFileFor(media), QString());
        QCOMPARE(chineseCompanionFor(media), dir.filePath(QStringLiteral("lesson.chs.lrc")));
        QVERIFY(!loadSentencesFor(media, 10).ok);
    }

    // Translations come from the Chinese file by overlap, simplified before
    // traditional; the media's duration ends the last sentence.
    void addsTranslationsFromAChineseCompanion()
    {
        QTemporaryDir dir;
        testenv::writeFile(dir.filePath(QStringLiteral("talk.lrc")),
                           QStringLiteral("[00:01.00]One two\n[00:03.00]Three four\n[00:05.00]Five six|已有\n"
                                          "[00:07.00]Seven eight\n")
                               .toUtf8());
        testenv::writeFile(dir.filePath(QStringLiteral("talk.zh-Hans.srt")),
                           encoded(QStringLiteral("1\n00:00:00,900 --> 00:00:02,900\n一二\n\n2\n00:00:02,950 --> "
                                                  "00:00:03,200\n短\n\n3\n00:00:03,200 --> 00:00:04,900\n三四\n\n"
                                                  "4\n00:00:07,100 --> 00:00:09,000\n七八\n"),
                                   "GB18030"));
        testenv::writeFile(dir.filePath(QStringLiteral("talk.zh-TW.vtt")),
                           QStringLiteral("WEBVTT\n\n00:01.000 --> 00:09.000\n繁體\n").toUtf8());
        const SentenceRead read = loadSentencesFor(dir.filePath(QStringLiteral("talk.mp3")), 9.5f);
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(render(read.file),
                 QStringLiteral("1-3 One two = 一二 ; 3-5 Three four = 三四 ; 5-7 Five six = 已有 ; "
                                "7-9.5 Seven eight = 七八"));
    }

    // Bytes that are no sentence file, absurd tags, huge inputs: a defined
    // result, well formed, and read in linear time.
    void badInputHasADefinedResult()
    {
        QRandomGenerator random(7);
        QByteArray noise(1 << 16, Qt::Uninitialized);
        for (char& c : noise)
            c = char(random.bounded(256));
        const QByteArray megabyte(1 << 20, '<');
        const char nul[] = "[00:01.00]a\0b c\n[00:02.00]\0\0\n";
        const QList<QByteArray> inputs
            = {noise,
               QByteArray(nul, sizeof(nul) - 1),
               "[99999:99.99]x\n[-1:00]x\n[00:xx]x\n[1e3:00]x\n[00:01.0000000000]x\n[nan:1]x\n",
               "\xE4\xBD\xA0\xC4\xE3\xFF[00:01.00]mixed \xE4\xBD\xA0 and \xC4\xE3\n",
               "00:00:01,000 --> 00:00:00,500\nends before it starts\n\n99:99:99,999 --> 999:00:00,000\nlate\n",
               "[00:01.00]" + megabyte,
               "00:01.000 --> 00:02.000\n" + QByteArray(1 << 20, '&') + QByteArray(1 << 20, '{'),
               "[00:01.00]" + QByteArray(1 << 20, '[') + "\n00:01.000 --> 00:02.000\n<rt>" + megabyte};
        QElapsedTimer timer;
        timer.start();
        for (const QByteArray& input : inputs) {
            for (SentenceFormat format : {SentenceFormat::Lrc, SentenceFormat::Srt, SentenceFormat::Vtt}) {
                const SentenceRead read = readSentenceBytes(input, format);
                QCOMPARE(sentencechecks::fault(read.file), QString());
                QCOMPARE(read.ok, !read.file.sentences.isEmpty());
                QCOMPARE(read.error.isEmpty(), read.ok);
            }
        }
        QVERIFY2(timer.elapsed() < 10000, "long lines are read in linear time");
        QCOMPARE(render(readSentenceBytes(inputs[2], SentenceFormat::Lrc).file), QString());
        QCOMPARE(
            render(readSentenceBytes("[offset:-99999999999999]\n[00:05.00]a b\n[offset:x]", SentenceFormat::Lrc).file),
            QStringLiteral("360000-? a b"));
        QCOMPARE(render(readSentenceBytes(inputs[4], SentenceFormat::Srt).file),
                 QStringLiteral("1-1 ends before it starts"));
        QVERIFY(!readSentenceFile(QStringLiteral("/nonexistent/x.lrc")).error.isEmpty());
    }

    void readsLargeFilesInLinearTime()
    {
        for (int count : {10000, 100000}) {
            const QByteArray lrc = lrcLines(count);
            QElapsedTimer timer;
            timer.start();
            const SentenceRead read = readSentenceBytes(lrc, SentenceFormat::Lrc);
            const qint64 ms = timer.elapsed();
            qInfo("%d LRC sentences (%lld bytes) read in %lld ms", count, qint64(lrc.size()), ms);
            QCOMPARE(read.file.sentences.size(), count);
            QCOMPARE(read.file.sentences.last().translation, QStringLiteral("第%1句").arg(count - 1));
            // Far above what a linear reader needs even under the sanitizers;
            // a reader quadratic in the lines takes minutes.
            QVERIFY(ms < 20 * count / 1000 + 2000);
        }
    }
};

REPETA_TEST_MAIN(ReaderTest)
#include "tst_reader.moc"
