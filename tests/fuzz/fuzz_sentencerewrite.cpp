// Any bytes as a sentence file being edited. The first bytes choose the
// format, the edit and the sentence; the rest is the file. An edit that
// succeeds must read back as asked and keep every line it does not touch byte
// for byte; one that fails must leave the file as it was.
#include "SentenceChecks.h"

#include "sentences/SentenceEditing.h"
#include "sentences/TextDocument.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::size_t kHeaderBytes = 3; // format, edit, sentence
constexpr float kTolerance = 0.0065f; // LRC tags keep hundredths
const char* const kSuffixes[] = {"lrc", "srt", "vtt"};

[[noreturn]] void fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "%s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot read back");
    return file.readAll();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the input");
}

QList<QByteArray> rawLines(const QByteArray& bytes)
{
    const TextDocument doc = decodeDocument(bytes);
    QList<QByteArray> lines;
    for (const LineBytes& span : doc.spans)
        lines.append(bytes.mid(span.from, span.size));
    return lines;
}

bool near(float a, float b)
{
    return std::abs(a - b) <= kTolerance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeaderBytes)
        return 0;
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.") + QLatin1String(kSuffixes[data[0] % 3]));
    const QByteArray input(reinterpret_cast<const char*>(data) + kHeaderBytes,
                           static_cast<qsizetype>(size - kHeaderBytes));
    write(path, input);
    const SentenceRead read = readSentenceFile(path);
    const QVector<Sentence>& before = read.file.sentences;
    const int index = before.isEmpty() ? 0 : data[2] % before.size();
    const Sentence own = before.value(index);
    const bool hasNext = index + 1 < before.size();
    const float later = hasNext ? before[index + 1].start : own.start + 2;
    const float middle = (own.start + (own.end >= 0 ? std::min(own.end, later) : later)) / 2;

    // The edit, and the lines it may rewrite.
    QSet<int> touched = sentencechecks::linesOf(own);
    const int edit = data[1] % 4;
    SentenceEdit change;
    QString error;
    bool ok = false;
    if (edit == 3) {
        ok = splitSentence(path, index, middle, own.text.section(QLatin1Char(' '), -1), &error);
    } else {
        if (edit == 0)
            change.start = middle;
        if (edit == 1) {
            change.end = middle;
            if (hasNext)
                touched += sentencechecks::linesOf(before[index + 1]);
        }
        change.changeText = edit == 2;
        change.text = QStringLiteral("fuzz edit words");
        ok = editSentence(path, index, change, &error);
    }

    const QByteArray output = readAll(path);
    if (!ok) {
        if (output != input || error.isEmpty())
            fail("a failed edit changed the file or gave no reason", error);
        return 0;
    }
    const SentenceRead back = readSentenceFile(path);
    if (!back.ok || !sentencechecks::fault(back.file).isEmpty())
        fail("the edited file does not read back", back.error + sentencechecks::fault(back.file));
    const QVector<Sentence>& after = back.file.sentences;
    auto has = [&after](auto&& predicate) { return std::any_of(after.begin(), after.end(), predicate); };
    const bool asked = edit == 0 ? has([&](const Sentence& s) { return near(s.start, middle) && s.text == own.text; })
        : edit == 1 ? has([&](const Sentence& s) { return near(s.start, own.start) && near(s.end, middle); })
        : edit == 2
        ? has([](const Sentence& s) { return s.text == QStringLiteral("fuzz edit words"); })
        : after.size() == before.size() + 1 && has([&](const Sentence& s) { return near(s.start, middle); });
    if (!asked)
        fail("the edit does not read back as asked");

    const QString lost = sentencechecks::lostLine(rawLines(input), rawLines(output), touched);
    if (!lost.isEmpty())
        fail("an untouched line was lost", lost);
    return 0;
}
