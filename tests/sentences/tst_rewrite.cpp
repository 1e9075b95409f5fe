// Editing sentence files in place. For many generated files of every format,
// encoding and line end, a random edit of one sentence reads back as asked,
// every other sentence and every untouched line stays as it was, and the
// encoding, byte-order mark and line ends are kept.
#include "SentenceChecks.h"
#include "TestEnvironment.h"

#include "sentences/SentenceEditing.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 800;
constexpr double kLrcTolerance = 0.0065; // hundredths in the tags
constexpr double kCueTolerance = 0.0015;
constexpr uid_t kNobody = 65534;

struct Encoding {
    TextEncoding encoding;
    const char* name;
    QByteArray bom;
    bool chinese; // whether the encoding holds Chinese
};
const Encoding kEncodings[] = {{TextEncoding::Utf8, "UTF-8", "", true},
                               {TextEncoding::Utf8Bom, "UTF-8", "\xEF\xBB\xBF", true},
                               {TextEncoding::Utf16LE, "UTF-16LE", "\xFF\xFE", true},
                               {TextEncoding::Utf16BE, "UTF-16BE", "\xFE\xFF", true},
                               {TextEncoding::Gb18030, "GB18030", "", true},
                               {TextEncoding::Windows1252, "windows-1252", "", false}};

const QStringList kWords = QStringLiteral("apple river quick brown morning teacher window garden music "
                                          "yellow bright stone little happy travel summer")
                               .split(QLatin1Char(' '));
const QStringList kChinese = {QStringLiteral("你好"), QStringLiteral("早上好"), QStringLiteral("谢谢你"),
                              QStringLiteral("我很好"), QStringLiteral("今天天气很好")};

struct Generated {
    QString path;
    SentenceFormat format;
    const Encoding* encoding;
    QByteArray lineEnd; // encoded
};

class Maker {
public:
    Maker(QRandomGenerator& random, SentenceFormat format, const Encoding& encoding)
        : m_random(random)
        , m_format(format)
        , m_encoding(encoding)
    {
    }

    QString english(int from, int to)
    {
        QStringList words;
        for (int i = from + int(m_random.bounded(to - from + 1)); i > 0; --i)
            words.append(kWords[m_random.bounded(int(kWords.size()))]);
        if (!m_encoding.chinese && chance(4))
            words.append(QStringLiteral("café"));
        return words.join(QLatin1Char(' '));
    }
    QString chinese() { return kChinese[m_random.bounded(int(kChinese.size()))]; }
    bool chance(int oneIn) { return m_random.bounded(oneIn) == 0; }

    // The text of a sentence: English, with a translation in one of the
    // forms readers meet where the encoding holds Chinese.
    QString sentence()
    {
        const QString text = english(2, 5);
        if (!m_encoding.chinese || chance(2))
            return text;
        switch (m_random.bounded(3)) {
        case 0:
            return text + QStringLiteral(" ") + chinese();
        case 1:
            return chinese() + QStringLiteral("。") + text;
        default:
            return text + QStringLiteral(" | ") + chinese();
        }
    }

