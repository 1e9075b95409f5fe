// The sample content that the build generates for a new learner's data
// folder: the lists read by the program's own reader name materials that
// exist, every LRC file is bilingual and its tags lie where the speech of its
// sentences begins, the basic passages are slower and simpler than the expert
// ones, and the help and about videos are FLV with pictures that change with
// their sentences.
#include "TestEnvironment.h"

#include "SoundAnalysis.h"
#include "Subprocess.h"
#include "sentences/SentenceFinding.h"
#include "library/XmlHandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringDecoder>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace {

const QString kSamples = QStringLiteral(REPETA_SAMPLES_DIR);
const QStringList kLevels = {QStringLiteral("basic"), QStringLiteral("advanced"), QStringLiteral("expert")};

constexpr double kSpeechThresholdDb = -40.0;
// How long after its tag a sentence's speech may begin: the generator leaves
// 0.15 s, and a soft first sound passes the threshold a little later.
constexpr double kOnsetToleranceSeconds = 0.3;
// The stretch before a tag that must be silent, so that no tag cuts a word.
constexpr double kQuietBeforeTagSeconds = 0.1;
constexpr int kFrameRate = 25;
constexpr int kProbeWidth = 64; // frames are compared at this size, in grey
constexpr int kProbeHeight = 36;
// Mean grey difference (0..255) of two probe frames: compression noise on a
// still slide stays near 0.1, a new slide differs by 8 or more.
constexpr double kStillDifference = 1.0;
constexpr double kChangeDifference = 3.0;
// Standard deviation of the grey levels of a frame below which it is as good
// as blank: a flat gradient gives about 3, the plainest slide 18.
constexpr double kBlankSpread = 10.0;

QString samplePath(const QString& name) { return kSamples + QLatin1Char('/') + name; }

QString listFileOf(const QString& level) { return level + QStringLiteral("list.xml"); }

// A code unit from which the import's LRC filter removes text (CJK
// ideographs, fullwidth punctuation and everything beyond).
bool isWideUnit(QChar c) { return c.unicode() >= 0x4E00; }

