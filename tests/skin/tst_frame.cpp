// The skinned frame: settings, pieces, mask, title-bar buttons, icon and
// title, drawn from real SVG files onto real top-level windows.
#include "TestEnvironment.h"

#include "SkinFixture.h"
#include "skin/QSkinObject.h"
#include "skin/QSkinWidgetResizeHandler.h"
#include "skin/SkinSettings.h"

#include <QDialog>
#include <QGridLayout>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

using namespace skintest;

namespace {

QIcon solidIcon(QSize size, const QColor& colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// The frame at window coordinates, whatever density it was drawn at.
QColor frameColour(const QSkinObject& skin, QPoint pos)
{
    const qreal ratio = skin.frame().devicePixelRatio();
    const QPoint pixel((pos.x() + 0.5) * ratio, (pos.y() + 0.5) * ratio);
    return skin.frame().toImage().pixelColor(pixel);
}

int whitePixels(const QSkinObject& skin, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += frameColour(skin, QPoint(x, y)) == QColor(Qt::white);
    }
    return count;
}

QString writeIni(const QTemporaryDir& folder, const QByteArray& lines)
{
    QFile file(folder.filePath(QStringLiteral("settings.ini")));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("[Skin]\n" + lines);
    return fromProgram(file.fileName());
}

// Window opacity is kept in steps of 1/255.
bool hasOpacity(const QWidget& window, double opacity)
{
    return qAbs(window.windowOpacity() - opacity) <= 1.0 / 255;
}

bool showSkinned(QWidget& window, QSkinObject& skin, const QString& settings, QSize size)
{
    window.resize(size);
    window.move(200, 150);
    skin.setSettingsPath(settings);
    skin.startSkinning();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.repaint();
    return !skin.frame().isNull();
}

// A box that is not whole pixels is squeezed into whole ones when drawn,
// which blurs the piece and shows seams between neighbours.
bool boxesAreWholePixels(const QString& svgPath)
{
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return false;
    for (const QString& id : elementIds()) {
        const QRectF box = renderer.boundsOnElement(id);
        if (box.isEmpty() || box != QRectF(elementBox(renderer, id))) {
            qWarning() << id << box;
            return false;
        }
    }
    return true;
}

// Pictures of the shipped skins, for looking at, where REPETA_SKIN_SHOTS says.
void saveShot(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("REPETA_SKIN_SHOTS");
    if (folder.isEmpty())
        return;
    QImage shot(window.size() * window.devicePixelRatioF(), QImage::Format_ARGB32);
    shot.setDevicePixelRatio(window.devicePixelRatioF());
    shot.fill(QColor(90, 90, 90)); // a desktop behind the masked corners
    QPainter painter(&shot);
    painter.setClipRegion(window.mask());
    window.render(&painter);
    painter.end();
    shot.save(QStringLiteral("%1/%2@%3x.png").arg(folder, name).arg(window.devicePixelRatioF()));
}

} // namespace

class FrameTest : public QObject {
    Q_OBJECT

private slots:
    void settingsDefaults()
    {
        const SkinSettings skin = readSkinSettings(QStringLiteral("/nonexistent"), QStringLiteral("skin/none.ini"));
        QVERIFY(!skin.found);
        QCOMPARE(skin.backgroundColor, QColor(Qt::black));
        QCOMPARE(skin.titleColor, QColor(255, 100, 0));
        QCOMPARE(skin.alpha, 1.0);
        QCOMPARE(skin.titleFont.family(), QStringLiteral("Arial"));
        QVERIFY(skin.skinPath.isEmpty());
    }

