// The encoder behind the capture callback: whatever frame counts it is handed,
// it writes MP3 that decodes to the samples times the gain, in both channels,
// up to the last frame, and it reports a file that cannot take the data.
#include "Levels.h"
#include "record/Mp3Encoder.h"

#include "SoundAnalysis.h"
#include "TestEnvironment.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {
constexpr int kRate = Mp3Encoder::kSampleRateHz;
using levels::kLameScaleDb;
using levels::kUnityGain;
constexpr double kLeftHz = 440;
constexpr double kRightHz = 660;
// MP3 at LAME's default bit rate keeps a pure tone's level this closely.
constexpr double kLevelToleranceDb = 0.1;

// Interleaved stereo: a different tone in each channel, so that swapped or
// mixed channels show.
std::vector<float> stereoTones(qsizetype frames, double amplitude)
{
    std::vector<float> samples(size_t(2 * frames));
    for (qsizetype i = 0; i < frames; ++i) {
        samples[size_t(2 * i)] = float(amplitude * std::sin(2 * M_PI * kLeftHz * double(i) / kRate));
        samples[size_t(2 * i + 1)] = float(amplitude * std::sin(2 * M_PI * kRightHz * double(i) / kRate));
    }
    return samples;
}

// A sine of amplitude a has an RMS level of 20 log10(a / sqrt 2) dB.
double sineLevelDb(double amplitude)
{
    return 20 * std::log10(amplitude / std::sqrt(2.0));
}

struct Output {
    QString path;
    std::FILE* file = nullptr;
    explicit Output(const QString& where)
        : path(where)
        , file(std::fopen(QFile::encodeName(where).constData(), "w+b"))
    {
    }
    ~Output() { close(); }
    void close()
    {
        if (file)
            std::fclose(file);
        file = nullptr;
    }
};
} // namespace

class EncoderTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void anyFrameCountMakesValidStereoMp3()
    {
        // Counts around the 512-frame block and far beyond it, and none.
        const unsigned long counts[] = {1, 511, 513, 4096, 0, 512, 1023, 2049};
        const std::vector<float> tones = stereoTones(2 * kRate, 0.5);
        Output out(m_dir.filePath(QStringLiteral("counts.mp3")));
        QVERIFY(out.file);
        Mp3Encoder encoder;
        QVERIFY(encoder.open(out.file, kUnityGain));
        qsizetype fed = 0;
        for (int i = 0; fed + 4096 <= qsizetype(tones.size() / 2); ++i) {
            const unsigned long count = counts[i % std::size(counts)];
            QVERIFY(encoder.encode(tones.data() + 2 * fed, count));
            fed += qsizetype(count);
        }
        QVERIFY(encoder.flush());
        QCOMPARE(encoder.framesEncoded(), fed);
        const qint64 bytes = encoder.bytesWritten();
        out.close();
        QCOMPARE(QFileInfo(out.path).size(), bytes);

        const Pcm decoded = decodeFile(out.path);
        const SoundSpan span = soundSpan(decoded);
        QVERIFY2(qAbs(span.length() - double(fed) / kRate) < 0.02, qPrintable(QString::number(span.length())));
        const Pcm steady = decoded.slice(span.start + 0.05, span.end - 0.05);
        QVERIFY2(qAbs(toneFrequency(steady, 0) - kLeftHz) < 1, qPrintable(QString::number(toneFrequency(steady, 0))));
        QVERIFY2(qAbs(toneFrequency(steady, 1) - kRightHz) < 1, qPrintable(QString::number(toneFrequency(steady, 1))));
    }

    void samplesReachTheEncoderTimesTheGain_data()
    {
        QTest::addColumn<float>("gain");
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<double>("expectedDb");
        QTest::newRow("unity") << kUnityGain << 0.5 << sineLevelDb(0.5);
        // The initial gain doubles: a quarter-scale input comes out half scale.
        QTest::newRow("initial gain") << 65534.0f << 0.25 << sineLevelDb(0.5);
        QTest::newRow("a tenth") << kUnityGain / 10 << 0.5 << sineLevelDb(0.05);
    }

    void samplesReachTheEncoderTimesTheGain()
    {
        QFETCH(float, gain);
        QFETCH(double, amplitude);
        QFETCH(double, expectedDb);
        const QString path = m_dir.filePath(QStringLiteral("gain %1.mp3").arg(QLatin1String(QTest::currentDataTag())));
        QVERIFY(encodeWhole(path, stereoTones(kRate, amplitude), gain, true));
        const Pcm decoded = decodeFile(path);
        const Pcm steady = decoded.slice(0.2, 0.9);
        for (int channel : {0, 1})
            QVERIFY2(qAbs(levelDb(steady, channel) - (expectedDb + kLameScaleDb)) < kLevelToleranceDb,
                     qPrintable(QStringLiteral("channel %1: %2 dB").arg(channel).arg(levelDb(steady, channel))));
    }

    void theFlushWritesTheLastSecondsEnd()
    {
        const std::vector<float> second = stereoTones(kRate, 0.5);
        const QString flushed = m_dir.filePath(QStringLiteral("flushed.mp3"));
        const QString unflushed = m_dir.filePath(QStringLiteral("unflushed.mp3"));
        QVERIFY(encodeWhole(flushed, second, kUnityGain, true));
        QVERIFY(encodeWhole(unflushed, second, kUnityGain, false));
        const double withFlush = soundSpan(decodeFile(flushed)).length();
        const double withoutFlush = soundSpan(decodeFile(unflushed)).length();
        QVERIFY2(qAbs(withFlush - 1.0) < 0.015, qPrintable(QString::number(withFlush)));
        // LAME holds back more than a frame (26 ms) until it is flushed.
        QVERIFY2(withoutFlush < withFlush - 0.02, qPrintable(QString::number(withoutFlush)));
    }

    void aFileThatTakesNothingIsAFailure()
    {
        const std::vector<float> tones = stereoTones(2 * kRate, 0.5);
        {
            // Longer than stdio's buffer: a block's write comes back short.
            Output full(QStringLiteral("/dev/full"));
            QVERIFY(full.file);
            Mp3Encoder encoder;
            QVERIFY(encoder.open(full.file, kUnityGain));
            bool encoded = true;
            for (qsizetype at = 0; encoded && at < kRate * 2; at += 512)
                encoded = encoder.encode(tones.data() + 2 * at, 512);
            QVERIFY(!encoded);
            QCOMPARE(encoder.errorText(), QStringLiteral("write fail: No space left on device"));
            QVERIFY(!encoder.encode(tones.data(), 512));
            QVERIFY(!encoder.flush());
        }
        {
            // Short enough to stay in stdio's buffer: the flush finds out.
            Output full(QStringLiteral("/dev/full"));
            Mp3Encoder encoder;
            QVERIFY(encoder.open(full.file, kUnityGain));
            QVERIFY(encoder.encode(tones.data(), 4096));
            QVERIFY(!encoder.flush());
            QCOMPARE(encoder.errorText(), QStringLiteral("write fail: No space left on device"));
        }
    }

    void anEncoderOpensAgainAfterAFailure()
    {
        const std::vector<float> tones = stereoTones(kRate / 2, 0.5);
        Mp3Encoder encoder;
        QVERIFY(!encoder.encode(tones.data(), 512));
        QCOMPARE(encoder.errorText(), QStringLiteral("encoder not open."));

        Output full(QStringLiteral("/dev/full"));
        QVERIFY(encoder.open(full.file, kUnityGain));
        QVERIFY(encoder.encode(tones.data(), 4096));
        QVERIFY(!encoder.flush());

        Output out(m_dir.filePath(QStringLiteral("again.mp3")));
        QVERIFY(encoder.open(out.file, kUnityGain));
        QVERIFY(encoder.errorText().isEmpty());
        QCOMPARE(encoder.framesEncoded(), 0);
        QVERIFY(encoder.encode(tones.data(), kRate / 2));
        QVERIFY(encoder.flush());
        out.close();
        QVERIFY(qAbs(soundSpan(decodeFile(out.path)).length() - 0.5) < 0.015);
    }

private:
    static bool encodeWhole(const QString& path, const std::vector<float>& tones, float gain, bool flush)
    {
        Output out(path);
        Mp3Encoder encoder;
        if (!out.file || !encoder.open(out.file, gain) || !encoder.encode(tones.data(), tones.size() / 2))
            return false;
        return flush ? encoder.flush() : std::fflush(out.file) == 0;
    }

    QTemporaryDir m_dir;
};

REPETA_TEST_MAIN(EncoderTest)
#include "tst_encoder.moc"
