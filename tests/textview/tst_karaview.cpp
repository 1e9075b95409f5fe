// The karaoke view: the progress arithmetic over laid-out lines, the
// multiplied colours in the rendered view, line breaking of words wider than
// the picture and of Chinese text, the neighbour lines, and blind listening's
// word bars.
#include "TestEnvironment.h"
#include "TextPixels.h"
#include "textview/KaraView.h"
#include "textview/KaraokeText.h"

#include <cmath>

namespace {
constexpr int kThird = 80;

QImage shot(KaraView& view)
{
    return view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// The view's middle third, where the sentence is.
QRect sentenceArea(const QImage& image)
{
    const int third = image.height() / 3;
    return QRect(0, third, image.width(), third);
}

QString joined(const QStringList& parts)
{
    return parts.join(QString());
}

// Runs of ink on one row: (first column, width).
QVector<QPair<int, int>> inkRuns(const QImage& image, int y)
{
    QVector<QPair<int, int>> runs;
    for (int x = 0; x < image.width(); ++x) {
        if (!karaokeInk(image.pixelColor(x, y)))
            continue;
        if (!runs.isEmpty() && runs.last().first + runs.last().second == x)
            ++runs.last().second;
        else
            runs.append({x, 1});
    }
    return runs;
}
} // namespace

class KaraViewTest : public QObject {
    Q_OBJECT

private slots:
    void progressSharesTheSpokenWidthOverTheLines_data()
    {
        QTest::addColumn<float>("fraction");
        QTest::addColumn<QVector<QRect>>("spoken");
        QTest::addColumn<QVector<QRect>>("unspoken");
        const int h = 22;
        const QRect first(QPoint(170, 0), QPoint(469, h - 1));      // 300 wide
        const QRect second(QPoint(220, h), QPoint(419, 2 * h - 1)); // 200 wide
        QTest::newRow("0") << 0.0f << QVector<QRect>() << QVector<QRect>({first, second});
        QTest::newRow("1") << 1.0f << QVector<QRect>({first, second}) << QVector<QRect>();
        QTest::newRow("0.5: 250 of 500")
            << 0.5f << QVector<QRect>({QRect(QPoint(170, 0), QPoint(419, h - 1))})
            << QVector<QRect>({QRect(QPoint(420, 0), QPoint(469, h - 1)), second});
        QTest::newRow("0.8: 400 of 500")
            << 0.8f << QVector<QRect>({first, QRect(QPoint(220, h), QPoint(319, 2 * h - 1))})
            << QVector<QRect>({QRect(QPoint(320, h), QPoint(419, 2 * h - 1))});
        QTest::newRow("not a number") << std::nanf("") << QVector<QRect>() << QVector<QRect>({first, second});
        QTest::newRow("beyond the end") << 3.0f << QVector<QRect>({first, second}) << QVector<QRect>();
    }

    void progressSharesTheSpokenWidthOverTheLines()
    {
        QFETCH(float, fraction);
        QFETCH(QVector<QRect>, spoken);
        QFETCH(QVector<QRect>, unspoken);
        const int h = 22;
        const QVector<QRect> lines = {QRect(QPoint(170, 0), QPoint(469, h - 1)),
                                      QRect(QPoint(220, h), QPoint(419, 2 * h - 1))};
        QVector<QRect> gotSpoken;
        QVector<QRect> gotUnspoken;
        for (const KaraokeFill& fill : karaokeFills(lines, h, 500, fraction))
            (fill.spoken ? gotSpoken : gotUnspoken).append(fill.band);
        QCOMPARE(gotSpoken, spoken);
        QCOMPARE(gotUnspoken, unspoken);
    }

    // Word timings lead the colour: it waits at a word's start until that
    // word's time, however long the word before took. A translation shows in
    // the lower third.
    void wordTimingsLeadTheColourAndTheTranslationShowsBelow()
    {
        KaraView view;
        const QString text = QStringLiteral("Hello there, everyone.");
        const int there = int(text.indexOf(QStringLiteral("there")));
        const int everyone = int(text.indexOf(QStringLiteral("everyone")));
        view.setSentence(text, QString(), QString(), QString::fromUtf8("大家好。"),
                         {{0.0f, 0}, {0.7f, there}, {0.8f, everyone}});
        const KaraokeText layout(text, view.sentenceFont(), QSize(640, kThird));
        QCOMPARE(view.lines().size(), 1);
        const QRect line = view.lines()[0].translated(0, kThird);
        const auto split = [&](int index) { return line.left() + layout.widthBefore(index); };
        const auto spokenIn = [&](const QImage& image, int from, int to) {
            return countInk(image, QRect(QPoint(from, line.top()), QPoint(to - 1, line.bottom()))).spoken;
        };

        view.paintProgress(0.69f); // evenly, this would be past "there"
        QImage image = shot(view);
        QVERIFY(spokenIn(image, line.left(), split(there)) > 20);
        QCOMPARE(spokenIn(image, split(there), line.right() + 1), 0);

        view.paintProgress(0.75f); // halfway through "there"
        image = shot(view);
        QVERIFY(spokenIn(image, split(there), split(everyone)) > 5);
        QCOMPARE(spokenIn(image, split(everyone), line.right() + 1), 0);

        QVERIFY(countInk(image, QRect(0, 2 * kThird, 640, kThird)).inked() > 20);
        view.setSentence(text, QString(), QString());
        QCOMPARE(countInk(shot(view), QRect(0, 2 * kThird, 640, kThird)).inked(), 0);
    }

