#include "LrcReader.h"

#include <QByteArray>
#include <QIODevice>

#include <cmath>

float parseLrcTime(const QString& tag)
{
    const int colon = tag.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return -1.0f;
    bool minutesOk = false;
    bool secondsOk = false;
    const int minutes = tag.left(colon).toInt(&minutesOk, 10);
    const float seconds = tag.mid(colon + 1).toFloat(&secondsOk);
    if (!minutesOk || !secondsOk)
        return -1.0f;
    const float start = float(minutes) * 60.0f + seconds;
    // "nan" and "inf" read as valid numbers but are no position in a file.
    return std::isfinite(start) ? start : -1.0f;
}

bool readLrcLine(const QByteArray& line, LrcTimeline& timeline)
{
    const QString text = QString::fromUtf8(line);
    // The first character is taken to be the opening bracket of the tag.
    const int close = text.indexOf(QLatin1Char(']'), 1);
    if (close <= 1)
        return false;
    const float start = parseLrcTime(text.mid(1, close - 1));
    if (!(start >= 0.0f))
        return false;
    timeline.starts.append(start);
    timeline.texts.append(text.mid(close + 1));
    return true;
}

LrcTimeline readLrc(QIODevice& device)
{
    LrcTimeline timeline;
    while (!device.atEnd()) {
        const QByteArray line = device.readLine(kLrcLineLimit);
        if (line.isEmpty())
            break; // a read error: atEnd() would never become true
        readLrcLine(line, timeline);
    }
    return timeline;
}
