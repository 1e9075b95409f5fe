// Plays any number of media at once, each named by a MediaIdentifier.
#pragma once

#include "controller/Contracts.h"

#include <QObject>

class MediaEngine : public QObject {
    Q_OBJECT
public:
    explicit MediaEngine(QObject* parent = nullptr);
    ~MediaEngine() override;

    double currentTime(const MediaIdentifier& id) const;
    double duration(const MediaIdentifier& id) const;

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
    void doSetVolume(MediaIdentifier id, float gain);
};
