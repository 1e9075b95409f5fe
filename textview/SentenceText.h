// A sentence of the timeline as one paragraph of display text.
#pragma once

#include <QString>

// Drops the sentence's line break and turns any break inside it into a
// space: the list keeps every sentence in exactly one block, and the karaoke
// view lays it out as one paragraph.
QString asOneParagraph(QString text);
