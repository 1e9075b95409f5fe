#include "Bilingual.h"

#include <QStringList>

namespace {

constexpr int kMinEnglishWords = 2;

// Code points with the index of the next one; surrogate pairs as one.
char32_t codePointAt(QStringView text, qsizetype i, qsizetype* next)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *next = i + 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    *next = i + 1;
    return c.unicode();
}

bool isHanCode(char32_t c)
{
    return c >= 0x2E80 && QChar::script(c) == QChar::Script_Han;
}

bool isLatinLetter(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin;
}

// Han, CJK punctuation ("。", "、") and full-width punctuation ("，", "？").
bool isCjk(char32_t c)
{
    return isHanCode(c) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF && !QChar::isLetterOrNumber(c));
}

bool isApostrophe(char32_t c)
{
    return c == u'\'' || c == u'’';
}

// Runs of Latin letters; an apostrophe between letters ("it's") keeps a run.
int latinWords(QStringView text)
{
    int words = 0;
    bool inWord = false;
    for (qsizetype i = 0, next = 0; i < text.size(); i = next) {
        const char32_t c = codePointAt(text, i, &next);
        if (isLatinLetter(c)) {
            words += inWord ? 0 : 1;
            inWord = true;
        } else if (!(inWord && isApostrophe(c) && next < text.size() && isLatinLetter(text[next].unicode()))) {
            inWord = false;
        }
    }
    return words;
}

constexpr QStringView kSeparators = u"/\\|-–—:：,，;；、~～·";
constexpr QStringView kOpeners = u"([{（【「『《〈";
constexpr QStringView kClosers = u")]}）】」』》〉";

bool isSeparator(QChar c)
{
    return c.isSpace() || kSeparators.contains(c);
}

// What stood between the two languages goes: separators, and brackets that
// one half opened for the other ("Hello (你好)").
QString tidy(QStringView part)
{
    auto trimSeparators = [](QStringView s) {
        while (!s.isEmpty() && isSeparator(s.front()))
            s = s.sliced(1);
        while (!s.isEmpty() && isSeparator(s.back()))
            s.chop(1);
        return s;
    };
    part = trimSeparators(part);
    if (part.isEmpty())
        return QString();
    const qsizetype opener = kOpeners.indexOf(part.front());
    if (opener >= 0 && part.size() >= 2 && part.indexOf(kClosers[opener], 1) == part.size() - 1) {
        part = part.sliced(1, part.size() - 2);
    } else {
        if (opener >= 0 && !part.contains(kClosers[opener]))
            part = part.sliced(1);
        if (!part.isEmpty() && (kOpeners.contains(part.back()) || part.back() == u'“'))
            part.chop(1);
        const qsizetype closer = part.isEmpty() ? -1 : kClosers.indexOf(part.back());
        if (closer >= 0 && !part.contains(kOpeners[closer]))
            part.chop(1);
        if (!part.isEmpty() && (kClosers.contains(part.front()) || part.front() == u'”'))
            part = part.sliced(1);
    }
    return trimSeparators(part).toString();
}

struct ScriptScan {
    qsizetype firstHan = -1;
    qsizetype firstLatin = -1;
    qsizetype afterLastCjk = -1; // index after the last CJK character
};

ScriptScan scanScripts(QStringView text)
{
    ScriptScan scan;
    for (qsizetype i = 0, next = 0; i < text.size(); i = next) {
        const char32_t c = codePointAt(text, i, &next);
        if (isHanCode(c) && scan.firstHan < 0)
            scan.firstHan = i;
        if (isLatinLetter(c) && scan.firstLatin < 0)
            scan.firstLatin = i;
        if (isCjk(c))
            scan.afterLastCjk = next;
    }
    return scan;
}

TextParts splitByScript(const QString& text)
{
    const ScriptScan scan = scanScripts(text);
    if (scan.firstHan < 0 || scan.firstLatin < 0)
        return {text, QString(), 0, text.size()};
    const QStringView view(text);
    // English first: everything before the first Han character.
    const QStringView englishHead = view.left(scan.firstHan);
    // Chinese first: everything after the last CJK character.
    const QStringView englishTail = view.mid(scan.afterLastCjk);
    const bool headFirst = scan.firstLatin < scan.firstHan;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if ((attempt == 0) == headFirst) {
            if (latinWords(englishHead) >= kMinEnglishWords)
                return {tidy(englishHead), tidy(view.mid(scan.firstHan)), 0, scan.firstHan};
        } else if (latinWords(englishTail) >= kMinEnglishWords) {
            return {tidy(englishTail), tidy(view.left(scan.afterLastCjk)), scan.afterLastCjk, text.size()};
        }
    }
    return {text, QString(), 0, text.size()};
}

// Lines joined with a space; a line that markup left empty adds nothing.
QString joined(QStringList pieces)
{
    pieces.removeAll(QString());
    return pieces.join(QLatin1Char(' '));
}

} // namespace

TextParts splitBilingual(const QString& text)
{
    qsizetype bar = -1;
    for (qsizetype i = 0; i < text.size() && bar < 0; ++i) {
        if (text[i] == u'|' || text[i] == u'｜')
            bar = i;
    }
    if (bar < 0)
        return splitByScript(text);
    const QString left = text.left(bar).trimmed();
    const QString right = text.mid(bar + 1).trimmed();
    if (left.isEmpty())
        return {right, QString(), bar + 1, text.size()};
    return {left, right, 0, bar};
}

bool hasHan(QStringView text)
{
    return scanScripts(text).firstHan >= 0;
}

bool isEnglish(QStringView text)
{
    const ScriptScan scan = scanScripts(text);
    return scan.firstLatin >= 0 && scan.firstHan < 0;
}

CueLines pairCueLines(const QVector<QString>& lines)
{
    CueLines cue;
    bool english = false;
    for (const QString& line : lines) {
        const TextParts parts = splitBilingual(line);
        const ScriptScan scan = scanScripts(parts.text);
        LineRole role = LineRole::Sentence;
        if (!parts.translation.isEmpty())
            role = LineRole::Both;
        else if (scan.firstHan >= 0)
            role = LineRole::Translation;
        english = english || role == LineRole::Both || (role == LineRole::Sentence && scan.firstLatin >= 0);
        cue.parts.append(parts);
        cue.roles.append(role);
    }
    QStringList texts;
    QStringList translations;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Without an English line, Chinese lines are the sentence itself.
        if (cue.roles[i] == LineRole::Translation && !english)
            cue.roles[i] = LineRole::Sentence;
        const TextParts& parts = cue.parts[i];
        (cue.roles[i] == LineRole::Translation ? translations : texts).append(parts.text);
        if (!parts.translation.isEmpty())
            translations.append(parts.translation);
    }
    cue.joined = {joined(texts), joined(translations), 0, 0};
    return cue;
}
