// Plays any number of media at once, each named by a MediaIdentifier and
// served by its own demultiplexing thread and decoding threads. Lives in the
// GUI thread and is only called there; the workers report through queued
// signals.
#pragma once

#include "controller/Contracts.h"

#include <QObject>

#include <map>

class parseThread;

class MediaEngine : public QObject {
    Q_OBJECT
public:
    explicit MediaEngine(QObject* parent = nullptr);
    // Stops every open media, reporting each with sigPlayStopped.
    ~MediaEngine() override;

    // Seconds of the media's audio clock; -1 if not open or without audio.
    double currentTime(const MediaIdentifier& id) const;
    // Seconds of the container; -1 if not open.
    double duration(const MediaIdentifier& id) const;
    // The playback speed; -1 if not open.
    double speed(const MediaIdentifier& id) const;

signals:
    void sigMarkIn(MediaIdentifier id);
    void sigMarkOut(MediaIdentifier id);
    void sigPlayStopped(MediaIdentifier id);

public slots:
    void doOpen(MediaIdentifier id);
    bool doStart(MediaIdentifier id, bool on);
    bool doPause(MediaIdentifier id, bool on);
    void doSeekTime(MediaIdentifier id, double seconds);
    void doSetInOut(MediaIdentifier id, double markIn, double markOut);
    // With both marks set, playback that reaches the mark-out goes on at the
    // mark-in, without a gap: the sound ends at the mark-out's sample and
    // starts again at the mark-in's.
    void doSetLooping(MediaIdentifier id, bool on);
    // A loop held at its end: the sound stops at the mark-out's sample, with
    // its sigMarkOut, and stays silent until the next seek.
    void doSetLoopHold(MediaIdentifier id, bool on);
    void doSetVolume(MediaIdentifier id, float gain);
    // Plays slower or faster at the same pitch, heard within about 100 ms;
    // the speed goes to the grid of controller/PracticeSpeed.h and stays
    // through seeks, loops and pauses. currentTime() stays in the media's own
    // seconds, and a loop's round lasts the sentence's length over the speed.
    void doSetSpeed(MediaIdentifier id, double speed);
    void doInMarking();
    void doOutMarking();
    void parseFinished();

private:
    using MediaMap = std::map<MediaIdentifier, parseThread*>;
    parseThread* find(const MediaIdentifier& id) const;
    MediaMap::iterator findAudioSender();
    // Stops the media, closes it and deletes its thread.
    static void shutDown(parseThread* media);

    MediaMap m_media;
};