// The import's LRC filter applied to one line: removes from the unit before
// the first wide unit through the last one.
QString importFilter(const QString& line)
{
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (isWideUnit(line[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return line;
    const qsizetype from = std::max<qsizetype>(first - 1, 0);
    return line.left(from) + line.mid(last + 1);
}

struct ListedMaterial {
    QString url;
    QString learned;
    QString texturl;
    QString title;
};

struct ListFile {
    QString groupTitle;
    QString folded;
    QVector<ListedMaterial> materials;
    QString error; // empty when the file is as the program writes lists
};

// Reads a list file as XML, checking the layout the program's writer gives
// it: the declaration, and 4 spaces of indentation per level.
ListFile readListFile(const QString& path)
{
    ListFile list;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        list.error = QStringLiteral("cannot open ") + path;
        return list;
    }
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sayloom version=\"1.0\">\n")) {
        list.error = QStringLiteral("does not start with the declaration and the root element");
        return list;
    }
    QXmlStreamReader xml(bytes);
    QString whitespace;
    QString parent;
    int depth = 0;
    ListedMaterial material;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            if (xml.isWhitespace())
                whitespace = xml.text().toString();
            else if (parent == QStringLiteral("train"))
                list.groupTitle += xml.text().toString();
            else if (parent == QStringLiteral("case"))
                material.title += xml.text().toString();
            break;
        case QXmlStreamReader::StartElement: {
            if (depth > 0 && whitespace != QLatin1Char('\n') + QString(4 * depth, QLatin1Char(' ')))
                list.error = QStringLiteral("element %1 at line %2 is not indented by 4 spaces per level")
                                 .arg(xml.name().toString())
                                 .arg(xml.lineNumber());
            whitespace.clear();
            const QString name = xml.name().toString();
            const QXmlStreamAttributes attributes = xml.attributes();
            if (name == QStringLiteral("train"))
                list.folded = attributes.value(QStringLiteral("folded")).toString();
            if (name == QStringLiteral("case")) {
                material = ListedMaterial();
                material.url = attributes.value(QStringLiteral("url")).toString();
                material.learned = attributes.value(QStringLiteral("learned")).toString();
                material.texturl = attributes.value(QStringLiteral("texturl")).toString();
            }
            if (name == QStringLiteral("title"))
                parent = depth == 2 ? QStringLiteral("train") : QStringLiteral("case");
            ++depth;
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            if (xml.name() == QStringLiteral("title"))
                parent.clear();
            if (xml.name() == QStringLiteral("case"))
                list.materials.append(material);
            whitespace.clear();
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        list.error = QStringLiteral("not well-formed: ") + xml.errorString();
    return list;
}

// A sample's sentences as the program reads them; each text is the sentence
// and its translation as the file writes them, a space apart.
struct LrcTimeline {
    QVector<float> starts;
    QVector<QString> texts;
};

LrcTimeline readLrcFile(const QString& path)
{
    LrcTimeline timeline;
    const SentenceRead read = readSentenceFile(path);
    for (const Sentence& sentence : read.file.sentences) {
        timeline.starts.append(sentence.start);
        timeline.texts.append(sentence.translation.isEmpty() ? sentence.text
                                                             : sentence.text + QLatin1Char(' ') + sentence.translation);
    }
    return timeline;
}

QString withoutLineEnd(QString text)
{
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

// The English half of a bilingual sentence text; empty when the text is not
// "English sentence, one space, Chinese translation".
QString englishOf(const QString& text, QString* why)
{
    const QString line = withoutLineEnd(text);
    qsizetype first = -1;
    for (qsizetype i = 0; i < line.size() && first < 0; ++i) {
        if (line[i].unicode() >= 0x2E80) // the CJK blocks, punctuation included
            first = i;
    }
    if (first < 2 || line[first - 1] != QLatin1Char(' ')) {
        *why = QStringLiteral("no English sentence, space, Chinese translation: ") + line;
        return {};
    }
    const QString english = line.left(first - 1);
    const QString chinese = line.mid(first);
    if (!QStringLiteral(".?!").contains(english.back())) {
        *why = QStringLiteral("the English sentence does not end like a sentence: ") + english;
        return {};
    }
    // The import keeps exactly the English sentence only when the
    // translation begins and ends with a wide unit ("。" is not one).
    if (!isWideUnit(chinese.front()) || !isWideUnit(chinese.back())) {
        *why = QStringLiteral("the translation does not begin and end with an ideograph or fullwidth mark: ") + chinese;
        return {};
    }
    if (importFilter(text) != english + text.mid(line.size())) {
        *why = QStringLiteral("the import's filter leaves more than the English: ") + importFilter(text);
        return {};
    }
    return english;
}

int wordCount(const QString& english)
{
    return int(english.split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
}

QMap<QString, QString> probeStreams(const QString& path)
{
    // One line per stream and one for the container, "key=value|key=value".
    const QByteArray out = outputOf({QStringLiteral("ffprobe"), QStringLiteral("-v"), QStringLiteral("error"),
                                     QStringLiteral("-show_entries"),
                                     QStringLiteral("stream=codec_type,codec_name,width,height,r_frame_rate,sample_rate:"
                                                    "format=duration"),
                                     QStringLiteral("-of"), QStringLiteral("compact=p=0"), path});
    QMap<QString, QString> facts;
    for (const QByteArray& line : out.split('\n')) {
        QString prefix;
        const QList<QByteArray> pairs = line.split('|');
        for (const QByteArray& pair : pairs) {
            if (pair.startsWith("codec_type="))
                prefix = QString::fromUtf8(pair.mid(11)) + QLatin1Char('.');
        }
        for (const QByteArray& pair : pairs) {
            const qsizetype equals = pair.indexOf('=');
            if (equals > 0)
                facts.insert(prefix + QString::fromUtf8(pair.left(equals)), QString::fromUtf8(pair.mid(equals + 1)));
        }
    }
    return facts;
}

struct GreyFrames {
    QByteArray bytes;
    int count() const { return int(bytes.size() / (kProbeWidth * kProbeHeight)); }
    const uchar* frame(int i) const
    {
        return reinterpret_cast<const uchar*>(bytes.constData()) + qsizetype(i) * kProbeWidth * kProbeHeight;
    }
    int frameAt(double seconds) const { return std::clamp(int(std::floor(seconds * kFrameRate)), 0, count() - 1); }
};

GreyFrames decodeGreyFrames(const QString& path)
{
    return {outputOf({QStringLiteral("ffmpeg"), QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                      QStringLiteral("-i"), path, QStringLiteral("-vf"),
                      QStringLiteral("scale=%1:%2").arg(kProbeWidth).arg(kProbeHeight), QStringLiteral("-pix_fmt"),
                      QStringLiteral("gray"), QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-")})};
}

double meanDifference(const uchar* a, const uchar* b)
{
    double sum = 0;
    for (int i = 0; i < kProbeWidth * kProbeHeight; ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return sum / (kProbeWidth * kProbeHeight);
}

double spread(const uchar* frame)
{
    double sum = 0;
    double squares = 0;
    const int n = kProbeWidth * kProbeHeight;
    for (int i = 0; i < n; ++i) {
        sum += frame[i];
        squares += double(frame[i]) * frame[i];
    }
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, squares / n - mean * mean));
}

} // namespace

class SamplesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(samplePath(QStringLiteral("basiclist.xml"))),
                 qPrintable(QStringLiteral("no sample content in %1: build the sample_content target").arg(kSamples)));
    }

    void dataFoldersExist()
    {
        QVERIFY(QFileInfo(samplePath(QStringLiteral("workspace"))).isDir());
        QVERIFY(QFileInfo(samplePath(QStringLiteral("files"))).isDir());
        QVERIFY2(QDir(samplePath(QStringLiteral("files"))).isEmpty(), "a new learner has no recordings");
        // Nothing of the generator's own lies in the folder that is copied.
        const QStringList expected = {QStringLiteral("about.flv"),    QStringLiteral("about.lrc"),
                                      QStringLiteral("advancedlist.xml"), QStringLiteral("basiclist.xml"),
                                      QStringLiteral("expertlist.xml"), QStringLiteral("files"),
                                      QStringLiteral("help.flv"),     QStringLiteral("help.lrc"),
                                      QStringLiteral("workspace")};
        QCOMPARE(QDir(kSamples).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expected);
    }

    void lists_data()
    {
        QTest::addColumn<QString>("level");
        for (const QString& level : kLevels)
            QTest::newRow(qPrintable(level)) << level;
    }

    void lists()
    {
        QFETCH(QString, level);
        const QString path = samplePath(listFileOf(level));
        const ListFile list = readListFile(path);
        QVERIFY2(list.error.isEmpty(), qPrintable(list.error));
        QCOMPARE(list.folded, QStringLiteral("no"));
        QVERIFY2(std::any_of(list.groupTitle.begin(), list.groupTitle.end(), isWideUnit),
                 qPrintable(QStringLiteral("the group title is not Chinese: ") + list.groupTitle));
        QVERIFY(!list.materials.isEmpty());
        for (const ListedMaterial& material : list.materials) {
            QVERIFY2(!material.url.contains(QLatin1Char('/')), qPrintable(material.url));
            QCOMPARE(material.learned, material.url);
            QVERIFY(material.texturl.startsWith(QStringLiteral("http://")));
            QVERIFY2(!material.title.trimmed().isEmpty(), qPrintable(material.url));
            const QString media = samplePath(QStringLiteral("workspace/") + material.url);
            QVERIFY2(QFileInfo(media).isFile(), qPrintable(media));
            QVERIFY2(QFileInfo(lrcPathFor(media)).isFile(), qPrintable(lrcPathFor(media)));
        }

        // The program's own reader shows the group open, with every material
        // under its title and the export cell.
        QTreeWidget tree;
        QVERIFY(loadListFile(&tree, path, ParseErrorReport::Silent));
        QCOMPARE(tree.topLevelItemCount(), 1);
        QTreeWidgetItem* group = tree.topLevelItem(0);
        QCOMPARE(group->text(0), list.groupTitle);
        QVERIFY(group->isExpanded());
        QStringList rows;
        for (int i = 0; i < group->childCount(); ++i) {
            if (!group->child(i)->text(3).isEmpty())
                rows << group->child(i)->text(0) + QLatin1Char('|') + group->child(i)->text(2) + QLatin1Char('|') +
                            group->child(i)->text(3);
        }
        QStringList expected;
        for (const ListedMaterial& material : list.materials)
            expected << material.title + QStringLiteral("|导出|") + material.url;
        QCOMPARE(rows, expected);
    }

    void everyMaterialIsListedOnce()
    {
        QStringList listed;
        for (const QString& level : kLevels) {
            for (const ListedMaterial& material : readListFile(samplePath(listFileOf(level))).materials)
                listed << material.url;
        }
        QStringList media = QDir(samplePath(QStringLiteral("workspace"))).entryList({QStringLiteral("*.mp3")}, QDir::Files);
        listed.sort();
        media.sort();
        QCOMPARE(listed, media);
        QVERIFY(media.size() >= 3);
    }

    void sentences_data()
    {
        QTest::addColumn<QString>("media");
        QTest::addColumn<int>("fewest");
        QTest::addColumn<int>("most");
        const QStringList media = QDir(samplePath(QStringLiteral("workspace"))).entryList({QStringLiteral("*.mp3")}, QDir::Files);
        for (const QString& name : media)
            QTest::newRow(qPrintable(name)) << samplePath(QStringLiteral("workspace/") + name) << 4 << 10;
        QTest::newRow("help.flv") << samplePath(QStringLiteral("help.flv")) << 8 << 20;
        QTest::newRow("about.flv") << samplePath(QStringLiteral("about.flv")) << 3 << 8;
    }

    // Each sentence's tag lies where its speech begins: the speech starts
    // within 0.3 s after the tag, and the 0.1 s before the tag are silent.
    void sentences()
    {
        QFETCH(QString, media);
        QFETCH(int, fewest);
        QFETCH(int, most);
        const QString lrc = lrcPathFor(media);
        QFile file(lrc);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(lrc));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(file.readAll());
        QVERIFY2(!utf8.hasError(), "the LRC file is not UTF-8");
        Q_UNUSED(decoded);

        const LrcTimeline timeline = readLrcFile(lrc);
        QVERIFY2(timeline.starts.size() >= fewest && timeline.starts.size() <= most,
                 qPrintable(QString::number(timeline.starts.size())));
        QCOMPARE(timeline.starts.front(), 0.0f);
        for (int i = 0; i < timeline.texts.size(); ++i) {
            QString why;
            QVERIFY2(!englishOf(timeline.texts[i], &why).isEmpty(), qPrintable(why));
            if (i > 0)
                QVERIFY(timeline.starts[i] > timeline.starts[i - 1]);
        }

        const Pcm pcm = decodeFile(media);
        QVERIFY(pcm.seconds() > 5);
        for (int i = 0; i < timeline.starts.size(); ++i) {
            const double start = timeline.starts[i];
            const double end = i + 1 < timeline.starts.size() ? timeline.starts[i + 1] : pcm.seconds();
            const SoundSpan speech = soundSpan(pcm.slice(start, end), kSpeechThresholdDb);
            const QByteArray where = QStringLiteral("sentence %1 at %2 s: %3")
                                         .arg(i)
                                         .arg(start)
                                         .arg(withoutLineEnd(timeline.texts[i]))
                                         .toUtf8();
            QVERIFY2(speech.start >= 0, where.constData());
            QVERIFY2(speech.start <= kOnsetToleranceSeconds,
                     (where + " begins " + QByteArray::number(speech.start) + " s after its tag").constData());
            if (i > 0) {
                const SoundSpan before = soundSpan(pcm.slice(start - kQuietBeforeTagSeconds, start), kSpeechThresholdDb);
                QVERIFY2(before.start < 0, (where + ": the tag cuts into speech").constData());
            }
            if (i + 1 == timeline.starts.size())
                QVERIFY2(end - start - speech.end < 1.5, "the sound runs on long after the last sentence");
        }
    }

    // Basic passages are spoken more slowly and in shorter sentences than
    // advanced ones, and those than expert ones.
    void levelsGrowHarder()
    {
        QVector<double> wordsPerSecond;
        QVector<double> wordsPerSentence;
        for (const QString& level : kLevels) {
            int words = 0;
            int sentences = 0;
            double speaking = 0;
            for (const ListedMaterial& material : readListFile(samplePath(listFileOf(level))).materials) {
                const QString media = samplePath(QStringLiteral("workspace/") + material.url);
                const LrcTimeline timeline = readLrcFile(lrcPathFor(media));
                const Pcm pcm = decodeFile(media);
                for (int i = 0; i < timeline.starts.size(); ++i) {
                    QString why;
                    words += wordCount(englishOf(timeline.texts[i], &why));
                    const double end = i + 1 < timeline.starts.size() ? timeline.starts[i + 1] : pcm.seconds();
                    speaking += soundSpan(pcm.slice(timeline.starts[i], end), kSpeechThresholdDb).length();
                }
                sentences += int(timeline.starts.size());
            }
            QVERIFY2(sentences > 0 && speaking > 0, qPrintable(level));
            wordsPerSecond << words / speaking;
            wordsPerSentence << double(words) / sentences;
        }
        const QByteArray figures = QStringLiteral("words per second %1 %2 %3, words per sentence %4 %5 %6")
                                       .arg(wordsPerSecond[0], 0, 'f', 2)
                                       .arg(wordsPerSecond[1], 0, 'f', 2)
                                       .arg(wordsPerSecond[2], 0, 'f', 2)
                                       .arg(wordsPerSentence[0], 0, 'f', 1)
                                       .arg(wordsPerSentence[1], 0, 'f', 1)
                                       .arg(wordsPerSentence[2], 0, 'f', 1)
                                       .toUtf8();
        QVERIFY2(wordsPerSecond[0] < wordsPerSecond[1] && wordsPerSecond[1] < wordsPerSecond[2], figures.constData());
        QVERIFY2(wordsPerSentence[0] < wordsPerSentence[1] && wordsPerSentence[1] < wordsPerSentence[2],
                 figures.constData());
    }

    void videos_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::newRow("help") << QStringLiteral("help.flv") << 30.0 << 60.0;
        QTest::newRow("about") << QStringLiteral("about.flv") << 15.0 << 25.0;
    }

    // FLV with a 25 fps picture and MP3 sound of the same length, whose slide
    // changes exactly where the LRC says that the next sentence begins.
    void videos()
    {
        QFETCH(QString, name);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const QString path = samplePath(name);
        const QMap<QString, QString> facts = probeStreams(path);
        QCOMPARE(facts.value(QStringLiteral("video.codec_name")), QStringLiteral("flv1"));
        QCOMPARE(facts.value(QStringLiteral("video.width")), QStringLiteral("640"));
        QCOMPARE(facts.value(QStringLiteral("video.height")), QStringLiteral("360"));
        QCOMPARE(facts.value(QStringLiteral("video.r_frame_rate")), QStringLiteral("25/1"));
        QCOMPARE(facts.value(QStringLiteral("audio.codec_name")), QStringLiteral("mp3"));
        QCOMPARE(facts.value(QStringLiteral("audio.sample_rate")), QStringLiteral("44100"));
        const double duration = facts.value(QStringLiteral("duration")).toDouble();
        QVERIFY2(duration >= shortest && duration <= longest, qPrintable(QString::number(duration)));

        const double sound = decodeFile(path).seconds();
        const GreyFrames frames = decodeGreyFrames(path);
        const double picture = double(frames.count()) / kFrameRate;
        QVERIFY2(std::abs(sound - picture) < 0.1,
                 qPrintable(QStringLiteral("sound %1 s, picture %2 s").arg(sound).arg(picture)));

        const LrcTimeline timeline = readLrcFile(lrcPathFor(path));
        QVERIFY(!timeline.starts.isEmpty());
        constexpr double kAway = 0.2; // seconds on either side of a change
        for (int i = 0; i < timeline.starts.size(); ++i) {
            const double start = timeline.starts[i];
            const double end = i + 1 < timeline.starts.size() ? timeline.starts[i + 1] : picture;
            const uchar* first = frames.frame(frames.frameAt(start + kAway));
            const uchar* last = frames.frame(frames.frameAt(end - kAway));
            const QByteArray where = QStringLiteral("slide %1 (%2 s to %3 s)").arg(i).arg(start).arg(end).toUtf8();
            QVERIFY2(spread(first) > kBlankSpread, (where + " is nearly blank").constData());
            QVERIFY2(meanDifference(first, last) < kStillDifference, (where + " changes while its sentence is spoken").constData());
            if (i > 0) {
                const uchar* before = frames.frame(frames.frameAt(start - kAway));
                QVERIFY2(meanDifference(before, first) > kChangeDifference,
                         (where + " does not change where its sentence begins").constData());
            }
        }
    }
};

REPETA_TEST_MAIN(SamplesTest)
#include "tst_samples.moc"
