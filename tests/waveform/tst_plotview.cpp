// The waveform view rendered into images: the message and its animation, the
// picture, sentence bands, marks, the play-position line and the tint; and
// synthesized mouse events turned into handler calls and marks.
#include "TestEnvironment.h"
#include "waveform/PlotView.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QTimer>

// Stands in for the practice controller: records what the view calls.
class Repeta {
public:
    void chooseSentence(int index)
    {
        chosen.append(index);
        if (view)
            view->setCurrentSentence(index); // as the controller answers
    }
    void seekTo(float fraction) { seeks.append(fraction); }

    QVector<int> chosen;
    QVector<float> seeks;
    PlotView* view = nullptr;
};

namespace {

constexpr int kRow = 13; // a pixel row in the middle of the view
const QColor kHover(0, 200, 200, 100);
const QColor kCurrent(0, 200, 200, 50);
const QColor kCursor(255, 255, 255, 200);

QImage shot(PlotView& view) { return view.grab().toImage(); }

QColor over(const QColor& top, const QColor& below)
{
    const double a = top.alphaF();
    return QColor(int(top.red() * a + below.red() * (1 - a) + 0.5), int(top.green() * a + below.green() * (1 - a) + 0.5),
                  int(top.blue() * a + below.blue() * (1 - a) + 0.5));
}

bool near(const QColor& seen, const QColor& expected)
{
    return qAbs(seen.red() - expected.red()) <= 2 && qAbs(seen.green() - expected.green()) <= 2 &&
           qAbs(seen.blue() - expected.blue()) <= 2;
}

// Columns [from, to) of the middle row whose colour is not the expected one.
QString columnsNotOf(const QImage& image, int from, int to, const QColor& expected)
{
    QStringList wrong;
    for (int x = from; x < to; ++x) {
        if (!near(image.pixelColor(x, kRow), expected))
            wrong.append(QStringLiteral("%1:%2").arg(x).arg(image.pixelColor(x, kRow).name()));
    }
    return wrong.join(QLatin1Char(' '));
}

void mouse(PlotView& view, QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons buttons, int y = kRow)
{
    QMouseEvent event(type, QPointF(x, y), view.mapToGlobal(QPointF(x, y)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

void press(PlotView& view, int x, Qt::MouseButton button = Qt::LeftButton)
{
    mouse(view, QEvent::MouseButtonPress, x, button, button);
}

void move(PlotView& view, int x, Qt::MouseButtons buttons = Qt::NoButton)
{
    mouse(view, QEvent::MouseMove, x, Qt::NoButton, buttons);
}

QImage textShot(const QString& text)
{
    PlotView view;
    view.setText(text);
    return shot(view);
}

QString dots(int count) { return QString(count, QLatin1Char('.')); }

// Four sentences of two seconds in eight: bands at columns 0, 120, 241 and 361.
const QVector<float> kStarts{0.0f, 2.0f, 4.0f, 6.0f};

} // namespace

class PlotViewTest : public QObject {
    Q_OBJECT
private slots:
    void hasItsFixedSize()
    {
        PlotView view;
        QCOMPARE(view.size(), QSize(482, 26));
        QCOMPARE(view.minimumSize(), view.maximumSize());
    }

    void extractionMessageGainsADotPerStep()
    {
        PlotView view;
        view.setText(QStringLiteral("请选择练习材料"));
        view.setPlotting(true);
        const QTimer* timer = view.findChild<QTimer*>();
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 500);
        for (int step = 0; step < 6; ++step) {
            const int expected = qMax(1, step % 5);
            QVERIFY2(shot(view) == textShot(QStringLiteral("正在获取波形") + dots(expected)),
                     qPrintable(QStringLiteral("step %1").arg(step)));
            view.doPlotting();
        }
        view.setPlotting(false);
        QVERIFY(!timer->isActive());
        QVERIFY(shot(view) == textShot(QStringLiteral("请选择练习材料")));
    }

    void recordingMessageWinsOverPlotting()
    {
        PlotView view;
        view.setPlotting(true);
        view.setRecording(true);
        view.doPlotting();
        view.doPlotting();
        QVERIFY(shot(view) == textShot(QStringLiteral("正在录音..")));
    }

    void messageIsCentredInWhiteChineseGlyphs()
    {
        const QImage image = textShot(QStringLiteral("你还没有录音"));
        int left = 482, right = -1, top = 26, bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 1; x < image.width(); ++x) { // column 0 holds the cursor line
                if (image.pixelColor(x, y).lightness() > 128) {
                    left = qMin(left, x), right = qMax(right, x), top = qMin(top, y), bottom = qMax(bottom, y);
                }
            }
        }
        QVERIFY2(right > left + 60, "no text drawn");
        QVERIFY2(qAbs((left + right) / 2 - 241) <= 2, qPrintable(QStringLiteral("%1..%2").arg(left).arg(right)));
        QVERIFY2(qAbs((top + bottom) / 2 - 13) <= 2, qPrintable(QStringLiteral("%1..%2").arg(top).arg(bottom)));
        // A font without Chinese would draw the same box for both.
        QVERIFY(textShot(QStringLiteral("正")) != textShot(QStringLiteral("在")));
    }