    void settingsValues()
    {
        QTemporaryDir folder;
        const QString ini = writeIni(folder, "Hintergrundfarbe=80336699\nTitelfarbe=navy\nAlpha=0.75\n"
                                             "Titelschrift=DejaVu Sans,13,-1,5,700,0,0,0,0,0,0,0,0,0,0,1\n"
                                             "Skinpfad=pictures/frame.svg\n");
        const QString program = QCoreApplication::applicationDirPath();
        const SkinSettings skin = readSkinSettings(program, ini);
        QVERIFY(skin.found);
        QCOMPARE(skin.backgroundColor, QColor(0x33, 0x66, 0x99)); // the alpha part is dropped
        QCOMPARE(skin.titleColor, QColor(0, 0, 128));
        QCOMPARE(skin.alpha, 0.75);
        QCOMPARE(skin.titleFont.family(), QStringLiteral("DejaVu Sans")); // a list in INI terms
        QCOMPARE(skin.titleFont.pointSize(), 13);
        QCOMPARE(skin.titleFont.weight(), QFont::Bold);
        QCOMPARE(skin.skinPath, program + QStringLiteral("/pictures/frame.svg"));
    }

    void unreadableSettingsGiveDefaults()
    {
        QTemporaryDir folder;
        const QString ini = writeIni(folder, "Hintergrundfarbe=zz\nTitelfarbe=no-such-colour\nAlpha=half\n"
                                             "Titelschrift=\n");
        const SkinSettings skin = readSkinSettings(QCoreApplication::applicationDirPath(), ini);
        QCOMPARE(skin.backgroundColor, QColor(Qt::black));
        QCOMPARE(skin.titleColor, QColor(255, 100, 0));
        QCOMPARE(skin.alpha, 1.0); // not 0: an unreadable number must not make the window invisible
        QCOMPARE(skin.titleFont.family(), QStringLiteral("Arial"));
    }