    QStringList lines()
    {
        QStringList lines;
        // An untouched line that tells the encoding apart from its look-alikes.
        const QString note = m_encoding.chinese ? QStringLiteral("笔记 你好 café") : QStringLiteral("café au lait");
        const int count = 3 + int(m_random.bounded(6));
        qint64 ms = 1000 + m_random.bounded(3000);
        QVector<qint64> starts;
        for (int i = 0; i < count; ++i, ms += 1500 + m_random.bounded(4000))
            starts.append(ms / 10 * 10);
        if (m_format == SentenceFormat::Lrc)
            lrc(lines, note, starts);
        else
            cues(lines, note, starts);
        return lines;
    }

private:
    QString lrcTag(qint64 ms)
    {
        const qint64 s = ms / 1000;
        const int style = int(m_random.bounded(4));
        const QString fraction = style == 1 ? QStringLiteral(".%1").arg(ms % 1000, 3, 10, QLatin1Char('0'))
                                            : QStringLiteral(".%1").arg(ms % 1000 / 10, 2, 10, QLatin1Char('0'));
        if (style == 2)
            return QStringLiteral("[%1:%2:%3%4]")
                .arg(s / 3600, 2, 10, QLatin1Char('0'))
                .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                .arg(s % 60, 2, 10, QLatin1Char('0'))
                .arg(fraction);
        return QStringLiteral("[%1:%2%3]")
            .arg(s / 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'))
            .arg(fraction);
    }

    void lrc(QStringList& lines, const QString& note, const QVector<qint64>& starts)
    {
        lines << QStringLiteral("[ti:Generated]") << note;
        const qint64 offset = chance(3) ? (chance(2) ? 250 : -300) : 0;
        if (offset)
            lines << QStringLiteral("[offset:%1%2]").arg(offset > 0 ? QStringLiteral("+") : QString()).arg(offset);
        QVector<bool> written(starts.size());
        for (qsizetype i = 0; i < starts.size(); ++i) {
            if (written[i])
                continue;
            QString tags = lrcTag(starts[i] + offset);
            // A line of two tags: this sentence and a later one share the text.
            if (i + 2 < starts.size() && !written[i + 2] && chance(5)) {
                tags += lrcTag(starts[i + 2] + offset);
                written[i + 2] = true;
            }
            if (m_encoding.chinese && chance(6)) {
                lines << tags + english(2, 4) << lrcTag(starts[i] + offset) + chinese();
            } else {
                lines << tags + sentence();
            }
            if (chance(4) && i + 1 < starts.size())
                lines << lrcTag(starts[i] + offset + (starts[i + 1] - starts[i]) / 2);
            if (chance(6))
                lines << QStringLiteral("untagged words");
        }
    }

    QString cueTime(qint64 ms, bool hours)
    {
        const qint64 s = ms / 1000;
        const QChar point = m_format == SentenceFormat::Srt ? QLatin1Char(',') : QLatin1Char('.');
        QString text = QStringLiteral("%1:%2%3%4")
                           .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(s % 60, 2, 10, QLatin1Char('0'))
                           .arg(point)
                           .arg(ms % 1000, 3, 10, QLatin1Char('0'));
        return hours ? QStringLiteral("%1:").arg(s / 3600, 2, 10, QLatin1Char('0')) + text : text;
    }

    void cues(QStringList& lines, const QString& note, const QVector<qint64>& starts)
    {
        const bool vtt = m_format == SentenceFormat::Vtt;
        lines << (vtt ? QStringLiteral("WEBVTT") : note) << QString();
        if (vtt)
            lines << QStringLiteral("NOTE ") + note << QString();
        for (qsizetype i = 0; i < starts.size(); ++i) {
            if (!chance(4))
                lines << QString::number(i + 1);
            const bool hours = !vtt || chance(2);
            const qint64 end
                = starts[i] + 500 + m_random.bounded(i + 1 < starts.size() ? starts[i + 1] - starts[i] : 3000);
            lines << cueTime(starts[i], hours) + QStringLiteral(" --> ") + cueTime(end, hours)
                    + (vtt && chance(2) ? QStringLiteral(" align:start position:10%") : QString());
            if (chance(3))
                lines << QStringLiteral("<i>") + english(1, 2) + QStringLiteral("</i>") << english(2, 3);
            else
                lines << sentence();
            if (m_encoding.chinese && chance(3))
                lines << chinese();
            lines << QString();
        }
    }

    QRandomGenerator& m_random;
    SentenceFormat m_format;
    const Encoding& m_encoding;
};

QByteArray encode(const QString& text, const Encoding& encoding)
{
    QStringEncoder encoder(encoding.name);
    return QByteArray(encoder.encode(text));
}

// The lines of a file as bytes, split at the encoded line end on unit boundaries.
QList<QByteArray> byteLines(const QByteArray& bytes, const Generated& file)
{
    const int width
        = file.encoding->encoding == TextEncoding::Utf16LE || file.encoding->encoding == TextEncoding::Utf16BE ? 2 : 1;
    QList<QByteArray> lines;
    qsizetype start = file.encoding->bom.size();
    for (qsizetype at = start; at + file.lineEnd.size() <= bytes.size(); at += width) {
        if (QByteArrayView(bytes).sliced(at, file.lineEnd.size()) == file.lineEnd) {
            lines.append(bytes.mid(start, at - start));
            start = at + file.lineEnd.size();
            at = start - width;
        }
    }
    lines.append(bytes.mid(start));
    return lines;
}

struct Plan {
    QString name;
    bool expectOk = true;
    SentenceEdit edit;
    bool split = false;
    float at = 0;
    QString selection;
    QVector<Sentence> expected;
    QSet<int> touched; // lines the edit may rewrite
};

double uniform(QRandomGenerator& random, double from, double to)
{
    return from + random.generateDouble() * (to - from);
}

// A random edit that keeps the sentences in their order, and what it must give.
Plan plan(QRandomGenerator& random, const SentenceFile& file, int index, bool lrc, bool latinOnly)
{
    const QVector<Sentence>& s = file.sentences;
    const Sentence& own = s[index];
    const bool hasNext = index + 1 < s.size();
    // An LRC end marker of the sentence before stays before this one.
    const double previous = index == 0            ? 0.5
        : lrc && s[index - 1].origin.endLine >= 0 ? s[index - 1].end
                                                  : s[index - 1].start;
    const double next = hasNext ? s[index + 1].start : own.start + 5.0;
    const double end = own.end >= 0 ? own.end : own.start + 5.0;
    Plan p;
    p.expected = s;
    Sentence& e = p.expected[index];
    p.touched = sentencechecks::linesOf(own);
    switch (random.bounded(4)) {
    case 0:
        p.name = QStringLiteral("start");
        p.edit.start = e.start = float(uniform(random, previous + 0.05, std::min(end, next) - 0.05));
        if (lrc && index > 0 && s[index - 1].origin.endLine < 0)
            p.expected[index - 1].end = e.start; // it ended where this one started
        break;
    case 1: {
        p.name = QStringLiteral("end");
        const bool viaNext = lrc && own.origin.endLine < 0 && hasNext;
        const double limit = viaNext ? (s[index + 1].end >= 0 ? s[index + 1].end : next + 5.0)
            : lrc                    ? next
                                     : own.start + 5.0;
        p.edit.end = e.end = float(uniform(random, own.start + 0.05, limit - 0.05));
        if (viaNext) {
            p.expected[index + 1].start = e.end;
            p.touched += sentencechecks::linesOf(s[index + 1]);
        }
        break;
    }
    case 2: {
        p.name = QStringLiteral("text");
        p.edit.changeText = true;
        const bool refused = latinOnly && random.bounded(3) == 0;
        p.edit.text = refused ? QStringLiteral("new 中文 text")
                              : QStringLiteral(" brand new words %1 \n").arg(random.bounded(100));
        p.expectOk = !refused;
        for (Sentence& sharing : p.expected) {
            if (sharing.origin.line == own.origin.line)
                sharing.text = p.edit.text.trimmed();
        }
        break;
    }
    default: {
        p.name = QStringLiteral("split");
        p.split = true;
        const QStringList words = own.text.split(QLatin1Char(' '));
        p.selection
            = words.mid(random.bounded(qsizetype(1), std::max<qsizetype>(words.size(), 2))).join(QLatin1Char(' '));
        p.at = float(uniform(random, own.start + 0.05, std::min(end, next) - 0.05));
        const qsizetype at = p.selection.isEmpty() ? -1 : own.text.indexOf(p.selection);
        p.expectOk = at > 0;
        Sentence second {p.at, own.end, own.text.mid(at).trimmed(), QString(), {}, {}};
        e.end = p.at;
        e.text = own.text.left(at).trimmed();
        p.expected.insert(index + 1, second);
        break;
    }
    }
    return p;
}

QString compare(const QVector<Sentence>& actual, const QVector<Sentence>& expected, double tolerance)
{
    if (actual.size() != expected.size())
        return QStringLiteral("%1 sentences instead of %2").arg(actual.size()).arg(expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        const Sentence& a = actual[i];
        const Sentence& e = expected[i];
        const bool endsMatch = (a.end < 0 && e.end < 0) || std::abs(a.end - e.end) <= tolerance;
        if (std::abs(a.start - e.start) > tolerance || !endsMatch || a.text != e.text || a.translation != e.translation)
            return QStringLiteral("sentence %1 is %2-%3 \"%4\" \"%5\", expected %6-%7 \"%8\" \"%9\"")
                .arg(i)
                .arg(a.start)
                .arg(a.end)
                .arg(a.text, a.translation)
                .arg(e.start)
                .arg(e.end)
                .arg(e.text, e.translation);
    }
    return QString();
}

} // namespace

