// The sample decoder in every container: frame 0 is the first sample of the
// sound, and what it decodes from the start, from a point it seeks to and up
// to an end is ffmpeg's own decode of the same sound, sample for sample.
#include "ContainerTable.h"
#include "TestEnvironment.h"

#include "decoder/AudioDecoder.h"

#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSeekTarget = 2.3; // in the 600 Hz second
constexpr double kEnd = 3.2;
constexpr int kStepLimit = 100000; // no file here needs as many steps

struct Decoded {
    Pcm pcm;
    int64_t firstFrame = -1; // of the first block
    bool ended = false;
};

Decoded decodeAll(AudioDecoder& decoder)
{
    Decoded out;
    out.pcm.rate = decoder.sampleRate();
    out.pcm.channels = std::max(1, decoder.channels());
    SampleBlock block;
    for (int step = 0; step < kStepLimit; ++step) {
        const AudioDecoder::Step result = decoder.next(block);
        if (result == AudioDecoder::Step::End) {
            out.ended = true;
            break;
        }
        if (result != AudioDecoder::Step::Samples)
            continue;
        if (out.firstFrame < 0)
            out.firstFrame = decoder.blockFrame();
        for (int i = 0; i < block.count; ++i)
            out.pcm.samples.append(block.samples ? block.samples[i] : qint16(std::lround(block.floats[i] * 32767.0f)));
    }
    return out;
}

} // namespace

class DecoderTest : public QObject {
    Q_OBJECT
private slots:
    void decodesTheSoundOfEveryContainer_data() { containers::addRows(); }
    void decodesTheSoundOfEveryContainer();
    void resamplesToMonoFloat();
    void timestampsNameTheSameFrames();
    void filesWithoutSoundDecodeNothing_data();
    void filesWithoutSoundDecodeNothing();
};

// From the start, from a seek target and up to an end: the samples of
// ffmpeg's decode at the same seconds of the sound.
void DecoderTest::decodesTheSoundOfEveryContainer()
{
    const containers::Row row = containers::fetch();
    const Pcm reference = containers::reference(row);
    QVERIFY(containers::silenceEndsAtOneSecond(reference, row));
    AudioDecoder decoder;
    QVERIFY(decoder.open(testenv::media(row.file).toUtf8()));
    QVERIFY(decoder.hasAudio());
    QCOMPARE(decoder.sampleRate(), row.rate);
    QCOMPARE(decoder.channels(), 2);

    const Decoded whole = decodeAll(decoder);
    QVERIFY(whole.ended);
    QCOMPARE(whole.firstFrame, 0);
    QString difference = containers::compare(whole.pcm, reference, row, 0.0, whole.pcm.frames());
    QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("from the start: ") + difference));
    QCOMPARE(whole.pcm.frames(), reference.frames() - row.delay);

    decoder.startAtSeconds(kSeekTarget);
    decoder.setEndSeconds(kEnd);
    const Decoded range = decodeAll(decoder);
    QVERIFY(range.ended);
    QCOMPARE(range.firstFrame, containers::frameAt(row, kSeekTarget));
    QCOMPARE(range.pcm.frames(), containers::frameAt(row, kEnd) - containers::frameAt(row, kSeekTarget));
    difference = containers::compare(range.pcm, reference, row, kSeekTarget, range.pcm.frames());
    QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("from %1 s: ").arg(kSeekTarget) + difference));
}

// Mono floats at 16 kHz, as analysis wants them: ffmpeg's resampling of the
// same sound, to a sample of the new rate.
void DecoderTest::resamplesToMonoFloat()
{
    constexpr int kRate = 16000;
    const containers::Row row{QStringLiteral("seconds.m4a"), kRate, 0, false};
    const Pcm reference = decodeFile(testenv::media(row.file), kRate, 1);
    AudioDecoder decoder;
    QVERIFY(decoder.open(testenv::media(row.file).toUtf8()));
    decoder.setOutput(kRate, 1, SampleFormat::Float);
    QCOMPARE(decoder.sampleRate(), kRate);
    QCOMPARE(decoder.channels(), 1);
    decoder.startAtSeconds(kSeekTarget);
    const Decoded range = decodeAll(decoder);
    QCOMPARE(range.firstFrame, containers::frameAt(row, kSeekTarget));
    const QString difference = containers::compare(range.pcm, reference, row, kSeekTarget, range.pcm.frames());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

// The stream's timestamps and the frames of the sound name the same
// instants, as the waveform's requests count on.
void DecoderTest::timestampsNameTheSameFrames()
{
    AudioDecoder decoder;
    QVERIFY(decoder.open(testenv::media(QStringLiteral("seconds.mp3")).toUtf8()));
    // The LAME header puts the first sample at 0.025057 s.
    QVERIFY(std::abs(decoder.startTimestamp() * decoder.timeBaseSeconds() - 0.025057) < 1e-6);
    const int64_t frame = 3 * 44100 + 17;
    QCOMPARE(decoder.frameAtTimestamp(decoder.timestampOfFrame(frame)), frame);
    decoder.startAt(decoder.timestampOfFrame(frame));
    SampleBlock block;
    AudioDecoder::Step step = AudioDecoder::Step::Nothing;
    while (step == AudioDecoder::Step::Nothing)
        step = decoder.next(block);
    QCOMPARE(step, AudioDecoder::Step::Samples);
    QCOMPARE(decoder.blockFrame(), frame);
    QCOMPARE(decoder.frameAtTimestamp(decoder.blockTimestamp()), frame);
}

void DecoderTest::filesWithoutSoundDecodeNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("opens");
    QTest::newRow("video only") << QStringLiteral("noaudio.mp4") << true;
    QTest::newRow("cover only") << QStringLiteral("coveronly.m4a") << true;
    QTest::newRow("no index") << QStringLiteral("noindex.m4a") << false;
    QTest::newRow("text") << QStringLiteral("text.mp3") << false;
    QTest::newRow("empty") << QStringLiteral("empty.mp3") << false;
}

// They open or not, but never hang: the end comes at once.
void DecoderTest::filesWithoutSoundDecodeNothing()
{
    QFETCH(QString, file);
    QFETCH(bool, opens);
    AudioDecoder decoder;
    QCOMPARE(decoder.open(testenv::media(file).toUtf8()), opens);
    QVERIFY(!decoder.hasAudio());
    decoder.startAtSeconds(1.0);
    const Decoded nothing = decodeAll(decoder);
    QVERIFY(nothing.ended);
    QCOMPARE(nothing.pcm.frames(), 0);
}

REPETA_TEST_MAIN(DecoderTest)
#include "tst_decoder.moc"
