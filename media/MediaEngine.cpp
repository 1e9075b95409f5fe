#include "MediaEngine.h"

#include "AudioThread.h"
#include "ParseThread.h"
#include "VideoThread.h"

#include "controller/PracticeSpeed.h"

MediaEngine::MediaEngine(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<MediaIdentifier>();
}

MediaEngine::~MediaEngine()
{
    // Taken out first: a receiver of sigPlayStopped that calls back finds
    // nothing open rather than a map being torn down.
    MediaMap media;
    media.swap(m_media);
    for (auto& [id, thread] : media) {
        shutDown(thread);
        emit sigPlayStopped(id);
    }
}

void MediaEngine::shutDown(parseThread* media)
{
    media->stopSequence();
    media->close();
    delete media;
}

parseThread* MediaEngine::find(const MediaIdentifier& id) const
{
    const auto entry = m_media.find(id);
    return entry == m_media.end() ? nullptr : entry->second;
}

double MediaEngine::currentTime(const MediaIdentifier& id) const
{
    const parseThread* media = find(id);
    return media ? media->audioClock() : -1.0;
}

double MediaEngine::duration(const MediaIdentifier& id) const
{
    const parseThread* media = find(id);
    return media ? media->duration() : -1.0;
}

double MediaEngine::speed(const MediaIdentifier& id) const
{
    const parseThread* media = find(id);
    return media ? media->speed() : -1.0;
}

void MediaEngine::doOpen(MediaIdentifier id)
{
    if (find(id))
        return;
    auto* media = new parseThread(this);
    m_media.emplace(id, media);
    media->open(id.path.toUtf8(), id.audio, id.video);
    media->setRange(id.inTime >= 0 ? id.inTime : kNoTime, id.outTime >= 0 ? id.outTime : kNoTime);
    // Queued even when emitted from this thread, so that the entry is never
    // removed under a caller's feet.
    connect(media, &parseThread::sigThreadDone, this, &MediaEngine::parseFinished, Qt::QueuedConnection);
    if (audioThread* audio = media->audio()) {
        connect(audio, &audioThread::sigMarkIn, this, &MediaEngine::doInMarking);
        connect(audio, &audioThread::sigMarkOut, this, &MediaEngine::doOutMarking);
    }
}

bool MediaEngine::doStart(MediaIdentifier id, bool on)
{
    parseThread* media = find(id);
    if (!media)
        return false;
    if (on) {
        media->startOnce();
        return true;
    }
    media->stopSequence();
    // A media that never ran has no thread to report its end: report it here.
    if (!media->hasStarted() && media->isOpen())
        emit media->sigThreadDone();
    return true;
}

bool MediaEngine::doPause(MediaIdentifier id, bool on)
{
    parseThread* media = find(id);
    if (!media)
        return false;
    if (media->isStopping() || media->isPaused() == on)
        return true;
    media->setPaused(on);
    if (audioThread* audio = media->audio())
        audio->setPaused(on);
    if (media->hasVideoThread()) {
        media->video()->setPaused(on);
        id.video->resetClock();
    }
    return true;
}

void MediaEngine::doSeekTime(MediaIdentifier id, double seconds)
{
    parseThread* media = find(id);
    if (!media)
        return;
    const double in = media->inPoint();
    const double out = media->outPoint();
    const bool accepted = seconds >= 0 && (in < 0 || seconds >= in) && (out < 0 || seconds <= out);
    media->requestSeek(accepted ? seconds : kNoTime);
}

void MediaEngine::doSetInOut(MediaIdentifier id, double markIn, double markOut)
{
    parseThread* media = find(id);
    if (!media)
        return;
    const MediaIdentifier& stored = m_media.find(id)->first;
    const bool inAccepted = markIn >= 0 && (markIn >= stored.inTime || stored.inTime < 0);
    // A mark-out beyond the media's own end would never be reached.
    const bool outAccepted = markOut >= 0 && (stored.outTime < 0 || markOut <= stored.outTime);
    media->setMarks(inAccepted ? markIn : kNoTime, outAccepted ? markOut : kNoTime);
}

void MediaEngine::doSetLooping(MediaIdentifier id, bool on)
{
    if (parseThread* media = find(id))
        media->setLooping(on);
}

void MediaEngine::doSetLoopHold(MediaIdentifier id, bool on)
{
    if (parseThread* media = find(id))
        media->setLoopHold(on);
}

void MediaEngine::doSetVolume(MediaIdentifier id, float gain)
{
    if (find(id) && id.audio)
        id.audio->setVolume(gain);
}

void MediaEngine::doSetSpeed(MediaIdentifier id, double speed)
{
    if (parseThread* media = find(id))
        media->setSpeed(speed::snapped(speed));
}

MediaEngine::MediaMap::iterator MediaEngine::findAudioSender()
{
    QObject* origin = sender();
    for (auto entry = m_media.begin(); entry != m_media.end(); ++entry)
        if (origin && entry->second->audio() == origin)
            return entry;
    return m_media.end();
}

void MediaEngine::doInMarking()
{
    const auto entry = findAudioSender();
    if (entry != m_media.end())
        emit sigMarkIn(entry->first);
}

void MediaEngine::doOutMarking()
{
    const auto entry = findAudioSender();
    if (entry == m_media.end())
        return;
    MediaIdentifier marked = entry->first;
    marked.markIn = float(entry->second->markIn());
    marked.markOut = float(entry->second->markOut());
    emit sigMarkOut(marked);
}

void MediaEngine::parseFinished()
{
    QObject* origin = sender();
    for (auto entry = m_media.begin(); entry != m_media.end(); ++entry) {
        if (entry->second != origin)
            continue;
        const MediaIdentifier id = entry->first;
        parseThread* media = entry->second;
        m_media.erase(entry);
        shutDown(media);
        emit sigPlayStopped(id);
        return;
    }
}