class RewriteTest : public QObject {
    Q_OBJECT
private slots:
    void randomEditsReadBackAndKeepTheRest()
    {
        QRandomGenerator random(20240611);
        QTemporaryDir dir;
        int edited = 0;
        for (int n = 0; n < kFiles; ++n) {
            const auto format = SentenceFormat(random.bounded(3));
            const Encoding& encoding = kEncodings[random.bounded(int(std::size(kEncodings)))];
            Maker maker(random, format, encoding);
            const QString lineEnd = random.bounded(2) ? QStringLiteral("\r\n") : QStringLiteral("\n");
            const Generated file {dir.filePath(QStringLiteral("f%1.%2").arg(n).arg(formatName(format).toLower())),
                                  format, &encoding, encode(lineEnd, encoding)};
            const QByteArray before = encoding.bom + encode(maker.lines().join(lineEnd) + lineEnd, encoding);
            testenv::writeFile(file.path, before);
            const SentenceRead read = readSentenceFile(file.path);
            QVERIFY2(read.ok, qPrintable(read.error));
            QCOMPARE(read.file.encoding, encoding.encoding);

            const int index = random.bounded(int(read.file.sentences.size()));
            const bool lrc = format == SentenceFormat::Lrc;
            const Plan p = plan(random, read.file, index, lrc, !encoding.chinese);
            QString error;
            const bool ok = p.split ? splitSentence(file.path, index, p.at, p.selection, &error)
                                    : editSentence(file.path, index, p.edit, &error);
            const QString context = QStringLiteral("file %1, %2 of sentence %3: %4\n%5")
                                        .arg(n)
                                        .arg(p.name)
                                        .arg(index)
                                        .arg(error, QStringDecoder(encoding.name).decode(before));
            QVERIFY2(ok == p.expectOk, qPrintable(context));
            const QByteArray after = testenv::readFile(file.path);
            if (!ok) {
                QVERIFY2(!error.isEmpty() && after == before, qPrintable(context));
                continue;
            }
            ++edited;
            const SentenceRead back = readSentenceFile(file.path);
            QVERIFY2(back.ok, qPrintable(context));
            QCOMPARE(back.file.encoding, encoding.encoding);
            QVERIFY2(after.startsWith(encoding.bom) && (!encoding.bom.isEmpty() || !after.startsWith("\xEF\xBB\xBF")),
                     qPrintable(context));
            const QString text = QStringDecoder(encoding.name).decode(after);
            QVERIFY2(lineEnd.size() == 2 ? text.count(QStringLiteral("\r\n")) == text.count(QLatin1Char('\n'))
                                         : !text.contains(QLatin1Char('\r')),
                     qPrintable(context));
            const QString difference = compare(back.file.sentences, p.expected, lrc ? kLrcTolerance : kCueTolerance);
            QVERIFY2(difference.isEmpty(), qPrintable(context + QStringLiteral(": ") + difference));
            const QString lost = sentencechecks::lostLine(byteLines(before, file), byteLines(after, file), p.touched);
            QVERIFY2(lost.isEmpty(), qPrintable(context + QStringLiteral(": ") + lost));
            QCOMPARE(sentencechecks::fault(back.file), QString());
        }
        QVERIFY(edited > kFiles / 2);
    }

