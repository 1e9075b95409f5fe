// Nothing is opened yet: every identifier is "not open", so each member
// answers as it does for an unknown identifier.
#include "MediaEngine.h"

MediaEngine::MediaEngine(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<MediaIdentifier>();
}

MediaEngine::~MediaEngine() = default;

double MediaEngine::currentTime(const MediaIdentifier&) const { return -1.0; }
double MediaEngine::duration(const MediaIdentifier&) const { return -1.0; }
void MediaEngine::doOpen(MediaIdentifier) {}
bool MediaEngine::doStart(MediaIdentifier, bool) { return false; }
bool MediaEngine::doPause(MediaIdentifier, bool) { return false; }
void MediaEngine::doSeekTime(MediaIdentifier, double) {}
void MediaEngine::doSetInOut(MediaIdentifier, double, double) {}
void MediaEngine::doSetVolume(MediaIdentifier, float) {}
