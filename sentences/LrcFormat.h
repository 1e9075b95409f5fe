// LRC: lines that start with one or more time tags, metadata tags such as
// [ti:] and [offset:], enhanced word tags, and empty tags that end the
// sentence before them.
#pragma once

#include "SentenceDrafts.h"
#include "TimeText.h"

#include <QStringList>
#include <QVarLengthArray>

struct LrcTag {
    qint64 ms = kNoTime; // as written, before the offset
    qsizetype from = 0; // the brackets included
    qsizetype to = 0;
    TimeStyle style;
};

struct LrcLine {
    QVarLengthArray<LrcTag, 2> times; // the time tags the line starts with
    qsizetype textFrom = 0; // where the text after them begins
    QStringView key; // a metadata tag ("ti", "offset") of a line without times
    QStringView value;
};

LrcLine scanLrcLine(QStringView line);

struct LrcDrafts {
    QVector<SentenceDraft> drafts; // with the offset applied
    QString title;
    qint64 offsetMs = 0; // positive: the text comes earlier than its tags
};

LrcDrafts readLrc(const QStringList& lines);

// The tag for a time as the file writes it (the offset added), in the style of
// the tag it replaces: [mm:ss.xx], with hours or milliseconds where that had them.
QString lrcTag(qint64 fileMs, const TimeStyle& like);
