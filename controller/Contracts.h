// The agreements between the practice controller and every other folder:
// the identifiers of media and waveform requests, the view and device
// interfaces, and the handler pair through which views call back.
#pragma once

#include <functional>

#include <QColor>
#include <QMetaType>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QVector>

#include "analysis/Comparison.h"
#include "sentences/Sentence.h"

class Repeta;

// One open media. The marks are only filled in the copy that sigMarkOut
// carries and take no part in the ordering, so identifiers that differ only
// in their marks name the same media.
class AudioDev;
class VideoDev;
struct MediaIdentifier {
    QString path;
    float inTime = -1.0f;
    float outTime = -1.0f;
    float markIn = -1.0f;
    float markOut = -1.0f;
    AudioDev* audio = nullptr;
    VideoDev* video = nullptr;
};

inline bool operator<(const MediaIdentifier& a, const MediaIdentifier& b)
{
    if (a.path != b.path)
        return a.path < b.path;
    if (a.inTime != b.inTime)
        return a.inTime < b.inTime;
    if (a.outTime != b.outTime)
        return a.outTime < b.outTime;
    if (a.audio != b.audio)
        return std::less<AudioDev*>()(a.audio, b.audio);
    return std::less<VideoDev*>()(a.video, b.video);
}

inline bool operator==(const MediaIdentifier& a, const MediaIdentifier& b)
{
    return !(a < b) && !(b < a);
}

// One waveform request: a whole file (start -1) or a piece of it; end -1 is
// the end of the file.
struct PlotIdentifier {
    QString path;
    float start = -1.0f;
    float end = -1.0f;

    bool isWholeFile() const { return start == -1.0f; }
};

inline bool operator==(const PlotIdentifier& a, const PlotIdentifier& b)
{
    return a.path == b.path && a.start == b.start && a.end == b.end;
}

inline bool operator!=(const PlotIdentifier& a, const PlotIdentifier& b) { return !(a == b); }

inline bool operator<(const PlotIdentifier& a, const PlotIdentifier& b)
{
    if (a.path < b.path)
        return true;
    if (a.path != b.path)
        return false;
    if (a.start < b.start)
        return true;
    if (a.start != b.start)
        return false;
    return a.end < b.end;
}

Q_DECLARE_METATYPE(MediaIdentifier)
Q_DECLARE_METATYPE(PlotIdentifier)

// A view calls the controller through (object->*operation)(argument); a null
// operation or object means nothing is called.
using SentenceHandler = void (Repeta::*)(int);
using SeekHandler = void (Repeta::*)(float);

template <typename Handler, typename Arg>
void callHandler(Repeta* object, Handler operation, Arg argument)
{
    if (object && operation)
        (object->*operation)(argument);
}

// What the sentence drill is doing, for the control panel to show.
struct DrillState {
    enum Stage { Off, Rounds, Speaking, PlayBack, Failed };
    Stage stage = Off;
    int round = 0; // Rounds: 1-based, of `rounds`
    int rounds = 0;
    double remainingSeconds = 0; // Speaking: the learner's time left, of totalSeconds
    double totalSeconds = 0;
    QString message; // Failed: why the drill ended, for the learner
};

// The interfaces carry no data. Their destructors are protected and not
// virtual: nobody deletes a view through them. The one exception is the audio
// device, which the controller creates and deletes itself, as its concrete type.

class vCtrlWidget {
public:
    virtual void setOriPlayEnabled(bool on) = 0;
    virtual void setPcePlayEnabled(bool on) = 0;
    virtual void setRecPlayEnabled(bool on) = 0;
    virtual void setOriPlayChecked(bool on) = 0;
    virtual void setPcePlayChecked(bool on) = 0;
    virtual void setRecPlayChecked(bool on) = 0;
    virtual void setOriRowVisible(bool on) = 0;
    virtual void setPceRowVisible(bool on) = 0;
    virtual void setRecRowVisible(bool on) = 0;
    virtual void setPracticeEnabled(bool on) = 0;
    virtual void setPhaseEnabled(bool enabled, int tab) = 0;
    virtual void setRecordChecked(bool on) = 0;
    virtual void setHelpMode(bool on) = 0;
    virtual void setTextTabOffset(const QPoint& offset) = 0;
    virtual void setRecTime(const QString& text) = 0;
    virtual void setPceTime(const QString& text) = 0;
    virtual void setOriTime(const QString& text) = 0;
    // The playback speed in force, for the speed control to show.
    virtual void setSpeed(double speed) = 0;
    virtual void setDrillChecked(bool on) = 0;
    virtual void showDrill(const DrillState& state) = 0;

protected:
    ~vCtrlWidget() = default;
};

class vPlotWidget {
public:
    virtual void setTintColor(const QColor& color) = 0;
    virtual void setPlotting(bool on) = 0;
    virtual void setRecording(bool on) = 0;
    virtual void setMarking(bool on) = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setPixmap(const QPixmap* picture) = 0;
    // Each sentence's start and end in seconds (an end of -1: to the end of
    // the media); null for no sentences. Not owned: the controller's timeline.
    virtual void setSentenceTimes(const QVector<float>* starts, const QVector<float>* ends) = 0;
    virtual void setDuration(float seconds) = 0;
    virtual void setPosition(float fraction) = 0;
    virtual void setCurrentSentence(int index) = 0;
    virtual void setSentenceHandler(SentenceHandler handler) = 0;
    virtual void setSeekHandler(SeekHandler handler) = 0;
    virtual void setHandlerObject(Repeta* controller) = 0;
    virtual bool marks(float* in, float* out) = 0;

protected:
    ~vPlotWidget() = default;
};

class vTabsWidget {
public:
    virtual void setTabEnabled(int index, bool on) = 0;
    virtual void setCurrentIndex(int index) = 0;
    virtual void showSentence(int current, int above, int below) = 0;
    virtual void setKaraokeProgress(float fraction) = 0;
    virtual void setSentences(const QVector<Sentence>& sentences) = 0;
    virtual QString selectedText() = 0;
    virtual QString sentenceText(int n) = 0;
    // The learner's take held against the model sentence; when result.ok is
    // false, error says why (empty: there is no take to compare).
    virtual void showComparison(const Comparison& result, const Sentence& sentence) = 0;
    // Brings the comparison's page forward.
    virtual void showComparisonPage() = 0;

protected:
    ~vTabsWidget() = default;
};

class vExporter {
public:
    virtual void setMaterialDir(const QString& dir) = 0;
    virtual void refresh() = 0;
    virtual void setSentenceCount(int count) = 0;
    virtual int exec() = 0;
    // comparison: the model sentences and their takes, one after the other.
    virtual void targetPaths(QString& imitation, QString& repeat, QString& retelling, QString& comparison) = 0;

protected:
    ~vExporter() = default;
};

class AudioDev {
public:
    virtual int write(const char* data, int length) = 0;
    virtual bool setFormat(int sampleRate, int sampleSize, int channels) = 0;
    virtual void stop() = 0;
    virtual void setVolume(float gain) = 0;

protected:
    ~AudioDev() = default;
};

struct VideoPicture; // a converted picture of the media engine
class VideoDev {
public:
    virtual void pushFrame(const VideoPicture& picture) = 0;
    virtual void setAspect(float ratio) = 0;
    virtual void setFormat(int width, int height, int pixelFormat, bool on) = 0;
    virtual void resetClock() = 0;

protected:
    ~VideoDev() = default;
};
