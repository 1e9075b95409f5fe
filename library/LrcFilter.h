// The filter that the import copies an LRC file through: a bilingual line
// keeps its time tags and its English sentence and loses its Chinese
// translation, so that the sentence views show the English text only.
#pragma once

#include <QString>

class QIODevice;

// Code units from here up count as Chinese: CJK symbols and punctuation
// (the full stop "。" is U+3002), kana, CJK ideographs, fullwidth forms and
// everything beyond, surrogates included. No English sentence holds any.
constexpr char16_t kFirstStrippedUnit = 0x3000;

// The line without the stretch from the unit before its first Chinese unit
// through its last one; a line that starts with Chinese loses the stretch
// from its start. Lines without Chinese come back as they are.
QString stripTranslation(const QString& line);

// Copies the LRC source line by line through stripTranslation. Every line
// keeps its line end, so no line merges with the next; the text of a line
// ends at a NUL byte. False when a read or a write failed.
[[nodiscard]] bool copyLrcStripped(QIODevice& source, QIODevice& destination);
