// The picture button's size and state pictures, and the volume icon that
// shows its slider while the mouse is over either of them.
#include "PixelChecks.h"
#include "TestEnvironment.h"
#include "resources/Artwork.h"
#include "widgets/OctImgBtn.h"
#include "widgets/VoicerImg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>

namespace {
// Cell (column, row) of the test sprites is painted in this colour.
QColor cellColour(int column, int row)
{
    return QColor(40 + 50 * row, column == 0 ? 60 : 200, 90);
}

QPixmap coloursSprite(int columns, int cellWidth, int cellHeight)
{
    QPixmap sprite(columns * cellWidth, 4 * cellHeight);
    QPainter painter(&sprite);
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < 4; ++row)
            painter.fillRect(column * cellWidth, row * cellHeight, cellWidth, cellHeight, cellColour(column, row));
    }
    return sprite;
}

QColor shownColour(OctImgBtn& button)
{
    return renderOver(button, Qt::black).pixelColor(2, 2);
}

void send(QWidget* widget, QEvent::Type type)
{
    if (type == QEvent::Enter) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
        QApplication::sendEvent(widget, &enter);
    } else {
        QEvent leave(type);
        QApplication::sendEvent(widget, &leave);
    }
}
} // namespace

class ButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void checkableSpriteGivesTheSizeOfOneCell()
    {
        OctImgBtn button;
        button.setCheckable(true);
        button.setSprite(coloursSprite(2, 40, 30), 4);
        QCOMPARE(button.size(), QSize(40, 30));
        QCOMPARE(button.minimumSize(), button.maximumSize());

        OctImgBtn single;
        QVERIFY(!single.isCheckable());
        single.setSprite(coloursSprite(1, 26, 26), 4);
        QCOMPARE(single.size(), QSize(26, 26));

        // The real play button: 52 x 104, two columns of four 26-pixel rows.
        OctImgBtn play;
        play.setCheckable(true);
        play.setSprite(loadArtwork(QStringLiteral(":/images/btn-wikipauser-check.png")), 4);
        QCOMPARE(play.size(), QSize(26, 26));
    }

    void showsTheRowOfItsState()
    {
        QWidget window;
        auto* button = new OctImgBtn(&window);
        button->setCheckable(true);
        button->setSprite(coloursSprite(2, 40, 30), 4);
        window.show();
        QCOMPARE(shownColour(*button), cellColour(0, OctImgBtn::NormalRow));
        button->setChecked(true);
        QCOMPARE(shownColour(*button), cellColour(1, OctImgBtn::NormalRow));

        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 15));
        QVERIFY(button->isDown());
        QCOMPARE(button->stateRow(), OctImgBtn::PressedRow);
        QCOMPARE(shownColour(*button), cellColour(1, OctImgBtn::PressedRow));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 15));
        QVERIFY(!button->isChecked());

        send(button, QEvent::Enter);
        QCOMPARE(shownColour(*button), cellColour(0, OctImgBtn::HoveredRow));
        send(button, QEvent::Leave);
        QCOMPARE(shownColour(*button), cellColour(0, OctImgBtn::NormalRow));

        button->setEnabled(false);
        QCOMPARE(shownColour(*button), cellColour(0, OctImgBtn::DisabledRow));
    }

    void fewerRowsLeaveTheOtherStatesEmpty()
    {
        QPixmap sprite(30, 20);
        sprite.fill(Qt::red);
        OctImgBtn button;
        button.setSprite(sprite, 2);
        QCOMPARE(button.size(), QSize(30, 10));
        QCOMPARE(shownColour(button), QColor(Qt::red));
        button.setEnabled(false);
        QCOMPARE(shownColour(button), QColor(Qt::black)); // row 3 is empty

        button.setSprite(QPixmap(), 4);
        QCOMPARE(button.size(), QSize(30, 10));
    }

    void wholeRectangleTakesClicksAndTextFollowsTheCheck()
    {
        QWidget window;
        auto* button = new OctImgBtn(&window);
        button->setCheckable(true);
        QPixmap plain(112, 96);
        plain.fill(QColor(230, 242, 250));
        button->setSprite(plain, 4);
        window.show();
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(1, 1));
        QVERIFY(button->isChecked());
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(55, 23));
        QVERIFY(!button->isChecked());

        const QImage bare = renderOver(*button);
        button->setTexts(QString::fromUtf8("编辑"), QString::fromUtf8("完成"));
        const QImage off = renderOver(*button);
        button->setChecked(true);
        const QImage on = renderOver(*button);
        QVERIFY(allExactly(bare, bare.rect(), QColor(230, 242, 250)));
        QVERIFY(anyNear(off, QRect(14, 4, 28, 16), Qt::black, 60));
        QVERIFY(off != on);
    }

    void companionOutlivesTheGapBetweenIconAndSlider()
    {
        QWidget window;
        auto* layout = new QHBoxLayout(&window);
        auto* icon = new VoicerImg(&window);
        icon->setPixmap(loadArtwork(QStringLiteral(":/images/volumer075.png")));
        auto* slider = new QSlider(Qt::Horizontal, &window);
        auto* caption = new QLabel(QString::fromUtf8("材料全文"), &window);
        auto* time = new QLabel(QStringLiteral("00:00:00"), &window);
        for (QWidget* w : std::initializer_list<QWidget*>{icon, slider, caption, time})
            layout->addWidget(w);
        window.show();
        icon->addExtra(caption);
        icon->addExtra(time);
        icon->setCompanion(slider);
        QVERIFY(slider->isHidden());
        QVERIFY(caption->isVisible() && time->isVisible());

        send(icon, QEvent::Enter);
        QVERIFY(slider->isVisible());
        QVERIFY(caption->isHidden() && time->isHidden());
        send(icon, QEvent::Leave);
        QTest::qWait(VoicerImg::kHideDelayMs / 2);
        send(slider, QEvent::Enter);
        QTest::qWait(VoicerImg::kHideDelayMs * 2);
        QVERIFY(slider->isVisible());

        send(slider, QEvent::Leave);
        QTest::qWait(VoicerImg::kHideDelayMs / 2);
        QVERIFY(slider->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(slider->isHidden(), VoicerImg::kHideDelayMs * 3);
        QVERIFY(caption->isVisible() && time->isVisible());
    }

    void wheelOverTheIconMovesTheSlider()
    {
        QWidget window;
        auto* icon = new VoicerImg(&window);
        auto* slider = new QSlider(Qt::Horizontal, &window);
        slider->setRange(0, 100);
        slider->setValue(50);
        icon->resize(24, 24);
        window.show();
        icon->setCompanion(slider);
        QWheelEvent wheel(QPointF(5, 5), icon->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(icon, &wheel);
        QVERIFY(slider->value() > 50);
    }

    void withoutCompanionNothingHides()
    {
        QWidget window;
        auto* icon = new VoicerImg(&window);
        auto* caption = new QLabel(&window);
        window.show();
        icon->addExtra(caption);
        send(icon, QEvent::Enter);
        send(icon, QEvent::Leave);
        icon->doHide();
        QVERIFY(caption->isVisible());
    }
};

REPETA_TEST_MAIN(ButtonsTest)
#include "tst_buttons.moc"