    void opacityFollowsAlpha()
    {
        QTemporaryDir folder;
        SkinShape shape;
        shape.iniLines = QStringLiteral("Alpha=0.75\n");
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, shape), QSize(300, 200)));
        QCOMPARE(skin.opacity(), 0.75);
        QVERIFY(hasOpacity(window, 0.75));
        skin.setAlphaValue(0.5);
        QCOMPARE(skin.opacity(), 0.5);
        QVERIFY(hasOpacity(window, 0.5));
    }

    void windowBecomesFramelessAndKeepsItsType()
    {
        QDialog dialog;
        QSkinObject skin(&dialog, QSkinObject::CloseOnly);
        QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(dialog.windowType(), Qt::Dialog);
    }

    void piecesAreDrawnIntoTheirRectangles()
    {
        QTemporaryDir folder;
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, SkinShape()), QSize(320, 210)));

        QCOMPARE(skin.frame().deviceIndependentSize().toSize(), QSize(320, 210));
        const QVector<FramePiece> pieces = framePieces(skin.elements(), window.size());
        QCOMPARE(pieces.size(), 8);
        QCOMPARE(pieces[0].target, QRect(8, 0, 320 - 16, 30));   // border_top between the corners
        QCOMPARE(pieces[3].target, QRect(0, 30, 4, 210 - 30 - 6)); // border_left below the corner
        QCOMPARE(pieces[7].target, QRect(312, 204, 8, 6));         // border_bottomright
        for (const FramePiece& piece : pieces)
            QCOMPARE(frameColour(skin, piece.target.center()), colourOf(piece.element));

        QCOMPARE(skin.clientArea(), QRect(4, 30, 312, 174));
        QCOMPARE(frameColour(skin, skin.clientArea().center()), QColor(0x33, 0x66, 0x99));
        QCOMPARE(frameColour(skin, skin.closeButtonRect().center()), colourOf(QStringLiteral("close_button_normal")));
        QCOMPARE(frameColour(skin, skin.minimizeButtonRect().center()),
                 colourOf(QStringLiteral("minimize_button_normal")));

        // What the window shows is the frame.
        const QImage shown = window.grab().toImage();
        QCOMPARE(shown.pixelColor(QPoint(160, 15) * shown.devicePixelRatio()), colourOf(QStringLiteral("border_top")));
    }

    void maskIsTheFramesOpaquePixels()
    {
        QTemporaryDir folder;
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, SkinShape()), QSize(300, 200)));
        const QRegion mask = window.mask();
        QCOMPARE(mask.boundingRect(), window.rect());
        QVERIFY(!mask.contains(QPoint(0, 0)));
        QVERIFY(!mask.contains(QPoint(kNotch - 1, kNotch - 1)));
        QVERIFY(mask.contains(QPoint(kNotch, 0)));
        QVERIFY(mask.contains(QPoint(0, kNotch)));
        QVERIFY(mask.contains(skin.clientArea()));
    }

    void maskShapesTheWindowOnTheScreen()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("only a window system shows the shape");
        QTemporaryDir folder;
        QWidget window;
        window.setStyleSheet(QStringLiteral("background: #ffff00"));
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, SkinShape()), QSize(300, 200)));
        QTest::qWait(200);
        const QPoint origin = window.geometry().topLeft();
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        const QColor desktop = screen.pixelColor(origin + QPoint(-3, -3));
        QCOMPARE(screen.pixelColor(origin + QPoint(1, 1)), desktop);            // the notch is cut out
        QCOMPARE(screen.pixelColor(origin + QPoint(150, 15)), colourOf(QStringLiteral("border_top")));
        QCOMPARE(screen.pixelColor(origin + QPoint(150, 100)), QColor(0x33, 0x66, 0x99));
    }

    void marginsAndMinimumSize()
    {
        QTemporaryDir folder;
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, SkinShape()), QSize(300, 200)));
        QCOMPARE(window.contentsMargins(), QMargins(4, 30, 4, 6));
        QCOMPARE(window.minimumSize(), QSize(4 + 4 + 128, 30 + 6));
    }

    void minimumSizeKeepsTheWindowsOwn()
    {
        QTemporaryDir folder;
        const QString settings = writeSkin(folder, SkinShape());
        {
            QDialog dialog; // the export dialog fixes its minimum at its size
            dialog.setMinimumSize(444, 373);
            QSkinObject skin(&dialog, QSkinObject::CloseOnly);
            QVERIFY(showSkinned(dialog, skin, settings, QSize(444, 373)));
            QCOMPARE(dialog.minimumSize(), QSize(444, 373));
        }
        QWidget window;
        auto* layout = new QGridLayout(&window);
        auto* content = new QWidget;
        content->setMinimumSize(300, 200);
        layout->addWidget(content);
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, settings, QSize(500, 400)));
        const QSize needed = layout->totalMinimumSize();
        QVERIFY(needed.width() >= 300 + 8 && needed.height() >= 200 + 36); // inside the frame
        QCOMPARE(window.minimumSize(), needed);
    }

    void missingPictureLeavesAnEmptyFrame()
    {
        QTemporaryDir folder;
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        const QString settings = writeIni(folder, "Hintergrundfarbe=336699\nSkinpfad=no/such/picture.svg\n");
        QVERIFY(showSkinned(window, skin, settings, QSize(300, 200)));
        QCOMPARE(window.contentsMargins(), QMargins());
        QCOMPARE(window.minimumSize(), QSize(128, 0));
        QVERIFY(skin.closeButtonRect().isEmpty());
        QCOMPARE(skin.clientArea(), window.rect());
        QCOMPARE(frameColour(skin, QPoint(150, 100)), QColor(0x33, 0x66, 0x99));
    }

    void gripWidth_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("grip");
        QTest::newRow("left border 4") << 30 << 4 << 4;
        QTest::newRow("15 halved to 7") << 30 << 20 << 7;
        QTest::newRow("9 is kept") << 30 << 9 << 9;
        QTest::newRow("10 is halved") << 30 << 10 << 5;
        QTest::newRow("half a low band") << 12 << 20 << 6;
    }

    void gripWidth()
    {
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(int, grip);
        QTemporaryDir folder;
        SkinShape shape;
        shape.top = top;
        shape.left = left;
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, shape), QSize(300, 200)));
        QVERIFY(skin.handler());
        QCOMPARE(skin.handler()->gripWidth(), grip);
    }

    void buttonRectanglesFollowTheWidth()
    {
        QTemporaryDir folder;
        SkinShape shape; // the largest width and the largest height of the three
        shape.minimize = QSize(24, 22);
        shape.maximize = QSize(30, 10);
        shape.close = QSize(20, 20);
        shape.topRight = 6;
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, shape), QSize(400, 200)));
        QCOMPARE(skin.closeButtonRect(), QRect(400 - 6 - 30, 4, 30, 22));
        QCOMPARE(skin.minimizeButtonRect(), QRect(400 - 6 - 5 * 30, 4, 30, 22));

        window.resize(250, 200);
        QTRY_COMPARE(window.width(), 250);
        QCOMPARE(skin.closeButtonRect(), QRect(250 - 6 - 30, 4, 30, 22));
        QCOMPARE(skin.minimizeButtonRect(), QRect(250 - 6 - 150, 4, 30, 22));
        window.repaint();
        QCOMPARE(frameColour(skin, skin.closeButtonRect().topLeft() + QPoint(2, 2)),
                 colourOf(QStringLiteral("close_button_normal")));
    }

    void closeOnlyHasNoMinimizeButton()
    {
        QTemporaryDir folder;
        QWidget window;
        QSkinObject skin(&window, QSkinObject::CloseOnly);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, SkinShape()), QSize(400, 200)));
        QVERIFY(skin.minimizeButtonRect().isEmpty());
        const QPoint minimizePlace = minimizeButtonArea(skin.elements(), 400).center();
        QCOMPARE(frameColour(skin, minimizePlace), colourOf(QStringLiteral("border_top")));
        QCOMPARE(frameColour(skin, skin.closeButtonRect().center()), colourOf(QStringLiteral("close_button_normal")));
    }

    void iconAndTitle()
    {
        QTemporaryDir folder;
        SkinShape shape;
        shape.iniLines = QStringLiteral("Titelschrift=\"DejaVu Sans,12\"\n");
        QWidget window;
        window.setWindowTitle(QStringLiteral("Passage"));
        window.setWindowIcon(solidIcon(QSize(16, 16), QColor(250, 0, 0)));
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, shape), QSize(400, 200)));

        const QRect icon(2 * 4 + 16, 30 / 2 - 8, 16, 16);
        for (const QPoint corner : {icon.topLeft(), icon.bottomRight(), icon.center()})
            QCOMPARE(frameColour(skin, corner), QColor(250, 0, 0));
        QCOMPARE(frameColour(skin, icon.topLeft() - QPoint(1, 1)), colourOf(QStringLiteral("border_top")));
        const QRect title = titleArea(skin.elements(), window.size(), skin.closeButtonRect().width());
        QCOMPARE(title, QRect(2 * 4 + 36, 0, 400 - 5 * 24 - 8, 30));
        QVERIFY(whitePixels(skin, title) > 20);
        QCOMPARE(whitePixels(skin, QRect(0, 0, 400, 30)), whitePixels(skin, title)); // nowhere else
    }

    void iconTextGivesTheIconSize()
    {
        QTemporaryDir folder;
        SkinShape shape;
        shape.top = 40;
        QDialog dialog;
        dialog.setWindowTitle(QStringLiteral("Export"));
        dialog.setWindowIconText(QStringLiteral("146x32"));
        dialog.setWindowIcon(solidIcon(QSize(146, 32), QColor(0, 0, 250)));
        QSkinObject skin(&dialog, QSkinObject::CloseOnly);
        QVERIFY(showSkinned(dialog, skin, writeSkin(folder, shape), QSize(444, 373)));

        const QRect icon(2 * 4 + 10, (40 - 32) / 2, 146, 32);
        QCOMPARE(sizedIconArea(skin.elements(), QSize(146, 32)), icon);
        for (const QPoint corner : {icon.topLeft(), icon.bottomRight(), icon.topRight(), icon.bottomLeft()})
            QCOMPARE(frameColour(skin, corner), QColor(0, 0, 250));
        QCOMPARE(frameColour(skin, icon.bottomRight() + QPoint(1, 1)), colourOf(QStringLiteral("border_top")));
        QCOMPARE(whitePixels(skin, QRect(0, 0, 444, 40)), 0); // no title text
    }

    void iconTextThatIsNoSizeDrawsNeither()
    {
        QCOMPARE(iconSizeFromText(QStringLiteral("146x32")), QSize(146, 32));
        QVERIFY(!iconSizeFromText(QStringLiteral("146X32")).isValid());
        QVERIFY(!iconSizeFromText(QStringLiteral("146x")).isValid());
        QVERIFY(!iconSizeFromText(QStringLiteral(" 146x32")).isValid());
        QVERIFY(!iconSizeFromText(QStringLiteral("99999x32")).isValid()); // no giant pixmaps
    }

    void closeHidesDrawsNoIconAndNoTitle()
    {
        QTemporaryDir folder;
        SkinShape shape;
        shape.iniLines = QStringLiteral("Titelschrift=\"DejaVu Sans,12\"\n");
        QWidget window;
        window.setWindowTitle(QStringLiteral("Library"));
        window.setWindowIcon(solidIcon(QSize(16, 16), QColor(250, 0, 0)));
        QSkinObject skin(&window, QSkinObject::CloseHides);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, shape), QSize(400, 200)));
        QCOMPARE(frameColour(skin, QPoint(2 * 4 + 16 + 8, 15)), colourOf(QStringLiteral("border_top")));
        QCOMPARE(whitePixels(skin, QRect(0, 0, 400, 30)), 0);
        QVERIFY(skin.minimizeButtonRect().isEmpty());
        QVERIFY(!skin.closeButtonRect().isEmpty());
    }

    void stopSkinningRestoresTheWindow()
    {
        QTemporaryDir folder;
        QWidget window;
        window.setMinimumSize(50, 40);
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        SkinShape shape;
        shape.iniLines = QStringLiteral("Alpha=0.8\n");
        QVERIFY(showSkinned(window, skin, writeSkin(folder, shape), QSize(300, 200)));
        QVERIFY(!window.mask().isEmpty());
        skin.stopSkinning();
        QVERIFY(window.isVisible());
        QCOMPARE(window.contentsMargins(), QMargins());
        QVERIFY(window.mask().isEmpty());
        QCOMPARE(window.windowOpacity(), 1.0);
        QVERIFY(!window.hasMouseTracking());
        QVERIFY(window.windowFlags() & Qt::WindowMaximizeButtonHint);
        QCOMPARE(window.minimumSize(), QSize(50, 40));
        QTRY_VERIFY(!skin.handler());
        window.repaint();
        QCOMPARE(window.mask(), QRegion()); // no longer painted by the skin
    }

    void frameIsDrawnAgainOnlyWhenItChanges()
    {
        QTemporaryDir folder;
        SkinShape shape;
        shape.iniLines = QStringLiteral("Titelschrift=\"DejaVu Sans,12\"\n");
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, shape), QSize(300, 200)));
        const auto redrawn = [&] {
            const qint64 before = skin.frame().cacheKey();
            window.repaint();
            return skin.frame().cacheKey() != before;
        };
        QVERIFY(!redrawn());
        window.setWindowTitle(QStringLiteral("Changed"));
        QVERIFY(redrawn());
        QVERIFY(whitePixels(skin, QRect(0, 0, 300, 30)) > 0);
        window.setWindowIcon(solidIcon(QSize(16, 16), Qt::green));
        QVERIFY(redrawn());
        QCOMPARE(frameColour(skin, QPoint(2 * 4 + 16, 7)), QColor(Qt::green));
        window.resize(320, 200);
        QTRY_COMPARE(window.width(), 320);
        QVERIFY(redrawn());
        hover(&window, skin.closeButtonRect().center()); // repaints at once
        QCOMPARE(frameColour(skin, skin.closeButtonRect().center()), colourOf(QStringLiteral("close_button_hover")));
        QVERIFY(!redrawn());
    }

    void frameMatchesTheScreenDensity()
    {
        QTemporaryDir folder;
        QWidget window;
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, writeSkin(folder, SkinShape()), QSize(300, 200)));
        const qreal ratio = window.devicePixelRatioF();
        QCOMPARE(skin.frame().devicePixelRatio(), ratio);
        QCOMPARE(skin.frame().size(), QSize(300, 200) * ratio);
        QCOMPARE(window.mask().boundingRect(), window.rect()); // in window coordinates at any density
        QVERIFY(!window.mask().contains(QPoint(1, 1)));
        QCOMPARE(frameColour(skin, QPoint(150, 15)), colourOf(QStringLiteral("border_top")));
    }

    void shippedSkins()
    {
        QWidget window;
        window.setWindowTitle(QStringLiteral("Repeta 英语口语训练"));
        QSkinObject skin(&window, QSkinObject::MinimizeClose);
        QVERIFY(showSkinned(window, skin, QStringLiteral("./skin/main.ini"), QSize(480, 300)));
        const SkinElements& main = skin.elements();
        for (const QRect& box : {main.topLeft, main.top, main.topRight, main.left, main.right, main.bottomLeft,
                                 main.bottom, main.bottomRight})
            QVERIFY(!box.isEmpty());
        QCOMPARE(main.top.height(), 30);
        QVERIFY(boxesAreWholePixels(QCoreApplication::applicationDirPath() + QStringLiteral("/skin/main.svg")));
        // Where the stretched band meets a corner, no seam: the same colour either side.
        const int seamX = main.topLeft.width();
        QCOMPARE(frameColour(skin, QPoint(seamX - 1, 20)), frameColour(skin, QPoint(seamX, 20)));
        const int rightSeamX = window.width() - main.topRight.width();
        QCOMPARE(frameColour(skin, QPoint(rightSeamX - 1, 20)), frameColour(skin, QPoint(rightSeamX, 20)));
        QCOMPARE(skin.handler()->gripWidth(), 4);
        QVERIFY(!window.mask().contains(QPoint(0, 0))); // rounded corners
        QCOMPARE(frameColour(skin, skin.clientArea().center()), skin.backgroundFill());
        QVERIFY(skin.backgroundFill().lightness() > 200); // a light panel
        saveShot(window, QStringLiteral("main"));
        hoverAndShoot(window, skin.closeButtonRect().center(), QStringLiteral("main-close-hover"));
        hoverAndShoot(window, skin.minimizeButtonRect().center(), QStringLiteral("main-minimize-hover"));

        QDialog dialog;
        dialog.setWindowIconText(QStringLiteral("146x32"));
        dialog.setWindowIcon(solidIcon(QSize(146, 32), QColor(255, 255, 255, 90)));
        QSkinObject exporter(&dialog, QSkinObject::CloseOnly);
        QVERIFY(showSkinned(dialog, exporter, QStringLiteral("./skin/exporter.ini"), QSize(444, 373)));
        QVERIFY(exporter.elements().top.height() >= 32 + 2);
        QVERIFY(boxesAreWholePixels(QCoreApplication::applicationDirPath() + QStringLiteral("/skin/exporter.svg")));
        QVERIFY(exporter.minimizeButtonRect().isEmpty());
        QVERIFY(!exporter.closeButtonRect().isEmpty());
        saveShot(dialog, QStringLiteral("exporter"));
    }

private:
    void hoverAndShoot(QWidget& window, QPoint pos, const QString& name)
    {
        hover(&window, pos);
        saveShot(window, name);
        hover(&window, QPoint(100, 100));
    }
};

REPETA_TEST_MAIN(FrameTest)
#include "tst_frame.moc"
