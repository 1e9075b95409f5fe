// The comparison page rendered at 1x and 2x: both curves where their
// semitones put them with their unvoiced gap, the band of a difference only
// over its span, the figures, the messages without a result, the word under
// the pointer, and the tab view handing results and its page on.
#include "TestEnvironment.h"
#include "textview/CompareView.h"
#include "textview/TabsView.h"

#include <QGridLayout>
#include <QtTest>

#include <cmath>

namespace {
constexpr double kFrom = 1.0; // seconds of the first curve point
constexpr double kTo = 3.0;
constexpr double kGapFrom = 1.8; // the model's and the take's unvoiced stretch
constexpr double kGapTo = 2.0;
constexpr double kTakeOffset = -4; // semitones below the model
constexpr double kBandFrom = 2.4;  // a melody difference
constexpr double kBandTo = 2.8;
constexpr double kRhythmFrom = 1.25;
constexpr double kRhythmTo = 1.45;

// A rise and fall of a second, between 0 and +4 semitones.
double modelSemitones(double t)
{
    return 2 + 2 * std::sin(2 * M_PI * (t - kFrom));
}

Comparison synthetic()
{
    Comparison result;
    result.ok = true;
    result.intonation = 86.2;
    result.rhythm = 91.7;
    result.overall = 88.9;
    result.tempo = 1.25;
    for (int i = 0; kFrom + i * 0.01 <= kTo + 1e-9; ++i) {
        const double t = kFrom + i * 0.01;
        const bool voiced = t < kGapFrom || t > kGapTo;
        result.model.append({t, voiced ? modelSemitones(t) : NAN});
        result.take.append({t, voiced ? modelSemitones(t) + kTakeOffset : NAN});
    }
    result.differences.append({Difference::Kind::Melody, kBandFrom, kBandTo});
    result.differences.append({Difference::Kind::Rhythm, kRhythmFrom, kRhythmTo});
    return result;
}

Sentence sentence()
{
    Sentence s;
    s.start = 1.0f;
    s.end = 3.0f;
    s.text = QStringLiteral("Good morning everyone");
    s.words = {{1.0f, QStringLiteral("Good")}, {1.5f, QStringLiteral("morning ")}, {2.2f, QStringLiteral("everyone")}};
    return s;
}

bool modelInk(const QColor& c) { return c.blue() > c.red() + 60 && c.green() > c.red() + 40; }
bool takeInk(const QColor& c) { return c.red() > c.blue() + 100 && c.green() > c.blue() + 40; }
bool melodyTint(const QColor& c) { return c.red() > 40 && c.red() < 140 && c.red() > c.green() + 25 && c.red() > c.blue() + 20; }
bool rhythmTint(const QColor& c) { return c.blue() > 40 && c.blue() < 140 && c.blue() > c.red() + 10 && c.blue() > c.green() + 20; }
bool ground(const QColor& c) { return qMax(c.red(), qMax(c.green(), c.blue())) < 24; }
bool any(const QColor&) { return true; }

QImage render(CompareView& view, int ratio)
{
    QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    view.render(&image);
    return image;
}

// Pixels of the kind in the logical rectangle, counted in device pixels.
template <typename Test>
int count(const QImage& image, const QRectF& logical, Test test)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect area = QRectF(logical.topLeft() * ratio, logical.size() * ratio).toRect() & image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}
} // namespace

