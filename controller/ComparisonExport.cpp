#include "ComparisonExport.h"

#include "decoder/AudioDecoder.h"
#include "record/Mp3Encoder.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

#include <cstdio>
#include <vector>

#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcComparison, "repeta.comparison", QtCriticalMsg)

constexpr int kChannels = 2;
constexpr double kPauseSeconds = 0.5;
// Decoded floats are -1..1; LAME takes its float input on the 16-bit scale.
constexpr float kFullScaleGain = 32767.0f;

// Decodes [start, end) of a media file into the encoder at its rate and
// channels.
bool encodeRange(Mp3Encoder& encoder, const QString& path, double start, double end, QString* error)
{
    AudioDecoder decoder;
    if (!decoder.open(QFile::encodeName(path)) || !decoder.hasAudio()) {
        *error = QStringLiteral("no sound in %1").arg(path);
        return false;
    }
    decoder.setOutput(Mp3Encoder::kSampleRateHz, kChannels, SampleFormat::Float);
    if (start > 0)
        decoder.startAtSeconds(start);
    decoder.setEndSeconds(end);
    SampleBlock block;
    for (;;) {
        const AudioDecoder::Step step = decoder.next(block);
        if (step == AudioDecoder::Step::End)
            return true;
        if (step == AudioDecoder::Step::Samples && !encoder.encode(block.floats, block.count / kChannels)) {
            *error = encoder.errorText();
            return false;
        }
    }
}

bool encodePause(Mp3Encoder& encoder, QString* error)
{
    static const std::vector<float> silence(
        static_cast<std::size_t>(kPauseSeconds * Mp3Encoder::kSampleRateHz) * kChannels, 0.0f);
    if (encoder.encode(silence.data(), silence.size() / kChannels))
        return true;
    *error = encoder.errorText();
    return false;
}

bool encodePieces(std::FILE* file, const QString& model, const QVector<ComparisonPiece>& pieces, QString* error)
{
    Mp3Encoder encoder;
    if (!encoder.open(file, kFullScaleGain)) {
        *error = encoder.errorText();
        return false;
    }
    for (const ComparisonPiece& piece : pieces) {
        if (!encodeRange(encoder, model, piece.start, piece.end, error) || !encodePause(encoder, error)
            || !encodeRange(encoder, piece.take, 0, -1, error) || !encodePause(encoder, error))
            return false;
    }
    if (!encoder.flush()) {
        *error = encoder.errorText();
        return false;
    }
    return true;
}

// The encoder writes through stdio, on a duplicate of the save file's
// descriptor, so that the save file keeps its own to commit.
bool encodeInto(QSaveFile& out, const QString& model, const QVector<ComparisonPiece>& pieces, QString* error)
{
    const int descriptor = dup(out.handle());
    std::FILE* file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (!file) {
        if (descriptor >= 0)
            close(descriptor);
        *error = QStringLiteral("no stream for %1").arg(out.fileName());
        return false;
    }
    const bool encoded = encodePieces(file, model, pieces, error);
    const bool closed = std::fclose(file) == 0;
    if (encoded && !closed)
        *error = QStringLiteral("cannot write %1").arg(out.fileName());
    return encoded && closed;
}

} // namespace

bool exportComparison(const QString& target, const QString& model, const QVector<ComparisonPiece>& pieces,
                      QString* error)
{
    // QSaveFile writes beside the target and renames it over the target on
    // commit; without a commit it removes what it wrote.
    QSaveFile out(target);
    QString reason;
    if (out.open(QIODevice::WriteOnly) && encodeInto(out, model, pieces, &reason) && out.commit())
        return true;
    if (reason.isEmpty())
        reason = out.errorString();
    qCWarning(lcComparison) << "comparison not exported:" << reason;
    if (error)
        *error = reason;
    return false;
}
