// repeta-sentences FILE...: the sentences of LRC, SRT and VTT files as the
// program reads them, one JSON object a line, to check a file by eye or script.
// repeta-sentences --pauses MEDIA...: the sentences that the import finds by
// the pauses of a media file without a sentence file, in the same form.
#include "decoder/AudioDecoder.h"
#include "sentences/SentenceEditing.h"
#include "sentences/SentenceFile.h"
#include "speech/SpeechScan.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>

namespace {

// The media a sentence file may belong to, tried in this order.
constexpr const char* kMediaExtensions[]
    = {"mp3", "mp4", "m4a", "aac", "mkv", "webm", "ogg", "opus", "wav", "flac", "mov", "avi", "flv", "wmv", "rm"};
constexpr double kMsPerSecond = 1000.0;

// Seconds of the media of the same name beside the file; -1 when there is none.
float mediaDurationBeside(const QString& path)
{
    const QFileInfo info(path);
    for (const char* extension : kMediaExtensions) {
        const QString media
            = info.dir().filePath(info.completeBaseName() + QLatin1Char('.') + QLatin1String(extension));
        AudioDecoder decoder;
        if (QFileInfo::exists(media) && decoder.open(QFile::encodeName(media)))
            return float(decoder.durationSeconds());
    }
    return -1;
}

QJsonValue seconds(float value)
{
    return value < 0 ? QJsonValue() : QJsonValue(std::round(double(value) * kMsPerSecond) / kMsPerSecond);
}

QByteArray jsonLine(const Sentence& sentence)
{
    QJsonObject object {{QStringLiteral("start"), seconds(sentence.start)},
                        {QStringLiteral("end"), seconds(sentence.end)},
                        {QStringLiteral("text"), sentence.text}};
    if (!sentence.translation.isEmpty())
        object.insert(QStringLiteral("translation"), sentence.translation);
    if (!sentence.words.isEmpty()) {
        QJsonArray words;
        for (const WordTime& word : sentence.words)
            words.append(QJsonArray {seconds(word.start), word.word});
        object.insert(QStringLiteral("words"), words);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

void printSentences(const QString& path, const SentenceFile& file)
{
    QByteArray out = QStringLiteral("# %1: %2, %3\n")
                         .arg(path, formatName(file.format), encodingName(file.encoding))
                         .toUtf8();
    for (const Sentence& sentence : file.sentences)
        out += jsonLine(sentence);
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
}

bool failed(const QString& path, const QString& why)
{
    std::fprintf(stderr, "repeta-sentences: %s: %s\n", QFile::encodeName(path).constData(), why.toUtf8().constData());
    return false;
}

bool printFile(const QString& path)
{
    SentenceRead read = readSentenceFile(path);
    if (!read.ok)
        return failed(path, read.error);
    endLastSentenceAt(read.file, mediaDurationBeside(path));
    printSentences(path, read.file);
    return true;
}

// The LRC that the import writes for the media, read back as the program
// reads it. A media without speech has no sentences; a file cut short keeps
// those found before the cut.
bool printPauses(const QString& mediaPath)
{
    const SpeechScan scan = findSentences(mediaPath);
    if (!scan.ok && scan.spans.isEmpty())
        return failed(mediaPath, scan.error);
    QVector<QPair<float, float>> spans;
    for (const SpeechSpan& span : scan.spans)
        spans.append({float(span.start), float(span.end)});
    SentenceFile file;
    if (!spans.isEmpty()) {
        const SentenceRead read = readSentenceBytes(lrcFromSpans(spans), SentenceFormat::Lrc);
        if (!read.ok)
            return failed(mediaPath, read.error);
        file = read.file;
    }
    printSentences(mediaPath, file);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("repeta-sentences"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints the sentences of LRC, SRT and VTT files as JSON lines."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Sentence files to read."),
                                 QStringLiteral("FILE..."));
    const QCommandLineOption pauses(QStringLiteral("pauses"),
                                    QStringLiteral("Find the sentences of media files by their pauses."));
    parser.addOption(pauses);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        parser.showHelp(2);
    bool allRead = true;
    for (const QString& file : files)
        allRead = (parser.isSet(pauses) ? printPauses(file) : printFile(file)) && allRead;
    return allRead ? 0 : 1;
}
