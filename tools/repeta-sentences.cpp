// repeta-sentences FILE...: the sentences of LRC, SRT and VTT files as the
// program reads them, one JSON object a line, to check a file by eye or script.
#include "decoder/AudioDecoder.h"
#include "sentences/SentenceFile.h"

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

bool printFile(const QString& path)
{
    SentenceRead read = readSentenceFile(path);
    if (!read.ok) {
        std::fprintf(stderr, "repeta-sentences: %s\n", read.error.toUtf8().constData());
        return false;
    }
    endLastSentenceAt(read.file, mediaDurationBeside(path));
    QByteArray out = QStringLiteral("# %1: %2, %3\n")
                         .arg(path, formatName(read.file.format), encodingName(read.file.encoding))
                         .toUtf8();
    for (const Sentence& sentence : read.file.sentences)
        out += jsonLine(sentence);
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
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
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        parser.showHelp(2);
    bool allRead = true;
    for (const QString& file : files)
        allRead = printFile(file) && allRead;
    return allRead ? 0 : 1;
}
