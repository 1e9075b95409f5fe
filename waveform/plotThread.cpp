#include "plotThread.h"

#include "Columns.h"

#include <QLoggingCategory>

#include <algorithm>

// The developer's trace of requests that draw nothing; off by default, since
// the learner only sees the black picture (QT_LOGGING_RULES="repeta.waveform=true").
Q_LOGGING_CATEGORY(lcWaveform, "repeta.waveform", QtCriticalMsg)

namespace {

// Where a split whole-file request hands over to its helper: about half the
// picture each.
constexpr int kSplitColumn = wave::kColumns / 2;
// Range times beyond this are taken as this, so that no time overflows a
// timestamp; no media file is that long.
constexpr double kLongestRangeSeconds = 1e6;

} // namespace

// The second half of a split request: its own demuxer and decoder, its own
// columns, its own thread.
struct plotThread::Part {
    explicit Part(double samplesPerColumn)
        : columns(samplesPerColumn, kSplitColumn)
    {
    }
    AudioDecoder decoder;
    Columns columns;
    std::unique_ptr<QThread> thread;
    std::atomic<bool> completed{false}; // written by the helper as its last act
};

plotThread::plotThread(QObject* parent)
    : QThread(parent)
    , m_picture(wave::blankPicture())
{
    setObjectName(QStringLiteral("plotThread"));
}

plotThread::~plotThread()
{
    requestStop();
    wait();
    closeSource();
}

bool plotThread::openSource(const QByteArray& path)
{
    m_path = path;
    if (!m_decoder.open(path, &m_stopRequested)) {
        qCWarning(lcWaveform) << "cannot open" << path;
        return false;
    }
    if (!m_decoder.hasAudio())
        qCWarning(lcWaveform) << "no decodable audio stream in" << path;
    else if (m_decoder.durationSeconds() <= 0)
        qCWarning(lcWaveform) << "unknown duration of" << path;
    return true;
}

void plotThread::closeSource()
{
    if (m_runEnded.load(std::memory_order_acquire) || !isRunning())
        m_decoder.close();
}

void plotThread::setRange(float start, float end)
{
    const double timeBase = m_decoder.timeBaseSeconds();
    if (!m_decoder.hasAudio() || timeBase <= 0)
        return;
    // Seconds count from the first sample, which need not have timestamp 0.
    auto timestamp = [&](float seconds) {
        return int64_t(std::min<double>(seconds, kLongestRangeSeconds) / timeBase) + m_decoder.startTimestamp();
    };
    if (start >= 0)
        m_startTs = timestamp(start);
    if (end >= 0)
        m_endTs = timestamp(end);
}

void plotThread::run()
{
    m_picture = wave::blankPicture();
    const double perColumn = samplesPerColumn();
    // Nothing to measure (no file, no sound, no length, an empty range) is a
    // black picture, delivered like any other.
    const bool delivered = perColumn <= 0 || drawSound(perColumn);
    if (delivered) {
        m_delivered.store(true, std::memory_order_release);
        emit sigThreadDone();
    }
    m_runEnded.store(true, std::memory_order_release);
}

// Interleaved samples per column over the requested span; 0 when there is
// nothing to draw.
double plotThread::samplesPerColumn()
{
    const double duration = m_decoder.durationSeconds();
    if (!m_decoder.hasAudio() || duration <= 0)
        return 0;
    const double perColumn = duration * m_decoder.sampleRate() * m_decoder.channels() / wave::kColumns;
    if (m_startTs == -1)
        return perColumn;
    if (m_endTs == -1)
        m_endTs = int64_t(duration / m_decoder.timeBaseSeconds()) + m_decoder.startTimestamp();
    return std::max(0.0, perColumn * (m_endTs - m_startTs) * m_decoder.timeBaseSeconds() / duration);
}

// False when stopped.
bool plotThread::drawSound(double perColumn)
{
    std::unique_ptr<Part> second;
    if (m_startTs != -1) {
        m_decoder.startAt(m_startTs);
        m_decoder.setEnd(m_endTs);
    } else if (m_parts > 1) {
        second = startSecondPart(perColumn);
    }
    Columns first(perColumn, 0, second ? kSplitColumn : wave::kColumns);
    const bool decoded = decode(m_decoder, first);
    if (second) {
        second->thread->wait();
        if (!second->completed.load(std::memory_order_acquire))
            return false;
    }
    if (!decoded)
        return false;
    first.draw(m_picture);
    if (second)
        second->columns.draw(m_picture);
    return true;
}

// Null when the helper cannot reproduce the single pass exactly (its file does
// not open, or the seek lands after the first sample it needs): the first part
// then takes every column.
std::unique_ptr<plotThread::Part> plotThread::startSecondPart(double perColumn)
{
    auto part = std::make_unique<Part>(perColumn);
    AudioDecoder& decoder = part->decoder;
    if (!decoder.open(m_path, &m_stopRequested) || !decoder.hasAudio())
        return nullptr;
    const int channels = decoder.channels();
    decoder.startAt(decoder.timestampOfFrame(part->columns.firstSample() / channels));

    SampleBlock block;
    AudioDecoder::Step step = AudioDecoder::Step::Nothing;
    while (step == AudioDecoder::Step::Nothing && !m_stopRequested.load())
        step = decoder.next(block);
    if (step != AudioDecoder::Step::Samples)
        return nullptr;
    const int64_t position = decoder.frameAtTimestamp(decoder.blockTimestamp()) * channels;
    if (position > part->columns.firstSample())
        return nullptr;
    part->columns.setPosition(position);
    part->columns.feed(block.samples, block.count);

    Part* helper = part.get();
    part->thread.reset(QThread::create([this, helper] {
        helper->completed.store(decode(helper->decoder, helper->columns), std::memory_order_release);
    }));
    part->thread->setObjectName(QStringLiteral("plotThread part"));
    part->thread->start();
    return part;
}

// Feeds the columns until they are complete or the sound ends; false when stopped.
bool plotThread::decode(AudioDecoder& decoder, Columns& columns)
{
    SampleBlock block;
    while (!columns.complete()) {
        if (m_stopRequested.load())
            return false;
        const AudioDecoder::Step step = decoder.next(block);
        if (step == AudioDecoder::Step::End) {
            columns.finish();
            break;
        }
        if (step == AudioDecoder::Step::Samples)
            columns.feed(block.samples, block.count);
    }
    // A stop can also end the reading itself, through the interrupt callback.
    return !m_stopRequested.load();
}
