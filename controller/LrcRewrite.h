// Rewriting an LRC file line by line. Lines that a rewrite leaves alone are
// written back as the bytes they were read as, whatever their encoding.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// "[" + minutes + ":" + seconds + "]" without the brackets: 65.5 s gives
// "1:5.5", 3 s gives "0:3"; a negative time gives an empty string.
QString formatLrcTime(float seconds);

// Whether a line holds a time tag such as "[0:11]" anywhere.
bool isTimeTaggedLine(const QString& line);

// The tag of a line: the text between its first character and its first "]".
QString lineTag(const QString& line);

// "[" + the time + "]" + the line's text after its first "]".
QString retaggedLine(const QString& line, float seconds);

struct LrcLine {
    QByteArray raw;   // as read, terminator included; empty at the end of the file
    QString text;     // decoded; a transformation changes this
    bool changed = false;

    bool atEnd() const { return raw.isEmpty() && !changed; }
    void setText(const QString& replacement)
    {
        text = replacement;
        changed = true;
    }
};

// Called for every line with the line after it (read ahead, empty at the end
// of the file); may change both.
using LrcTransformation = std::function<void(LrcLine& current, LrcLine& next)>;

// Writes the transformed file to a temporary file beside it, flushes it to the
// disk and only then renames it over the LRC file, so that a failure at any
// point leaves the old file whole. False when nothing was replaced.
bool rewriteLrc(const QString& lrcPath, const LrcTransformation& transformation);
