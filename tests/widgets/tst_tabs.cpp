// The picture tab bars: dot geometry with lead and trailing room, clicks,
// disabled tabs, the hover picture, the balloon that replaces tool tips, and
// the two-language captions of the phase tabs.
#include "PixelChecks.h"
#include "TestEnvironment.h"
#include "resources/Artwork.h"
#include "widgets/BalTipLable.h"
#include "widgets/ChromeTabs.h"
#include "widgets/PhaseTabs.h"

#include <QHoverEvent>
#include <QPainter>
#include <QToolTip>

namespace {
// The text views' sprite is 24 x 48: dots of 24 x 12.
constexpr int kDotWidth = 24;
constexpr int kDotHeight = 12;
constexpr int kLead = 286;
constexpr int kTrailingRoom = 200;
const QColor kGround(Qt::black);

// A sprite whose four rows are solid, distinct colours.
QPixmap rowsSprite(int width, int rowHeight, const QList<QColor>& rows)
{
    QPixmap sprite(width, rowHeight * 4);
    QPainter painter(&sprite);
    for (int row = 0; row < 4; ++row)
        painter.fillRect(0, row * rowHeight, width, rowHeight, rows[row]);
    return sprite;
}

const QList<QColor> kRowColours = {Qt::red, Qt::green, Qt::blue, Qt::yellow};

// A window holding a tab bar configured as the text views configure theirs.
struct TextViewTabs {
    QWidget window;
    ChromeTabs* tabs = new ChromeTabs(&window);

