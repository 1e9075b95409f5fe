#include "SentenceFinding.h"

#include "Bilingual.h"
#include "SentenceLog.h"
#include "TimeText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

// Companion sentences looked at on either side of where a sentence starts:
// plenty for real subtitles, and a bound on the work for absurd ones.
constexpr qsizetype kMaxCandidates = 64;

constexpr QStringView kExtensions[] = {u"lrc", u"srt", u"vtt"};

// What the part between the name and the extension says: "en", "zh-CN", "chs".
enum class Language { None, English, EnglishVariant, Other, Simplified, Traditional };

bool isChineseTag(const QString& tag)
{
    static const QStringList names
        = {QStringLiteral("chs"),     QStringLiteral("cht"),  QStringLiteral("chi"),  QStringLiteral("cn"),
           QStringLiteral("chinese"), QStringLiteral("sc"),   QStringLiteral("tc"),   QStringLiteral("gb"),
           QStringLiteral("big5"),    QStringLiteral("中文"), QStringLiteral("简体"), QStringLiteral("繁体")};
    return tag.startsWith(u"zh") || names.contains(tag);
}

bool isTraditionalTag(const QString& tag)
{
    static const QStringList marks
        = {QStringLiteral("tw"),  QStringLiteral("hk"), QStringLiteral("mo"),   QStringLiteral("hant"),
           QStringLiteral("cht"), QStringLiteral("tc"), QStringLiteral("big5"), QStringLiteral("繁体")};
    const QStringList parts = QString(tag).replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'));
    return std::any_of(parts.begin(), parts.end(), [](const QString& part) { return marks.contains(part); });
}

Language languageOf(const QString& middle)
{
    if (middle.isEmpty())
        return Language::None;
    const QStringList tags = middle.toLower().split(QLatin1Char('.'));
    for (const QString& tag : tags) {
        if (isChineseTag(tag))
            return isTraditionalTag(tag) ? Language::Traditional : Language::Simplified;
    }
    for (const QString& tag : tags) {
        if (tag == u"en" || tag == u"eng" || tag == u"english")
            return Language::English;
        if (tag.startsWith(u"en-") || tag.startsWith(u"en_"))
            return Language::EnglishVariant;
    }
    return Language::Other;
}

struct Candidate {
    QString path;
    Language language;
    int extensionRank; // lrc, srt, vtt
    QString name; // lower case, for a fixed order
};

// The sentence files beside a media file, best first within each language.
QVector<Candidate> candidatesFor(const QString& mediaPath)
{
    const QFileInfo media(mediaPath);
    const QString base = media.completeBaseName().toLower() + QLatin1Char('.');
    QVector<Candidate> found;
    const QDir dir = media.absoluteDir();
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Readable, QDir::Name)) {
        const QString name = entry.toLower();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (!name.startsWith(base) || dot < base.size() - 1)
            continue;
        const auto extension
            = std::find(std::begin(kExtensions), std::end(kExtensions), QStringView(name).sliced(dot + 1));
        if (extension == std::end(kExtensions))
            continue;
        const QString middle = dot > base.size() ? name.mid(base.size(), dot - base.size()) : QString();
        found.append(
            Candidate {dir.filePath(entry), languageOf(middle), int(extension - std::begin(kExtensions)), name});
    }
    std::stable_sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        if (a.language != b.language)
            return a.language < b.language;
        if (a.language == Language::None)
            return a.extensionRank < b.extensionRank;
        return a.name < b.name;
    });
    return found;
}

QString firstOf(const QVector<Candidate>& candidates, Language from, Language to)
{
    for (const Candidate& candidate : candidates) {
        if (candidate.language >= from && candidate.language <= to)
            return candidate.path;
    }
    return QString();
}

float effectiveEnd(const Sentence& sentence)
{
    return sentence.end < 0 ? secondsOf(kMaxTimeMs) : sentence.end;
}

// The Chinese of a companion sentence: its text, or its translation where
// the companion is itself bilingual with English first.
QString chineseOf(const Sentence& sentence)
{
    return hasHan(sentence.text) || sentence.translation.isEmpty() ? sentence.text : sentence.translation;
}

// Each sentence without a translation gets the companion sentence that
// overlaps it most. Both lists are in time order.
void addTranslations(QVector<Sentence>& sentences, const QVector<Sentence>& chinese)
{
    for (Sentence& sentence : sentences) {
        if (!sentence.translation.isEmpty())
            continue;
        const float end = effectiveEnd(sentence);
        const qsizetype at = std::lower_bound(chinese.begin(), chinese.end(), sentence.start,
                                              [](const Sentence& c, float t) { return c.start < t; })
            - chinese.begin();
        float best = 0;
        const Sentence* match = nullptr;
        for (qsizetype k = std::max<qsizetype>(0, at - kMaxCandidates);
             k < std::min(chinese.size(), at + kMaxCandidates) && chinese[k].start < end; ++k) {
            const float overlap = std::min(end, effectiveEnd(chinese[k])) - std::max(sentence.start, chinese[k].start);
            if (overlap > best) {
                best = overlap;
                match = &chinese[k];
            }
        }
        if (match)
            sentence.translation = chineseOf(*match);
    }
}

} // namespace

QString lrcPathFor(const QString& mediaPath)
{
    const qsizetype dot = mediaPath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > mediaPath.lastIndexOf(QLatin1Char('/')) ? mediaPath.left(dot) : mediaPath;
    return stem + QStringLiteral(".lrc");
}

QString sentenceFileFor(const QString& mediaPath)
{
    return firstOf(candidatesFor(mediaPath), Language::None, Language::Other);
}

QString chineseCompanionFor(const QString& mediaPath)
{
    return firstOf(candidatesFor(mediaPath), Language::Simplified, Language::Traditional);
}

SentenceRead loadSentencesFor(const QString& mediaPath, float mediaDuration)
{
    const QString path = sentenceFileFor(mediaPath);
    if (path.isEmpty()) {
        SentenceRead none;
        none.error = QStringLiteral("no LRC, SRT or VTT file beside %1").arg(mediaPath);
        return none;
    }
    SentenceRead read = readSentenceFile(path);
    if (!read.ok)
        return read;
    endLastSentenceAt(read.file, mediaDuration);
    const QString companion = chineseCompanionFor(mediaPath);
    if (companion.isEmpty())
        return read;
    SentenceRead chinese = readSentenceFile(companion);
    endLastSentenceAt(chinese.file, mediaDuration);
    if (chinese.ok)
        addTranslations(read.file.sentences, chinese.file.sentences);
    else
        qCWarning(lcSentences) << "Chinese companion left out:" << chinese.error;
    return read;
}
