// Moving, resizing and the title-bar buttons, driven by mouse events sent to
// a real skinned top-level window.
#include "TestEnvironment.h"

#include "SkinFixture.h"
#include "skin/QSkinObject.h"
#include "skin/QSkinWidgetResizeHandler.h"

#include <QGridLayout>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace skintest;
using Zone = QSkinWidgetResizeHandler::Zone;

namespace {

constexpr QPoint kOrigin(300, 200);
constexpr QSize kSize(400, 300);

// Counts the close requests that reach the window.
class Window : public QWidget {
public:
    int closeEvents = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeEvents;
        QWidget::closeEvent(event);
    }
};

QColor frameColour(const QSkinObject& skin, QPoint pos)
{
    const qreal ratio = skin.frame().devicePixelRatio();
    return skin.frame().toImage().pixelColor(QPoint((pos.x() + 0.5) * ratio, (pos.y() + 0.5) * ratio));
}

} // namespace

class ResizeTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder;
    SkinShape shape;

    // A skinned window at kOrigin with kSize, exposed and painted.
    bool show(QWidget& window, QSkinObject& skin)
    {
        window.resize(kSize);
        window.move(kOrigin);
        skin.setSettingsPath(writeSkin(folder, shape));
        skin.startSkinning();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        window.repaint();
        return QTest::qWaitFor([&] { return window.geometry() == QRect(kOrigin, kSize); });
    }

    QRect geometryAfterDrag(QWidget& window, QPoint from, QPoint by)
    {
        const QPoint start = window.mapToGlobal(from);
        if (!press(&window, from))
            return QRect();
        dragTo(&window, start + by / 2);
        dragTo(&window, start + by);
        QTest::qWait(20);
        const QRect result = window.geometry();
        release(&window, window.mapFromGlobal(start + by));
        return result;
    }