    explicit TextViewTabs(const QPixmap& sprite)
    {
        tabs->setDotSprite(sprite);
        tabs->setLead(kLead);
        tabs->setInnerMargins(5, 4, 5, 1);
        for (const char* tip : {"当前句子", "材料全文", "视频材料"})
            tabs->setTabToolTip(tabs->addTab(QString()), QString::fromUtf8(tip));
        tabs->resize(tabs->sizeHint());
        window.resize(700, 120);
        tabs->move(10, 60);
        window.show();
    }
};

void mouseMoveTo(QWidget* widget, const QPoint& at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void hoverTo(QWidget* widget, const QPoint& at)
{
    QHoverEvent hover(QEvent::HoverMove, at, widget->mapToGlobal(at), QPoint(-1, -1));
    QApplication::sendEvent(widget, &hover);
}

void leave(QWidget* widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

QPoint centreOf(const QRect& r)
{
    return QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}
} // namespace

class TabsTest : public QObject {
    Q_OBJECT

private slots:
    void dotRectanglesKeepLeadAndTrailingRoom()
    {
        TextViewTabs view(loadArtwork(QStringLiteral(":/images/bg-tab-dot.png"), 1.0));
        ChromeTabs* tabs = view.tabs;
        QCOMPARE(tabs->tabRect(0).size(), QSize(5 + kDotWidth + 5 + kLead, 4 + kDotHeight + 1));
        QCOMPARE(tabs->tabRect(1).width(), 5 + kDotWidth + 5);
        QCOMPARE(tabs->tabRect(2).width(), 5 + kDotWidth + 5 + kTrailingRoom);
        QCOMPARE(tabs->dotRect(0), QRect(kLead + 5, 4, kDotWidth, kDotHeight));
        QCOMPARE(tabs->dotRect(1), QRect(tabs->tabRect(1).left() + 5, 4, kDotWidth, kDotHeight));
        QCOMPARE(tabs->dotRect(2), QRect(tabs->tabRect(2).left() + 5, 4, kDotWidth, kDotHeight));
        tabs->setOffset(-17, 0);
        QCOMPARE(tabs->dotRect(0), QRect(kLead + 5 - 17, 4, kDotWidth, kDotHeight));
    }

    void clicksCountOnlyOnTheDots()
    {
        TextViewTabs view(loadArtwork(QStringLiteral(":/images/bg-tab-dot.png"), 1.0));
        ChromeTabs* tabs = view.tabs;
        tabs->setCurrentIndex(1);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, QPoint(kLead / 2, 8)); // the lead
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->dotRect(2).topRight() + QPoint(100, 4));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->dotRect(0).topLeft() + QPoint(-1, 4));
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::mouseClick(tabs, Qt::RightButton, {}, centreOf(tabs->dotRect(2)));
        QCOMPARE(tabs->currentIndex(), 2);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->dotRect(0).topLeft());
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void disabledTabsAreNeitherDrawnNorSwitchable()
    {
        TextViewTabs view(rowsSprite(kDotWidth, kDotHeight, kRowColours));
        ChromeTabs* tabs = view.tabs;
        tabs->setCurrentIndex(0);
        tabs->setTabEnabled(1, false);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, centreOf(tabs->dotRect(1)));
        QCOMPARE(tabs->currentIndex(), 0);
        const QImage image = renderOver(*tabs, kGround);
        QVERIFY(allExactly(image, tabs->dotRect(0), Qt::blue)); // current row over the normal one
        QVERIFY(allExactly(image, tabs->dotRect(1), kGround));
        QVERIFY(allExactly(image, tabs->dotRect(2), Qt::red));
        // Nothing is drawn outside the dots.
        QVERIFY(allExactly(image, QRect(0, 0, kLead, image.height()), kGround));
        QVERIFY(allExactly(image, QRect(tabs->dotRect(2).right() + 1, 0, kTrailingRoom, image.height()), kGround));

        // A disabled current tab shows nothing either.
        tabs->setCurrentIndex(2);
        tabs->setTabEnabled(2, false);
        QVERIFY(allExactly(renderOver(*tabs, kGround), tabs->dotRect(2), kGround));
    }

    void hoveredTabShowsItsSecondRow()
    {
        TextViewTabs view(rowsSprite(kDotWidth, kDotHeight, kRowColours));
        ChromeTabs* tabs = view.tabs;
        tabs->setCurrentIndex(0);
        hoverTo(tabs, centreOf(tabs->dotRect(2)));
        QCOMPARE(tabs->hoveredTab(), 2);
        QVERIFY(allExactly(renderOver(*tabs, kGround), tabs->dotRect(2), Qt::green));
        hoverTo(tabs, QPoint(kLead / 2, 8));
        QCOMPARE(tabs->hoveredTab(), -1);
        QVERIFY(allExactly(renderOver(*tabs, kGround), tabs->dotRect(2), Qt::red));
    }

    void ownSpriteWiderThanTheDotReachesRight()
    {
        TextViewTabs view(rowsSprite(kDotWidth, kDotHeight, kRowColours));
        ChromeTabs* tabs = view.tabs;
        tabs->setTabSprite(2, rowsSprite(kDotWidth + 10, kDotHeight, {Qt::cyan, Qt::magenta, Qt::white, Qt::gray}));
        tabs->setCurrentIndex(0);
        const QImage image = renderOver(*tabs, kGround);
        const QRect dot = tabs->dotRect(2);
        QVERIFY(allExactly(image, dot.adjusted(0, 0, 10, 0), Qt::cyan));
        QCOMPARE(image.pixelColor(dot.right() + 11, dot.top()), kGround);
    }

    void balloonFollowsTheDots()
    {
        TextViewTabs view(loadArtwork(QStringLiteral(":/images/bg-tab-dot.png"), 1.0));
        ChromeTabs* tabs = view.tabs;
        mouseMoveTo(tabs, centreOf(tabs->dotRect(0)));
        QPointer<BalTipLable> first = BalTipLable::currentBalloon();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->text(), QString::fromUtf8("当前句子"));
        QCOMPARE(first->parentWidget(), &view.window);
        const QRect dot = tabs->dotRect(0);
        const QPoint tip = tabs->mapToParent(QPoint(dot.left() + dot.width() / 2, dot.top()));
        QCOMPARE(first->geometry().bottom() + 1, tip.y());
        QCOMPARE(first->geometry().left() + first->width() / 2, tip.x());
        QCOMPARE(tabs->cursor().shape(), Qt::PointingHandCursor);

        // Moving within the dot keeps it; moving to another dot replaces it.
        mouseMoveTo(tabs, centreOf(tabs->dotRect(0)) + QPoint(1, 0));
        QCOMPARE(BalTipLable::currentBalloon(), first.data());
        mouseMoveTo(tabs, centreOf(tabs->dotRect(2)));
        QVERIFY(!first); // deleted
        QCOMPARE(BalTipLable::currentBalloon()->text(), QString::fromUtf8("视频材料"));

        // Disabled or off the dots: hidden, arrow cursor.
        tabs->setTabEnabled(1, false);
        mouseMoveTo(tabs, centreOf(tabs->dotRect(1)));
        QVERIFY(!BalTipLable::currentBalloon()->isVisible());
        QCOMPARE(tabs->cursor().shape(), Qt::ArrowCursor);
        mouseMoveTo(tabs, centreOf(tabs->dotRect(0)));
        QVERIFY(BalTipLable::currentBalloon()->isVisible());
        leave(tabs);
        QVERIFY(!BalTipLable::currentBalloon()->isVisible());
        QCOMPARE(tabs->cursor().shape(), Qt::ArrowCursor);
    }

    void standardToolTipsNeverShow()
    {
        TextViewTabs view(loadArtwork(QStringLiteral(":/images/bg-tab-dot.png"), 1.0));
        const QPoint at = centreOf(view.tabs->dotRect(0));
        QHelpEvent help(QEvent::ToolTip, at, view.tabs->mapToGlobal(at));
        QVERIFY(QApplication::sendEvent(view.tabs, &help));
        QVERIFY(!QToolTip::isVisible());
    }

    void balloonPaintsItsPictureAndText()
    {
        QWidget window;
        window.resize(200, 100);
        BalTipLable::showBalloon(QPoint(100, 80), QString::fromUtf8("材料全文"), &window);
        BalTipLable* balloon = BalTipLable::currentBalloon();
        QCOMPARE(balloon->size(), QSize(88, 40));
        QCOMPARE(balloon->pos(), QPoint(100 - 44, 80 - 40));
        const QImage image = renderOver(*balloon, Qt::magenta);
        QVERIFY(isNear(image.pixelColor(44, 4), Qt::white, 20));       // body
        QVERIFY(isNear(image.pixelColor(44, 33), QColor(232, 246, 253), 30)); // tail
        QCOMPARE(image.pixelColor(4, 36), QColor(Qt::magenta));       // beside the tail
        // The text sits in the body, above the tail: 32 = 40 less a fifth.
        QVERIFY(anyNear(image, QRect(10, 6, 68, 20), QColor(7, 53, 77), 40));
        QVERIFY(!anyNear(image, QRect(0, 32, 88, 8), QColor(7, 53, 77), 40));
        BalTipLable::hideBalloon();
        QVERIFY(!balloon->isVisible());
    }

    void phaseCaptionsSplitAtTheAtSign()
    {
        using Pair = QPair<QString, QString>;
        QCOMPARE(PhaseTabs::captions(QString::fromUtf8("Passage Imitation@全文模仿")),
                 Pair(QStringLiteral("Passage Imitation"), QString::fromUtf8("全文模仿")));
        QCOMPARE(PhaseTabs::captions(QStringLiteral("Retelling")),
                 Pair(QStringLiteral("Retelling"), QStringLiteral("Retelling")));
        QCOMPARE(PhaseTabs::captions(QStringLiteral("@a@b")), Pair(QString(), QStringLiteral("a@b")));
    }

    void phaseTabsWriteTheirCaptions()
    {
        QWidget window;
        auto* tabs = new PhaseTabs(&window);
        tabs->setUsesScrollButtons(false);
        tabs->setDotSprite(loadArtwork(QStringLiteral(":/images/bg-tab-chrome.png"), 1.0));
        tabs->setTabSprite(2, loadArtwork(QStringLiteral(":/images/bg-tab-chrome-right.png"), 1.0));
        tabs->setOuterMargins(-13, 0, -13, 0);
        tabs->setLead(210);
        for (const char* caption : {"Passage Imitation@全文模仿", "Listen & Repeat@跟读训练", "Retelling"})
            tabs->addTab(QString::fromUtf8(caption));
        tabs->resize(tabs->sizeHint());
        window.resize(tabs->size());
        window.show();
        tabs->setCurrentIndex(0);
        const QColor panel(244, 249, 252);
        const QColor dark(7, 53, 77);
        QImage image = renderOver(*tabs, panel);
        const QRect current = tabs->dotRect(0);
        const int half = current.height() / 2;
        const QRect upper0(current.left() + 20, current.top(), current.width() - 40, half);
        const QRect lower0(current.left() + 20, current.top() + half, current.width() - 40, half);
        QVERIFY(anyNear(image, upper0, Qt::white, 30));
        QVERIFY(anyNear(image, lower0, Qt::white, 30));
        const QRect other = tabs->dotRect(1);
        const QRect upper1(other.left() + 30, other.top(), other.width() - 60, half);
        const QRect lower1(other.left() + 30, other.top() + half, other.width() - 60, half);
        QVERIFY(!anyNear(image, upper1, dark, 40)); // no English on tabs that are not current
        QVERIFY(anyNear(image, lower1, dark, 40));

        // Without "@" the current tab shows the whole text in both halves.
        tabs->setCurrentIndex(2);
        image = renderOver(*tabs, panel);
        const QRect last = tabs->dotRect(2);
        QVERIFY(anyNear(image, QRect(last.left() + 20, last.top(), last.width() - 40, half), Qt::white, 30));
        QVERIFY(anyNear(image, QRect(last.left() + 20, last.top() + half, last.width() - 40, half), Qt::white, 30));

        // Disabled: no picture and no caption.
        tabs->setCurrentIndex(0);
        tabs->setTabEnabled(1, false);
        image = renderOver(*tabs, panel);
        // Its neighbours overlap it by 26 pixels on either side.
        QVERIFY(allExactly(image, other.adjusted(26, 0, -26, 0), panel));
    }

    void phaseTabsTakeClicksInTheLowerHalfOnly()
    {
        PhaseTabs tabs;
        tabs.setDotSprite(rowsSprite(100, 40, kRowColours));
        for (int i = 0; i < 3; ++i)
            tabs.setTabToolTip(tabs.addTab(QStringLiteral("a@b")), QStringLiteral("tip"));
        tabs.resize(tabs.sizeHint());
        tabs.show();
        const QRect dot = tabs.dotRect(1);
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, dot.topLeft() + QPoint(50, 19));
        QCOMPARE(tabs.currentIndex(), 0);
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, dot.topLeft() + QPoint(50, 20));
        QCOMPARE(tabs.currentIndex(), 1);
        // Moves show no balloon and keep the cursor.
        BalTipLable::hideBalloon();
        mouseMoveTo(&tabs, centreOf(tabs.dotRect(2)));
        QVERIFY(!BalTipLable::currentBalloon() || !BalTipLable::currentBalloon()->isVisible());
        QCOMPARE(tabs.cursor().shape(), Qt::ArrowCursor);
    }
};

REPETA_TEST_MAIN(TabsTest)
#include "tst_tabs.moc"
