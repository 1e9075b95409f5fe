// Reading an LRC file into the sentence timeline: one sentence per line that
// starts with a valid, non-negative time tag; everything else is skipped.
#pragma once

#include "Contracts.h"

#include <QString>
#include <QVector>

class QByteArray;
class QIODevice;

struct LrcTimeline {
    QVector<QString> texts; // the text after the first tag, terminator included
    QVector<float> starts;  // seconds, in file order
};

// Longest piece of a line taken at once; a longer line is read as several.
constexpr qint64 kLrcLineLimit = 2048;

// Minutes and seconds of a tag without its brackets ("1:02.5" gives 62.5);
// -1 when either number is invalid.
float parseLrcTime(const QString& tag);

// Appends the sentence of one line, if it has one; returns whether it did.
bool readLrcLine(const QByteArray& line, LrcTimeline& timeline);

// Reads every line of an open device.
LrcTimeline readLrc(QIODevice& device);