    void renderedSentenceTakesTheProgressColours()
    {
        KaraView view;
        view.setSentence(QStringLiteral("Good morning, everyone. Today we are going to practise "
                                        "the sounds of English together.\r\n"),
                         QString(), QString());
        QCOMPARE(view.lines().size(), 2);
        QImage image = shot(view);
        const QRect area = sentenceArea(image);
        InkCount ink = countInk(image, area);
        QVERIFY(ink.unspoken > 500);
        QCOMPARE(ink.spoken + ink.uncoloured + ink.other, 0);
        // Nothing outside the middle third while there are no neighbours.
        QCOMPARE(countInk(image, QRect(0, 0, 640, kThird)).inked(), 0);
        QCOMPARE(countInk(image, QRect(0, 2 * kThird, 640, kThird)).inked(), 0);

        view.paintProgress(1.0f);
        ink = countInk(shot(view), area);
        QVERIFY(ink.spoken > 500);
        QCOMPARE(ink.unspoken + ink.uncoloured + ink.other, 0);

        // Halfway: the first line is green up to half the total width, the rest purple.
        view.paintProgress(0.5f);
        image = shot(view);
        const QRect first = view.lines()[0];
        const QRect second = view.lines()[1];
        const int split = first.left() + view.total() / 2;
        QVERIFY(view.total() / 2 < first.width());
        const int top = kThird + first.top();
        const InkCount spokenPart = countInk(image, QRect(QPoint(first.left(), top), QPoint(split - 1, top + first.height() - 1)));
        const InkCount restOfFirst = countInk(image, QRect(QPoint(split, top), QPoint(first.right(), top + first.height() - 1)));
        const InkCount secondLine = countInk(image, second.translated(0, kThird));
        QVERIFY(spokenPart.spoken > 100);
        QCOMPARE(spokenPart.unspoken, 0);
        QVERIFY(restOfFirst.unspoken > 20);
        QCOMPARE(restOfFirst.spoken, 0);
        QVERIFY(secondLine.unspoken > 100);
        QCOMPARE(secondLine.spoken, 0);
    }

    void aWordWiderThanThePictureBreaksAndLosesNothing()
    {
        const QString word = QString(120, QLatin1Char('W'));
        const QString text = QStringLiteral("Say ") + word + QStringLiteral(" again");
        KaraView view;
        view.setSentence(text + QStringLiteral("\n"), QString(), QString());
        QVERIFY(view.lines().size() >= 2);
        QCOMPARE(joined(view.lineTexts()), text);
        for (const QRect& line : view.lines()) {
            QVERIFY(line.left() >= 0);
            QVERIFY(line.right() < 640);
        }
        QVERIFY(view.lines().size() * view.lineHeight() <= kThird);
        // Every glyph is coloured: the bands cover all the ink.
        view.paintProgress(1.0f);
        const InkCount ink = countInk(shot(view), QRect(0, 0, 640, 240));
        QVERIFY(ink.spoken > 1000);
        QCOMPARE(ink.uncoloured + ink.unspoken + ink.other, 0);
    }

    void chineseWithoutSpacesBreaksBetweenCharacters()
    {
        const QString text = QString::fromUtf8("我们今天学习如何用英语介绍自己的家乡，包括它的历史、美食、风景和人们的生活习惯，请跟读每一句话。");
        KaraView view;
        view.setSentence(text, QString(), QString());
        QVERIFY(view.lines().size() >= 2);
        QCOMPARE(joined(view.lineTexts()), text);
        // Fallback glyphs are taller than the Latin font; the bands still cover them.
        view.paintProgress(1.0f);
        const InkCount ink = countInk(shot(view), QRect(0, 0, 640, 240));
        QVERIFY(ink.spoken > 1000);
        QCOMPARE(ink.uncoloured + ink.unspoken + ink.other, 0);
    }

