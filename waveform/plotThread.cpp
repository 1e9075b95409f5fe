#include "plotThread.h"

#include "Columns.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cmath>

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
    if (!m_decoder.hasAudio())
        return;
    if (start >= 0)
        m_start = std::min<double>(start, kLongestRangeSeconds);
    if (end >= 0)
        m_end = std::min<double>(end, kLongestRangeSeconds);
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
    if (m_start < 0)
        return perColumn;
    if (m_end < 0)
        m_end = duration;
    return std::max(0.0, perColumn * (m_end - m_start) / duration);
}

// False when stopped.
bool plotThread::drawSound(double perColumn)
{
    std::unique_ptr<Part> second;
    int64_t origin = 0; // the frame of the sound that column 0 starts with
    if (m_start >= 0) {
        m_decoder.startAtSeconds(m_start);
        m_decoder.setEndSeconds(m_end);
        origin = std::llround(m_start * m_decoder.sampleRate());
    } else if (m_parts > 1) {
        second = startSecondPart(perColumn);
    }
    Columns first(perColumn, 0, second ? kSplitColumn : wave::kColumns);
    const bool decoded = decode(m_decoder, first, origin);
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
    decoder.startAtSeconds(double(part->columns.firstSample() / channels) / decoder.sampleRate());

    SampleBlock block;
    AudioDecoder::Step step = AudioDecoder::Step::Nothing;
    while (step == AudioDecoder::Step::Nothing && !m_stopRequested.load())
        step = decoder.next(block);
    if (step != AudioDecoder::Step::Samples)
        return nullptr;
    const int64_t position = decoder.blockFrame() * channels;
    if (position > part->columns.firstSample())
        return nullptr;
    part->columns.setPosition(position);
    part->columns.feed(block.samples, block.count);

    Part* helper = part.get();
    part->thread.reset(QThread::create([this, helper] {
        helper->completed.store(decode(helper->decoder, helper->columns, 0), std::memory_order_release);
    }));
    part->thread->setObjectName(QStringLiteral("plotThread part"));
    part->thread->start();
    return part;
}

// Feeds the columns until they are complete or the sound ends, each block
// where it lies after the frame `origin`; false when stopped.
bool plotThread::decode(AudioDecoder& decoder, Columns& columns, int64_t origin)
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
        if (step == AudioDecoder::Step::Samples) {
            columns.setPosition((decoder.blockFrame() - origin) * decoder.channels());
            columns.feed(block.samples, block.count);
        }
    }
    // A stop can also end the reading itself, through the interrupt callback.
    return !m_stopRequested.load();
}
