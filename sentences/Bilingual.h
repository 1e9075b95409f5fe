// Sentence and translation in one text. A bar ("|" or "｜") always parts them;
// otherwise an English sentence (two or more Latin-script words) and Chinese
// (Han characters) in one text part by script, whichever comes first and
// whatever stands between them. Other texts stay whole: "作曲 : Drop" is a
// credit, not a sentence with a translation.
#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

struct TextParts {
    QString text;
    QString translation; // empty when none
    // Where the sentence part stood in the text that was split, so that word
    // timings of the translation can be left out.
    qsizetype textFrom = 0;
    qsizetype textTo = 0;
};

TextParts splitBilingual(const QString& text);

bool hasHan(QStringView text);
// Latin letters and no Han: the English one of two lines with the same time.
bool isEnglish(QStringView text);

// The lines of one subtitle cue: an English line and a Chinese line are
// sentence and translation; lines of one language are joined with a space.
enum class LineRole { Sentence, Translation, Both };
struct CueLines {
    QVector<TextParts> parts; // each line split on its own
    QVector<LineRole> roles;
    TextParts joined;
};
CueLines pairCueLines(const QVector<QString>& lines);