class CompareViewTest : public QObject {
    Q_OBJECT

private slots:
    void drawsTheCurvesTheBandAndTheFiguresAtBothRatios()
    {
        CompareView view;
        view.setComparison(synthetic(), sentence());
        const QRectF plot = view.plotArea();
        const auto x = [&](double t) { return plot.left() + (t - kFrom) / (kTo - kFrom) * plot.width(); };
        const auto y = [&](double semitones) { return plot.top() + (8 - semitones) / 16 * plot.height(); };
        // One pixel column at t, a few pixels either side of the semitones.
        const auto around = [&](double t, double semitones) {
            return QRectF(x(t), y(semitones) - 5, 1, 10);
        };
        const double samples[] = {1.1, 1.3, 1.6, 2.2, 2.5, 2.9};
        for (const int ratio : {1, 2}) {
            const QImage image = render(view, ratio);
            QCOMPARE(image.size(), view.size() * ratio);
            // Each curve at its own height, neither at the other's, nothing in the gap.
            for (const double t : samples) {
                const double model = modelSemitones(t);
                QVERIFY2(count(image, around(t, model), modelInk) >= 2 * ratio, qPrintable(QString::number(t)));
                QVERIFY2(count(image, around(t, model + kTakeOffset), takeInk) >= 2 * ratio, qPrintable(QString::number(t)));
                QCOMPARE(count(image, around(t, model), takeInk), 0);
                QCOMPARE(count(image, around(t, model + kTakeOffset), modelInk), 0);
            }
            QCOMPARE(count(image, plot.intersected(QRectF(QPointF(x(1.84), 0), QPointF(x(1.96), 999))),
                           [](const QColor& c) { return modelInk(c) || takeInk(c); }),
                     0);
            // Each band's tint fills its span, below the curves and the grid, and nowhere else.
            const double free = y(-6.5); // between the -5 grid line and the plot's bottom
            const auto strip = [&](double from, double to) {
                return QRectF(QPointF(x(from + 0.02), free - 3), QPointF(x(to - 0.02), free + 3));
            };
            const QRectF inBand = strip(kBandFrom, kBandTo);
            QCOMPARE(count(image, inBand, melodyTint), count(image, inBand, any));
            const QRectF rhythm = strip(kRhythmFrom, kRhythmTo);
            QCOMPARE(count(image, rhythm, rhythmTint), count(image, rhythm, any));
            const QRectF before = strip(kRhythmTo, kBandFrom);
            const QRectF after = strip(kBandTo, kTo);
            QCOMPARE(count(image, before, ground), count(image, before, any));
            QCOMPARE(count(image, after, ground), count(image, after, any));
            // The figures are drawn above the plot.
            QVERIFY(count(image, QRectF(0, 0, view.width(), plot.top()), [](const QColor& c) { return c.lightness() > 150; }) >
                    200 * ratio * ratio);
        }
        QCOMPARE(view.figuresText(), QString::fromUtf8("语调 86  节奏 92  总分 89  很好  用时 1.25×"));
        QCOMPARE(view.message(), QString());

        // The word under the pointer: the last to have started by then.
        const int middle = int(y(0));
        QCOMPARE(view.wordAt(QPoint(int(x(1.0)) + 1, middle)), QStringLiteral("Good"));
        QCOMPARE(view.wordAt(QPoint(int(x(2.1)), middle)), QStringLiteral("morning"));
        QCOMPARE(view.wordAt(QPoint(int(x(2.9)), middle)), QStringLiteral("everyone"));
        QCOMPARE(view.wordAt(QPoint(int(plot.left()) - 5, middle)), QString());
        view.setComparison(synthetic(), Sentence());
        QCOMPARE(view.wordAt(QPoint(int(x(2.9)), middle)), QString());

        // Without a result: the reason, or the invitation when there is no take; no curves.
        Comparison failed;
        failed.error = QString::fromUtf8("未检测到声音");
        failed.model = synthetic().model;
        view.setComparison(failed, sentence());
        QCOMPARE(view.message(), failed.error);
        QCOMPARE(view.figuresText(), QString());
        QCOMPARE(view.wordAt(QPoint(int(x(2.9)), middle)), QString());
        const QImage image = render(view, 2);
        QVERIFY(count(image, QRectF(0, 80, view.width(), 80), [](const QColor& c) { return !ground(c); }) > 100);
        QCOMPARE(count(image, view.rect(), modelInk), 0);
        view.setComparison(Comparison(), Sentence());
        QCOMPARE(view.message(), QString::fromUtf8("录完音后在这里对比"));
    }

    // A result given before the page is found shows once it is; the page comes
    // forward only while its tab is enabled.
    void tabsHandTheResultAndThePageOn()
    {
        TabsView tabs;
        for (int i = 0; i < 3; ++i)
            tabs.addTab(new QWidget, QString());
        tabs.showComparison(synthetic(), sentence());
        auto* page = new QWidget;
        auto* view = new CompareView;
        view->setObjectName(QStringLiteral("compareView"));
        (new QGridLayout(page))->addWidget(view);
        tabs.addTab(page, QString());
        tabs.setTabEnabled(3, false);
        tabs.showComparisonPage();
        QCOMPARE(tabs.currentIndex(), 0);
        QCOMPARE(view->figuresText(), QString::fromUtf8("语调 86  节奏 92  总分 89  很好  用时 1.25×"));
        tabs.setTabEnabled(3, true);
        tabs.showComparisonPage();
        QCOMPARE(tabs.currentIndex(), 3);
        tabs.showComparison(Comparison(), Sentence());
        QCOMPARE(view->message(), QString::fromUtf8("录完音后在这里对比"));
    }
};

QTEST_MAIN(CompareViewTest)
#include "tst_compareview.moc"
