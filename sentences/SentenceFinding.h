// Which sentence file belongs to a media file, and everything a material
// needs from it and from a Chinese companion beside it.
#pragma once

#include "SentenceFile.h"

// The LRC file of a media file: the path up to the last "." of its file name
// (all of it if the name has none), followed by ".lrc"; "a.b.mp3" gives
// "a.b.lrc". A dot in a folder name is no extension. Where sentences found by
// pauses are written.
QString lrcPathFor(const QString& mediaPath);

// For dir/lesson.mp4 the first that exists of lesson.lrc, lesson.srt,
// lesson.vtt, then lesson.en.srt and the like, then other lesson.*.srt, .vtt
// or .lrc that are not Chinese, each group by name. Empty when none.
QString sentenceFileFor(const QString& mediaPath);

// The Chinese subtitle beside the media (lesson.zh.srt, lesson.chs.vtt, ...),
// simplified before traditional; empty when none.
QString chineseCompanionFor(const QString& mediaPath);

// The file found for the media, read; translations added from the Chinese
// companion where a sentence has none (the companion sentence that overlaps it
// most); the last end set to mediaDuration when > 0 and the file gives none.
SentenceRead loadSentencesFor(const QString& mediaPath, float mediaDuration);
