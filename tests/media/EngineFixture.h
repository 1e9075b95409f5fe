// An engine with real audio devices on the default output: opens media,
// deletes each device when its media has stopped, and waits for signals.
#pragma once

#include "media/IAudio.h"
#include "media/MediaEngine.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

class EngineFixture {
public:
    EngineFixture()
        : engine(std::make_unique<MediaEngine>())
        , stopped(engine.get(), &MediaEngine::sigPlayStopped)
        , markedIn(engine.get(), &MediaEngine::sigMarkIn)
        , markedOut(engine.get(), &MediaEngine::sigMarkOut)
    {
        // As the controller does: a media's device goes when it has stopped.
        QObject::connect(engine.get(), &MediaEngine::sigPlayStopped, [this](const MediaIdentifier& id) {
            for (auto device = devices.begin(); device != devices.end(); ++device) {
                if (device->get() == id.audio) {
                    devices.erase(device);
                    return;
                }
            }
        });
    }

    // A fresh device for every opening, as the controller makes them.
    MediaIdentifier open(const QString& path, VideoDev* video = nullptr)
    {
        return openRange(path, -1.0f, -1.0f, video);
    }

    // An opening with a range of its own, in seconds of the file.
    MediaIdentifier openRange(const QString& path, float inTime, float outTime, VideoDev* video = nullptr)
    {
        auto audio = std::make_unique<IAudio>();
        audio->useDefaultOutput();
        MediaIdentifier id;
        id.path = path;
        id.audio = audio.get();
        id.video = video;
        id.inTime = inTime;
        id.outTime = outTime;
        devices.push_back(std::move(audio));
        engine->doOpen(id);
        return id;
    }

    MediaIdentifier play(const QString& path, VideoDev* video = nullptr)
    {
        const MediaIdentifier id = open(path, video);
        engine->doStart(id, true);
        return id;
    }

    bool waitStopped(int count, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (stopped.count() < count && clock.elapsed() < timeoutMs)
            stopped.wait(int(timeoutMs - clock.elapsed()));
        return stopped.count() >= count;
    }

    // Lets the event loop run, so that queued worker signals arrive.
    static void run(int ms) { QTest::qWait(ms); }

    // Declared first: devices left over outlive the engine that writes to them.
    std::vector<std::unique_ptr<IAudio>> devices;
    std::unique_ptr<MediaEngine> engine;
    QSignalSpy stopped;
    QSignalSpy markedIn;
    QSignalSpy markedOut;
};