    // The file is replaced only once the new one is complete: a folder the
    // rewriter may not write into leaves the old file as it was.
    void failedWriteLeavesTheFileWhole()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                          | QFileDevice::ReadOther | QFileDevice::ExeOther));
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + QStringLiteral("/lesson.lrc");
        const QByteArray bytes = "[00:01.00]Hello there\n[00:03.00]Goodbye now\n";
        testenv::writeFile(path, bytes);
        QVERIFY(QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther));
        SentenceEdit edit;
        edit.start = 1.5f;
        // Root writes into read-only folders: the edit runs in a child that gave up root.
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
                _exit(3);
            QString error;
            const bool ok = editSentence(path, 0, edit, &error);
            _exit(ok ? 1 : error.contains(QStringLiteral("cannot write")) ? 0 : 2);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(testenv::readFile(path), bytes);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("lesson.lrc")});
        QVERIFY(
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    void lrcFromSpansMarksEndsWhereTheNextDoesNotStart()
    {
        const QByteArray lrc = lrcFromSpans({{0.5f, 1.25f}, {1.25f, 2.0f}, {2.5f, 63.126f}, {NAN, 1.0f}, {4.0f, 3.0f}});
        QCOMPARE(QString::fromUtf8(lrc),
                 QStringLiteral("[00:00.50]第 1 句\n[00:01.25]第 2 句\n[00:02.00]\n"
                                "[00:02.50]第 3 句\n[01:03.13]\n"));
        const SentenceRead read = readSentenceBytes(lrc, SentenceFormat::Lrc);
        QCOMPARE(read.file.sentences.size(), 3);
        QCOMPARE(read.file.sentences[1].end, 2.0f);
    }
};

REPETA_TEST_MAIN(RewriteTest)
#include "tst_rewrite.moc"
