#include "PaRecThread.h"

#include "SoundLibrary.h"

#include <QLoggingCategory>

#include <portaudio.h>

#include <chrono>
#include <optional>

namespace {
Q_LOGGING_CATEGORY(lcRecord, "repeta.record", QtCriticalMsg)

constexpr int kChannels = 2;
// Only a fallback: the finished callback wakes the wait at once.
constexpr std::chrono::milliseconds kActivityPollInterval{500};
// A finish request that the device's callback has not acted on by then
// means the device stalled (suspended, unplugged): the stream is aborted.
constexpr std::chrono::milliseconds kStalledFinishTimeout{1000};

} // namespace

// The stream's callbacks, on PortAudio's callback thread.
struct PaCallbacks {
    static int capture(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                       PaStreamCallbackFlags, void* user)
    {
        auto* recorder = static_cast<PaRecThread*>(user);
        const std::unique_lock<std::mutex> guard(recorder->m_callbackMutex, std::try_to_lock);
        if (!guard.owns_lock() || recorder->m_abandoned)
            return paAbort;
        // The encoder keeps its failure for run() to report; nothing more is
        // captured into a file that cannot take it.
        if (input && !recorder->m_encoder.encode(static_cast<const float*>(input), frames))
            return paComplete;
        return recorder->m_finish.load() ? paComplete : paContinue;
    }

    static void finished(void* user)
    {
        auto* recorder = static_cast<PaRecThread*>(user);
        {
            const std::lock_guard<std::mutex> lock(recorder->m_endMutex);
            recorder->m_streamEnded.store(true);
        }
        recorder->m_streamEndedChanged.notify_all();
    }
};

PaRecThread::PaRecThread(QObject* parent)
    : QThread(parent)
{
    setObjectName(QStringLiteral("recorder"));
}

PaRecThread::~PaRecThread()
{
    requestFinish();
    wait();
}

void PaRecThread::requestFinish()
{
    m_finish.store(1);
    const std::lock_guard<std::mutex> lock(m_endMutex);
    m_streamEndedChanged.notify_all();
}

void PaRecThread::setOutputFile(std::FILE* file)
{
    m_file = file;
    m_finish.store(0);
    m_encoder.clearCounts();
}

void PaRecThread::run()
{
    m_errorText.clear();
    m_abandoned = false; // no stream, so no callback, yet
    {
        const std::lock_guard<std::mutex> lock(m_endMutex);
        m_streamEnded.store(false);
    }
    if (!record())
        qCWarning(lcRecord, "recording failed: %s", qUtf8Printable(m_errorText));
    m_encoder.close();
}

bool PaRecThread::record()
{
    std::FILE* const file = m_file;
    if (!file)
        return fail(QStringLiteral("NULL file pointer."));
    if (!m_encoder.open(file, m_gain.load()))
        return fail(m_encoder.errorText());
    QString libraryError;
    if (!soundlibrary::ensureInitialised(&libraryError))
        return fail(libraryError);
    if (!captureFromDefaultInput())
        return false;
    if (!m_encoder.flush())
        return fail(m_encoder.errorText());
    return true;
}

bool PaRecThread::captureFromDefaultInput()
{
    const PaDeviceIndex device = Pa_GetDefaultInputDevice();
    const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
    if (!info)
        return fail(QStringLiteral("portaudio: No input device."));
    PaStreamParameters input{};
    input.device = device;
    input.channelCount = kChannels;
    input.sampleFormat = paFloat32;
    input.suggestedLatency = info->defaultLowInputLatency;
    input.hostApiSpecificStreamInfo = nullptr;

    PaStream* stream = nullptr;
    PaError error = Pa_OpenStream(&stream, &input, nullptr, Mp3Encoder::kSampleRateHz, Mp3Encoder::kBlockFrames,
                                  paClipOff, &PaCallbacks::capture, this);
    if (error != paNoError)
        return fail(soundlibrary::errorText(error));
    error = Pa_SetStreamFinishedCallback(stream, &PaCallbacks::finished);
    if (error == paNoError)
        error = Pa_StartStream(stream);
    if (error != paNoError) {
        Pa_CloseStream(stream);
        return fail(soundlibrary::errorText(error));
    }
    waitForStreamEnd(stream);
    error = Pa_CloseStream(stream);
    if (error != paNoError)
        return fail(soundlibrary::errorText(error));
    if (m_encoder.failed())
        return fail(m_encoder.errorText());
    // Without one frame the file would hold only the encoder's padding, which
    // the owner must not take for a recording.
    if (m_encoder.framesEncoded() == 0)
        return fail(QStringLiteral("portaudio: No sound captured."));
    return true;
}

void PaRecThread::waitForStreamEnd(void* stream)
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(m_endMutex);
    std::optional<Clock::time_point> abortAt;
    for (;;) {
        if (m_streamEnded.load() || Pa_IsStreamActive(stream) != 1)
            return;
        // The finish request acts only in the callback, which a stalled
        // device never calls again.
        if (!abortAt && m_finish.load())
            abortAt = Clock::now() + kStalledFinishTimeout;
        if (abortAt && Clock::now() >= *abortAt)
            break;
        m_streamEndedChanged.wait_for(lock, kActivityPollInterval);
    }
    lock.unlock();
    qCWarning(lcRecord, "the input delivers nothing; stopping it");
    {
        // Waits out a block being encoded; later calls leave the encoder
        // alone, so the abort cannot cut one short.
        const std::lock_guard<std::mutex> guard(m_callbackMutex);
        m_abandoned = true;
    }
    Pa_AbortStream(stream);
}

bool PaRecThread::fail(const QString& text)
{
    m_errorText = text;
    return false;
}