    void pictureIsScaledIntoTheViewAndEndsTheAnimation()
    {
        QPixmap picture(561, 40);
        picture.fill(Qt::red);
        {
            QPainter painter(&picture);
            painter.fillRect(281, 0, 280, 40, Qt::blue);
        }
        PlotView view;
        view.setPosition(0.5);
        view.setPlotting(true);
        view.setPixmap(&picture);
        QVERIFY(!view.findChild<QTimer*>()->isActive());
        const QImage image = shot(view);
        QCOMPARE(columnsNotOf(image, 0, 240, Qt::red), QString());
        QCOMPARE(columnsNotOf(image, 243, 482, Qt::blue), QString());
        QCOMPARE(image.pixelColor(100, 0), QColor(Qt::red));
        QCOMPARE(image.pixelColor(400, 25), QColor(Qt::blue));

        view.setText(QStringLiteral("请选择练习材料"));
        view.setPixmap(nullptr);
        QCOMPARE(image.size(), shot(view).size());
        QCOMPARE(shot(view).pixelColor(30, kRow), QColor(Qt::black));
    }

    void sentenceBandsShowCurrentAndHoveredSentence()
    {
        PlotView view;
        view.setMouseTracking(true); // as the original's row: hovering highlights
        view.setSentenceTimes(&kStarts, nullptr);
        view.setDuration(8.0f);
        view.setCurrentSentence(1);
        QImage image = shot(view);
        const QColor current = over(kCurrent, Qt::black);
        QCOMPARE(columnsNotOf(image, 1, 120, Qt::black), QString());
        QCOMPARE(columnsNotOf(image, 120, 241, current), QString());
        QCOMPARE(columnsNotOf(image, 241, 482, Qt::black), QString());

        move(view, 400);
        image = shot(view);
        QCOMPARE(columnsNotOf(image, 241, 361, Qt::black), QString());
        QCOMPARE(columnsNotOf(image, 361, 482, over(kHover, Qt::black)), QString());
        // Over the current sentence the hover band stays where it was.
        move(view, 200);
        QVERIFY(shot(view) == image);

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&view, &leave);
        QCOMPARE(columnsNotOf(shot(view), 241, 482, Qt::black), QString());

