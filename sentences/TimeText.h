// Timestamps as the three formats write them. Inside the reader times are whole
// milliseconds, so that equal tags compare equal and no NaN can arise.
#pragma once

#include <QString>
#include <QStringView>

constexpr qint64 kNoTime = -1;
// 100 hours: no lesson is longer; a later time is garbage, not a position.
constexpr qint64 kMaxTimeMs = 100LL * 3600 * 1000;

enum class TimeSyntax {
    Lrc, // three fields without a point are mm:ss:xx (hundredths); seconds alone need a point
    Cue, // SRT and WebVTT: [hh:]mm:ss[.,]mmm
};

// How a timestamp was written, so that a rewrite keeps the line's style.
struct TimeStyle {
    bool hours = false;
    int decimals = 2;
    QChar point = u'.';
};

struct ParsedTime {
    qint64 ms = kNoTime; // kNoTime when the text is no time or lies past kMaxTimeMs
    TimeStyle style;
};

ParsedTime parseTime(QStringView text, TimeSyntax syntax);

// ms >= 0, rounded to the style's decimals. LRC minutes run past 59; a cue
// time of an hour or more always gets its hours.
QString formatTime(qint64 ms, const TimeStyle& style, TimeSyntax syntax);

float secondsOf(qint64 ms);
// Seconds to milliseconds; kNoTime for a negative, non-finite or too late time.
qint64 msOf(double seconds);
// Into [0, kMaxTimeMs]: what an offset may push a time to.
qint64 clampTime(qint64 ms);
