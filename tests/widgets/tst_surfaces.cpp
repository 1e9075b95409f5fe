// The drawn scroll bar (its handle arithmetic, painting and the standard
// mouse handling on the drawn geometry), the control panel's background and
// the style without focus frames.
#include "PixelChecks.h"
#include "TestEnvironment.h"
#include "widgets/NoFocusRectangleStyle.h"
#include "widgets/PanelView.h"
#include "widgets/RepetaScrollBar.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>
#include <QTreeWidget>

namespace {
constexpr int kBarHeight = 200;
constexpr int kCapsPx = 12; // the handle's two caps
const QColor kHandleBlue(100, 183, 227);
const QColor kTrackGrey(227, 238, 244);
constexpr int kPanelWidth = 666;
constexpr int kPanelHeight = 90;

void pressAndDrag(QWidget* widget, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

QImage focusFrameOf(QStyle& style, QWidget& widget)
{
    QImage image(40, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QStyleOptionFocusRect option;
    option.initFrom(&widget);
    option.rect = image.rect().adjusted(2, 2, -2, -2);
    option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    option.backgroundColor = Qt::white;
    QPainter painter(&image);
    style.drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, &widget);
    return image;
}
} // namespace

class SurfacesTest : public QObject {
    Q_OBJECT

private slots:
    void handleArithmetic_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("length");
        QTest::newRow("empty range") << 0 << 0 << 10 << 0 << 0 << kBarHeight;
        QTest::newRow("empty range, no page") << 5 << 5 << 0 << 5 << 0 << kBarHeight;
        QTest::newRow("half a page at the top") << 0 << 100 << 100 << 0 << 0 << 100;
        QTest::newRow("half a page midway") << 0 << 100 << 100 << 50 << 50 << 100;
        QTest::newRow("half a page at the end") << 0 << 100 << 100 << 100 << 100 << 100;
        QTest::newRow("offset range") << 10 << 60 << 50 << 35 << 50 << 100;
        QTest::newRow("tiny page, lengthened at the end") << 0 << 10000 << 10 << 10000 << kBarHeight - kCapsPx << kCapsPx;
        QTest::newRow("tiny page, lengthened midway") << 0 << 10000 << 10 << 5000 << (kBarHeight - kCapsPx) / 2 << kCapsPx;
    }

    void handleArithmetic()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, page);
        QFETCH(int, value);
        QFETCH(int, top);
        QFETCH(int, length);
        const ScrollHandle handle = scrollHandle(kBarHeight, minimum, maximum, page, value, kCapsPx);
        QCOMPARE(handle.top, top);
        QCOMPARE(handle.length, length);
    }

    void barPaintsTrackAndHandle()
    {
        RepetaScrollBar bar;
        const int constructedHeight = bar.height();
        bar.resize(12, kBarHeight);
        QCOMPARE(bar.sizeHint(), QSize(12, constructedHeight));
        bar.setRange(0, 0);
        bar.setPageStep(10);
        QImage image = renderOver(bar);
        for (int y = 8; y < kBarHeight - 8; y += 16)
            QVERIFY2(isNear(image.pixelColor(6, y), kHandleBlue, 30), qPrintable(QString::number(y)));

        bar.setRange(0, 100);
        bar.setPageStep(100);
        bar.setValue(0);
        image = renderOver(bar);
        QVERIFY(isNear(image.pixelColor(6, 50), kHandleBlue, 30));
        QCOMPARE(image.pixelColor(6, 150), kTrackGrey);
        QCOMPARE(image.pixelColor(0, 150), QColor(Qt::white));
        QCOMPARE(image.pixelColor(11, 50), QColor(Qt::white));
    }

    void mouseFollowsTheDrawnHandle()
    {
        RepetaScrollBar bar;
        bar.resize(12, kBarHeight);
        bar.setRange(0, 100);
        bar.setPageStep(100);
        bar.setValue(0);
        bar.show();
        // The handle spans 0..99; dragging it down by 50 of its 100 pixels of travel.
        pressAndDrag(&bar, QPoint(6, 90), QPoint(6, 140));
        QCOMPARE(bar.value(), 50);
        // A press below the handle pages down.
        bar.setValue(0);
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(6, 190));
        QCOMPARE(bar.value(), 100);
    }

    void panelCapsFollowTheOpenFlag()
    {
        PanelView panel;
        QVERIFY(panel.windowFlags().testFlag(Qt::Tool));
        QVERIFY(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(panel.testAttribute(Qt::WA_TranslucentBackground));
        panel.resize(kPanelWidth, kPanelHeight);
        const QColor clear(0, 0, 0, 0);
        QImage closed = renderOver(panel, clear);
        // Rounded lower corners, a right border, an opaque body throughout.
        QCOMPARE(closed.pixelColor(0, kPanelHeight - 1).alpha(), 0);
        QCOMPARE(closed.pixelColor(kPanelWidth - 1, kPanelHeight - 1).alpha(), 0);
        QCOMPARE(closed.pixelColor(kPanelWidth / 2, kPanelHeight / 2).alpha(), 255);
        QCOMPARE(closed.pixelColor(17, 40), closed.pixelColor(kPanelWidth - 18, 40));
        QVERIFY(closed.pixelColor(kPanelWidth - 1, 60) != closed.pixelColor(kPanelWidth / 2, 60));

        panel.setOpen(true);
        QVERIFY(panel.isOpen());
        QImage open = renderOver(panel, clear);
        // Below row 20 the right edge continues the middle; above it, the cap stays.
        QCOMPARE(open.pixelColor(kPanelWidth - 1, 60), open.pixelColor(kPanelWidth / 2, 60));
        QCOMPARE(open.pixelColor(kPanelWidth - 1, kPanelHeight - 1), open.pixelColor(kPanelWidth / 2, kPanelHeight - 1));
        QCOMPARE(open.pixelColor(kPanelWidth - 1, 10), closed.pixelColor(kPanelWidth - 1, 10));
        QCOMPARE(open.pixelColor(0, kPanelHeight - 1).alpha(), 0);
    }

    void focusFramesDropOnlyForTreesAndPushButtons()
    {
        QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
        NoFocusRectangleStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
        QTreeWidget tree;
        QPushButton button;
        QLineEdit edit;
        QImage blank(40, 20, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::white);
        QVERIFY(focusFrameOf(*fusion, tree) != blank); // the base style does draw one
        QCOMPARE(focusFrameOf(style, tree), blank);
        QCOMPARE(focusFrameOf(style, button), blank);
        QCOMPARE(focusFrameOf(style, edit), focusFrameOf(*fusion, edit));
        QVERIFY(focusFrameOf(style, edit) != blank);
        delete fusion;
    }
};

REPETA_TEST_MAIN(SurfacesTest)
#include "tst_surfaces.moc"