        // Hovered and current at once: the current colour over the hover colour.
        Repeta controller;
        controller.view = &view;
        view.setHandlerObject(&controller);
        view.setSentenceHandler(&Repeta::chooseSentence);
        move(view, 300);
        press(view, 300);
        QCOMPARE(controller.chosen, QVector<int>{2});
        QCOMPARE(columnsNotOf(shot(view), 241, 361, over(kCurrent, over(kHover, Qt::black))), QString());
    }

    void sentenceModeNeedsADurationPastTheLastStart()
    {
        PlotView view;
        Repeta controller;
        view.setHandlerObject(&controller);
        view.setSentenceHandler(&Repeta::chooseSentence);
        view.setSeekHandler(&Repeta::seekTo);
        view.setCurrentSentence(2); // ignored: no sentence times yet
        const QVector<float> none;
        view.setSentenceTimes(&none, nullptr);
        view.setDuration(8.0f);
        QCOMPARE(columnsNotOf(shot(view), 1, 482, Qt::black), QString());

        view.setSentenceTimes(&kStarts, nullptr);
        QCOMPARE(columnsNotOf(shot(view), 1, 482, Qt::black), QString()); // the ignored index stays unset
        view.setCurrentSentence(1);
        view.setDuration(6.0f);
        QCOMPARE(columnsNotOf(shot(view), 1, 482, Qt::black), QString());
        press(view, 300);
        QCOMPARE(controller.chosen, QVector<int>{});
        QCOMPARE(controller.seeks, QVector<float>{300.0f / 482});
    }

    void pressChoosesTheSentenceUnderThePointer()
    {
        PlotView view;
        Repeta controller;
        controller.view = &view;
        view.setSentenceTimes(&kStarts, nullptr);
        view.setDuration(8.0f);
        view.setCurrentSentence(0);
        view.setHandlerObject(&controller);
        view.setSentenceHandler(&Repeta::chooseSentence);
        view.setSeekHandler(&Repeta::seekTo);

        press(view, 241); // exactly the start of sentence 2: still sentence 1
        press(view, 242);
        press(view, 242, Qt::RightButton); // already current: no call
        press(view, 482);
        press(view, 483); // outside the view
        press(view, 121);
        press(view, 120); // band 1 is painted from column 120, but 120/482 is before 2/8
        QCOMPARE(controller.chosen, (QVector<int>{1, 2, 3, 1, 0}));
        QCOMPARE(controller.seeks, QVector<float>{});

        view.setSentenceHandler(nullptr); // not set: nothing is called
        press(view, 400);
        QCOMPARE(controller.chosen.size(), 5);
    }

    void leftButtonSeeksWherePressedAndDragged()
    {
        PlotView view;
        Repeta controller;
        view.setSeekHandler(&Repeta::seekTo);
        press(view, 120);
        QCOMPARE(controller.seeks, QVector<float>{}); // no handler object yet
        view.setHandlerObject(&controller);
        press(view, 120);
        press(view, 130, Qt::RightButton);
        move(view, 360, Qt::LeftButton);
        move(view, 370);
        move(view, -5, Qt::LeftButton);
        mouse(view, QEvent::MouseMove, 100, Qt::NoButton, Qt::LeftButton, 30);
        move(view, 482, Qt::LeftButton);
        QCOMPARE(controller.seeks, (QVector<float>{120.0f / 482, 360.0f / 482, 1.0f}));
    }

    void buttonsMoveTheMarks()
    {
        PlotView view;
        Repeta controller;
        view.setHandlerObject(&controller);
        view.setSeekHandler(&Repeta::seekTo);
        float in = -1, out = -1;
        QVERIFY(view.marks(&in, &out));
        QCOMPARE(in, 0.0f);
        QCOMPARE(out, 1.0f);
        QVERIFY(!view.marks(&in, nullptr));

        view.setMarking(true);
        press(view, 100);
        press(view, 300, Qt::RightButton);
        QVERIFY(view.marks(&in, &out));
        QCOMPARE(in, 100.0f / 482);
        QCOMPARE(out, 300.0f / 482);
        QCOMPARE(controller.seeks, QVector<float>{}); // marking does not seek
        QImage image = shot(view);
        const QColor green = over(QColor(0, 255, 0, 100), Qt::black);
        QCOMPARE(columnsNotOf(image, 1, 100, Qt::black), QString());
        QCOMPARE(columnsNotOf(image, 101, 299, green), QString());
        QCOMPARE(columnsNotOf(image, 301, 482, Qt::black), QString());

        move(view, 50, Qt::RightButton); // out before in
        QVERIFY(!view.marks(&in, &out));
        QCOMPARE(in, 100.0f / 482);
        move(view, 200, Qt::LeftButton);
        image = shot(view);
        const QColor red = over(QColor(255, 0, 0, 100), Qt::black);
        QCOMPARE(columnsNotOf(image, 1, 50, Qt::black), QString());
        QCOMPARE(columnsNotOf(image, 51, 199, red), QString());
        QCOMPARE(columnsNotOf(image, 201, 482, Qt::black), QString());

        press(view, 50); // in equals out: no band, no marks
        QCOMPARE(columnsNotOf(shot(view), 1, 482, Qt::black), QString());
        QVERIFY(!view.marks(&in, &out));

        view.setMarking(false);
        QCOMPARE(columnsNotOf(shot(view), 1, 482, Qt::black), QString());
    }

    void cursorLineIsClampedToTheEdges_data()
    {
        QTest::addColumn<float>("fraction");
        QTest::addColumn<int>("column");
        QTest::newRow("middle") << 0.5f << 241;
        QTest::newRow("end") << 1.0f << 481;
        QTest::newRow("past the end") << 1.5f << 481;
        QTest::newRow("before the start") << -0.3f << 0;
    }

    void cursorLineIsClampedToTheEdges()
    {
        QFETCH(float, fraction);
        QFETCH(int, column);
        PlotView view;
        view.setPosition(fraction);
        const QImage image = shot(view);
        const QColor line = over(kCursor, Qt::black);
        for (int y = 0; y < 26; ++y)
            QVERIFY(near(image.pixelColor(column, y), line));
        QCOMPARE(columnsNotOf(image, 0, column, Qt::black), QString());
        QCOMPARE(columnsNotOf(image, column + 1, 482, Qt::black), QString());
    }

    void tintIsPaintedLast()
    {
        PlotView view;
        view.setSentenceTimes(&kStarts, nullptr);
        view.setDuration(8.0f);
        view.setCurrentSentence(1);
        view.setMarking(true);
        view.setPosition(0.4f); // column 192, in the current band
        view.setTintColor(QColor(27, 177, 255));
        const QImage image = shot(view);
        for (int y = 0; y < 26; ++y) {
            for (int x = 0; x < 482; ++x)
                QCOMPARE(image.pixelColor(x, y), QColor(27, 177, 255));
        }

        // The controller's translucent tint over the current band, the initial
        // marks across the whole width and the line, in that order.
        const QColor tint(27, 177, 255, 82);
        const QColor marks(0, 255, 0, 100);
        view.setTintColor(tint);
        const QImage tinted = shot(view);
        QVERIFY(near(tinted.pixelColor(130, kRow), over(tint, over(marks, over(kCurrent, Qt::black)))));
        QVERIFY(near(tinted.pixelColor(192, kRow), over(tint, over(kCursor, over(marks, over(kCurrent, Qt::black))))));
        QVERIFY(near(tinted.pixelColor(20, 0), over(tint, over(marks, Qt::black))));
    }

    void contextMenuIsSwallowed()
    {
        class Parent : public QWidget {
        public:
            int menus = 0;

        protected:
            void contextMenuEvent(QContextMenuEvent*) override { ++menus; }
        } parent;
        auto* view = new PlotView(&parent);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), view->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(view, &event);
        QVERIFY(event.isAccepted());
        QCOMPARE(parent.menus, 0);
    }
};

REPETA_TEST_MAIN(PlotViewTest)
#include "tst_plotview.moc"