private slots:
    void init()
    {
        shape = SkinShape();
        shape.topRight = 2; // the close button reaches into the right resize strip
    }

    void zonesAndCursors_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("cursor");
        const int w = kSize.width();
        const int h = kSize.height();
        const int g = 4;
        QTest::newRow("top-left") << QPoint(g, g) << int(Zone::TopLeft) << int(Qt::SizeFDiagCursor);
        QTest::newRow("bottom-right") << QPoint(w - g, h - g) << int(Zone::BottomRight) << int(Qt::SizeFDiagCursor);
        QTest::newRow("bottom-left") << QPoint(0, h - 1) << int(Zone::BottomLeft) << int(Qt::SizeBDiagCursor);
        QTest::newRow("top-right") << QPoint(w - 1, 0) << int(Zone::TopRight) << int(Qt::SizeBDiagCursor);
        QTest::newRow("top") << QPoint(200, g) << int(Zone::Top) << int(Qt::SizeVerCursor);
        QTest::newRow("bottom") << QPoint(200, h - g) << int(Zone::Bottom) << int(Qt::SizeVerCursor);
        QTest::newRow("left") << QPoint(0, 150) << int(Zone::Left) << int(Qt::SizeHorCursor);
        QTest::newRow("right") << QPoint(w - g, 150) << int(Zone::Right) << int(Qt::SizeHorCursor);
        QTest::newRow("just inside the grip") << QPoint(g + 1, g + 1) << int(Zone::Body) << int(Qt::ArrowCursor);
        QTest::newRow("body") << QPoint(200, 150) << int(Zone::Body) << int(Qt::ArrowCursor);
    }

    void zonesAndCursors()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, zone);
        QFETCH(int, cursor);
        Window window;
        auto* child = new QWidget(&window);
        child->setGeometry(150, 100, 20, 20);
        auto* pointing = new QWidget(&window);
        pointing->setCursor(Qt::PointingHandCursor);
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));

        hover(&window, pos);
        QCOMPARE(int(skin.handler()->zone()), zone);
        QCOMPARE(int(window.cursor().shape()), cursor);
        QCOMPARE(child->cursor().shape(), Qt::ArrowCursor); // never the window's resize arrow
        QCOMPARE(pointing->cursor().shape(), Qt::PointingHandCursor);
    }

    void zoneOutsideAndWhenMinimized()
    {
        QCOMPARE(QSkinWidgetResizeHandler::zoneAt(QPoint(200, 400), kSize, 4), Zone::Bottom);
        QCOMPARE(QSkinWidgetResizeHandler::zoneAt(QPoint(kSize.width(), 150), kSize, -1), Zone::None);
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        window.setWindowState(Qt::WindowMinimized);
        hover(&window, QPoint(0, 0));
        QCOMPARE(skin.handler()->zone(), Zone::Body);
    }

    void bodyDragMovesWithoutResizing()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        QSignalSpy activated(skin.handler(), &QSkinWidgetResizeHandler::activate);
        const QRect moved = geometryAfterDrag(window, QPoint(200, 150), QPoint(40, 25));
        QCOMPARE(moved, QRect(kOrigin + QPoint(40, 25), kSize));
        QCOMPARE(activated.count(), 1);
        QVERIFY(!skin.handler()->isDragging());
        QCOMPARE(window.closeEvents, 0);
    }

    void cornerDragResizesWithinTheLimits()
    {
        Window window;
        auto* layout = new QGridLayout(&window);
        auto* content = new QWidget;
        content->setMinimumSize(250, 180);
        layout->addWidget(content);
        window.setMaximumSize(600, 450);
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        const QSize minimum = layout->totalMinimumSize();
        QVERIFY(minimum.width() >= 250 + 8);

        const QPoint corner(kSize.width() - 2, kSize.height() - 2);
        QCOMPARE(geometryAfterDrag(window, corner, QPoint(30, 20)), QRect(kOrigin, kSize + QSize(30, 20)));
        window.setGeometry(QRect(kOrigin, kSize));
        QTRY_COMPARE(window.size(), kSize);
        QCOMPARE(geometryAfterDrag(window, corner, QPoint(-1000, -1000)), QRect(kOrigin, minimum));
        QVERIFY(content->width() >= 250 && content->height() >= 180);
        window.setGeometry(QRect(kOrigin, kSize));
        QTRY_COMPARE(window.size(), kSize);
        QCOMPARE(geometryAfterDrag(window, corner, QPoint(1000, 1000)), QRect(kOrigin, QSize(600, 450)));
    }

    void topLeftDragKeepsTheBottomRight()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        const QPoint bottomRight = window.geometry().bottomRight();
        const QRect grown = geometryAfterDrag(window, QPoint(1, 1), QPoint(-20, -10));
        QCOMPARE(grown, QRect(kOrigin - QPoint(20, 10), kSize + QSize(20, 10)));
        const QRect shrunk = geometryAfterDrag(window, QPoint(1, 1), QPoint(1000, 1000));
        QCOMPARE(shrunk.bottomRight(), bottomRight);
        QCOMPARE(shrunk.size(), window.minimumSize());
    }

    void edgeDragsMoveOneEdge()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        QCOMPARE(geometryAfterDrag(window, QPoint(kSize.width() - 1, 150), QPoint(15, 30)),
                 QRect(kOrigin, kSize + QSize(15, 0)));
        const QRect top = geometryAfterDrag(window, QPoint(200, 0), QPoint(50, -12));
        QCOMPARE(top, QRect(kOrigin - QPoint(0, 12), kSize + QSize(15, 12)));
    }

    void releasesOutsideTheButtonRowDoNothing_data()
    {
        QTest::addColumn<int>("dx"); // from the close button's left edge
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("closes");
        // The close button spans x = W - 2 - 24 .. W - 3 and y = 5 .. 24.
        QTest::newRow("x = W - 6") << (kSize.width() - 6) << 15 << true;
        QTest::newRow("x = W - 5") << (kSize.width() - 5) << 15 << false;
        QTest::newRow("x = W - 3") << (kSize.width() - 3) << 15 << false;
        QTest::newRow("y = 6") << (kSize.width() - 14) << 6 << false;
        QTest::newRow("y = 5") << (kSize.width() - 14) << 5 << false;
        QTest::newRow("y = 7") << (kSize.width() - 14) << 7 << true;
        QTest::newRow("bottom row") << (kSize.width() - 14) << 24 << true;
    }

    void releasesOutsideTheButtonRowDoNothing()
    {
        QFETCH(int, dx);
        QFETCH(int, y);
        QFETCH(bool, closes);
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        QCOMPARE(skin.closeButtonRect(), QRect(kSize.width() - 2 - 24, 5, 24, 20));
        const QPoint pos(dx, y);
        QVERIFY(skin.closeButtonRect().contains(pos));
        press(&window, pos);
        release(&window, pos);
        QCOMPARE(window.closeEvents, closes ? 1 : 0);
        QCOMPARE(window.isVisible(), !closes);
    }

    void closeClosesOnceThenMinimizes()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::CloseOnly);
        QVERIFY(show(window, skin));
        const QPoint pos = skin.closeButtonRect().center();
        press(&window, pos);
        QVERIFY(release(&window, pos)); // consumed by the resize handler
        QCOMPARE(window.closeEvents, 1);
        QVERIFY(!window.isVisible());
        QVERIFY(window.windowState() & Qt::WindowMinimized);
    }

    void closingADeleteOnCloseWindow()
    {
        auto* window = new Window;
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<Window> watched(window);
        auto* skin = new QSkinObject(window, QSkinObject::CloseOnly);
        QVERIFY(show(*window, *skin));
        const QPoint pos = skin->closeButtonRect().center();
        press(window, pos);
        release(window, pos);
        QTRY_VERIFY(!watched);
        delete skin; // outlives its window without touching it
    }

    void closeHidesOnlyHides()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::CloseHides);
        QVERIFY(show(window, skin));
        const QPoint pos = skin.closeButtonRect().center();
        press(&window, pos);
        release(&window, pos);
        QVERIFY(window.isHidden());
        QCOMPARE(window.closeEvents, 0);
        QCOMPARE(window.windowState(), Qt::WindowNoState);
        window.show(); // and comes back as it was
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!skin.isCloseHovered());
    }

    void minimizeButtonStates()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        const QPoint pos = skin.minimizeButtonRect().center();
        QCOMPARE(frameColour(skin, pos), colourOf(QStringLiteral("minimize_button_normal")));
        hover(&window, pos);
        QVERIFY(skin.isMinimizeHovered());
        QCOMPARE(frameColour(skin, pos), colourOf(QStringLiteral("minimize_button_hover")));
        press(&window, pos);
        QVERIFY(skin.isMousePressed());
        window.repaint();
        QCOMPARE(frameColour(skin, pos), colourOf(QStringLiteral("minimize_button_pressed")));
        QCOMPARE(frameColour(skin, skin.closeButtonRect().center()), colourOf(QStringLiteral("close_button_normal")));
        release(&window, pos);
        QVERIFY(!skin.isMousePressed());
        QVERIFY(window.windowState() & Qt::WindowMinimized);
        QCOMPARE(window.closeEvents, 0);
    }

    void hoverEndsWhenThePointerLeaves()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        hover(&window, skin.closeButtonRect().center());
        QVERIFY(skin.isCloseHovered());
        hover(&window, QPoint(200, 150));
        QVERIFY(!skin.isCloseHovered());
        hover(&window, skin.closeButtonRect().center());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&window, &leave);
        QVERIFY(!skin.isCloseHovered());
    }

    void pressOnAButtonDragsAndTheReleaseStillActs()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        const QPoint pos = skin.minimizeButtonRect().center();
        QCOMPARE(QSkinWidgetResizeHandler::zoneAt(pos, kSize, skin.handler()->gripWidth()), Zone::Body);
        const QPoint start = window.mapToGlobal(pos);
        press(&window, pos);
        dragTo(&window, start + QPoint(-30, 40));
        QTRY_COMPARE(window.pos(), kOrigin + QPoint(-30, 40));
        QCOMPARE(window.size(), kSize);
        release(&window, window.mapFromGlobal(start + QPoint(-30, 40)));
        QVERIFY(window.windowState() & Qt::WindowMinimized);
    }

    void otherButtonsNeitherDragNorAct()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        const QPoint pos = skin.closeButtonRect().center();
        press(&window, pos, Qt::RightButton);
        QVERIFY(!skin.handler()->isDragging());
        QVERIFY(!skin.isMousePressed());
        release(&window, pos, Qt::RightButton);
        QCOMPARE(window.closeEvents, 0);

        // A move without the left button held ends a drag.
        press(&window, QPoint(200, 150));
        QVERIFY(skin.handler()->isDragging());
        hover(&window, QPoint(210, 150));
        QVERIFY(!skin.handler()->isDragging());
        QCOMPARE(window.pos(), kOrigin);
    }

    void shortcutsWaitWhileDragging()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(show(window, skin));
        QKeyEvent idle(QEvent::ShortcutOverride, Qt::Key_A, Qt::NoModifier);
        idle.ignore();
        QApplication::sendEvent(&window, &idle);
        QVERIFY(!idle.isAccepted());
        press(&window, QPoint(200, 150));
        QKeyEvent dragging(QEvent::ShortcutOverride, Qt::Key_A, Qt::NoModifier);
        dragging.ignore();
        QVERIFY(QApplication::sendEvent(&window, &dragging));
        QVERIFY(dragging.isAccepted());
        release(&window, QPoint(200, 150));
    }

    void maximizedWindowIsNotDraggedAndActsOnce()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::CloseOnly);
        QVERIFY(show(window, skin));
        window.setWindowState(Qt::WindowMaximized);
        QTRY_VERIFY(window.isMaximized());
        const QPoint pos = skin.closeButtonRect().center();
        QVERIFY(skin.closeButtonRect().contains(pos));
        press(&window, pos);
        QVERIFY(!skin.handler()->isDragging());
        // The handler reports the release and lets it through to the skin's
        // own filter: the button acts once, not twice.
        release(&window, pos);
        QCOMPARE(window.closeEvents, 1);
    }

    void withAPopupOpenEventsPassThrough()
    {
        Window window;
        QSkinObject skin(&window, QSkinObject::CloseOnly);
        QVERIFY(show(window, skin));
        QMenu menu;
        menu.addAction(QStringLiteral("Import"));
        menu.popup(window.mapToGlobal(QPoint(100, 100)));
        QTRY_VERIFY(QApplication::activePopupWidget());
        const QPoint pos = skin.closeButtonRect().center();
        press(&window, pos);
        QVERIFY(!skin.handler()->isDragging());
        release(&window, pos);
        QCOMPARE(window.closeEvents, 1); // the skin's own filter acted, once
        menu.close();
    }
};

REPETA_TEST_MAIN(ResizeTest)
#include "tst_resize.moc"