    void aLongSentenceShrinksToFit()
    {
        QString text;
        for (int i = 0; i < 12; ++i)
            text += QStringLiteral("This sentence goes on for a long while. ");
        KaraView view;
        view.setSentence(text, QString(), QString());
        QVERIFY(view.sentenceFont().pointSize() < 14);
        QVERIFY(view.sentenceFont().pointSize() >= KaraokeText::kSmallestPointSize);
        QVERIFY(view.lines().size() * view.lineHeight() <= kThird);
        QCOMPARE(joined(view.lineTexts()).trimmed(), text.trimmed());

        view.setSentence(QStringLiteral("Short.\n"), QString(), QString());
        QCOMPARE(view.sentenceFont().pointSize(), 14);
    }

    // Blind, each word is a solid bar as wide as the word, which the progress
    // colours as it would the word; the translation is bars too.
    void blindListeningPutsWordBarsUnderTheProgress()
    {
        const QString text = QStringLiteral("Listen to the sound of it, then say it again.");
        KaraView view;
        view.setSentence(text, QString(), QString(), QString::fromUtf8("听它的声音，然后再说一遍。"));
        const QImage shown = shot(view);
        view.setBlind(true);
        view.paintProgress(0.5f);
        const QImage image = shot(view);
        QCOMPARE(view.lines().size(), 1);
        const QRect line = view.lines()[0].translated(0, kThird);
        const QRect translation(0, 2 * kThird, 640, kThird);
        for (const QRect& area : {line, translation}) {
            QVERIFY(coreShare(shown, area, karaokeInk) < 0.3); // the measure tells glyphs from bars
            QVERIFY(coreShare(image, area, karaokeInk) > 0.6);
        }
        // One run of ink per word across the line's middle, where the word is.
        const KaraokeText layout(text, view.sentenceFont(), QSize(640, kThird));
        const QVector<QPair<int, int>> runs = inkRuns(image, line.top() + view.lineHeight() / 2);
        const QStringList words = text.split(QLatin1Char(' '));
        QCOMPARE(runs.size(), words.size());
        for (int k = 0, from = 0; k < words.size(); from += int(words[k++].size()) + 1) {
            const int left = line.left() + layout.widthBefore(from);
            const int width = layout.widthBefore(from + int(words[k].size())) - layout.widthBefore(from);
            QVERIFY2(qAbs(runs[k].first - left) <= 1 && qAbs(runs[k].second - width) <= 2, qPrintable(words[k]));
        }
        const int split = line.left() + view.total() / 2;
        const InkCount spoken = countInk(image, QRect(line.topLeft(), QPoint(split - 1, line.bottom())));
        const InkCount unspoken = countInk(image, QRect(QPoint(split, line.top()), line.bottomRight()));
        QVERIFY(spoken.spoken > 200 && spoken.inked() == spoken.spoken);
        QVERIFY(unspoken.unspoken > 200 && unspoken.inked() == unspoken.unspoken);

        view.setBlind(false);
        view.paintProgress(0.0f);
        QCOMPARE(shot(view), shown);
    }

    void emptySentenceShowsNothing()
    {
        KaraView view;
        view.setSentence(QString(), QString(), QString());
        view.paintProgress(0.5f);
        QCOMPARE(view.total(), 0);
        QCOMPARE(countInk(shot(view), QRect(0, 0, 640, 240)).inked(), 0);
    }

    void neighbourLinesAboveAndBelow()
    {
        KaraView view;
        QCOMPARE(view.size(), QSize(640, 240));
        QVERIFY(!view.hasNeighbours());
        view.setSentence(QStringLiteral("Now.\n"), QStringLiteral("Before."), QStringLiteral("After."));
        QVERIFY(view.hasNeighbours());
        QImage image = shot(view);
        QVERIFY(countInk(image, QRect(0, 0, 640, kThird)).spoken > 20);
        QVERIFY(countInk(image, QRect(0, 2 * kThird, 640, kThird)).unspoken > 20);

        // The flag stays; the old lines do not.
        view.setSentence(QStringLiteral("Alone.\n"), QString(), QString());
        QVERIFY(view.hasNeighbours());
        image = shot(view);
        QCOMPARE(countInk(image, QRect(0, 0, 640, kThird)).inked(), 0);
        QCOMPARE(countInk(image, QRect(0, 2 * kThird, 640, kThird)).inked(), 0);
        QVERIFY(countInk(image, sentenceArea(image)).unspoken > 20);
    }
};

REPETA_TEST_MAIN(KaraViewTest)
#include "tst_karaview.moc"
