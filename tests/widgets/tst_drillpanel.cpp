// The panel's speed and drill controls, driven by clicks and the wheel and
// checked by what they ask for and what they paint.
#include "PixelChecks.h"
#include "TestEnvironment.h"
#include "controller/DrillSettings.h"
#include "controller/PracticeSpeed.h"
#include "widgets/DrillControls.h"
#include "widgets/DrillPopup.h"
#include "widgets/DrillStatus.h"
#include "widgets/OctImgBtn.h"
#include "widgets/SpeedControl.h"

#include <QHBoxLayout>
#include <QSignalSpy>
#include <QWheelEvent>

#include <cmath>
#include <limits>

namespace {
const QColor kGlyphBlue(0x18, 0x78, 0xa4);

void click(QWidget* widget, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(widget, Qt::LeftButton);
}

// The wheel as the field gets it from the window system: over one of its
// buttons, which pass it on to the field.
void turnWheel(StepField* field, QWidget* over, int eighthsOfDegree)
{
    const QPointF at = QRectF(over->geometry()).center();
    QWheelEvent wheel(at, field->mapToGlobal(at), QPoint(), QPoint(0, eighthsOfDegree), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(field, &wheel);
}

bool onSpeedGrid(double value)
{
    const double steps = value / speed::kStep;
    return std::abs(steps - std::round(steps)) < 1e-9 && speed::inRange(value);
}

// Columns of the right half that hold the bar's strong blue.
int filledBarColumns(DrillStatus& status)
{
    const QImage image = renderOver(status, Qt::white);
    int columns = 0;
    for (int x = image.width() / 2; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (isStrongBlue(image.pixelColor(x, y))) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}
} // namespace

class DrillPanelTest : public QObject {
    Q_OBJECT

private slots:
    void speedAsksForGridValuesAndShowsTheAnswer()
    {
        QWidget window;
        auto* control = new SpeedControl(&window);
        window.show();
        QCOMPARE(control->toolTip(), QStringLiteral("播放速度"));
        for (OctImgBtn* button : {control->downButton(), control->valueButton(), control->upButton()})
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QSignalSpy asked(control, &SpeedControl::speedRequested);

        // Unanswered, the control keeps showing the speed it was given.
        const QImage normal = renderOver(*control);
        click(control->upButton());
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.last()[0].toDouble(), 1.05);
        QCOMPARE(control->text(), QStringLiteral("1.00×"));
        control->setSpeed(0.73);
        QCOMPARE(control->text(), QStringLiteral("0.75×"));
        QVERIFY(renderOver(*control) != normal);

        // Answered as a controller would, it walks the grid and stops at the ends.
        connect(control, &SpeedControl::speedRequested, control, &SpeedControl::setSpeed);
        asked.clear();
        click(control->upButton(), 25);
        QCOMPARE(control->text(), QStringLiteral("1.50×"));
        QCOMPARE(asked.last()[0].toDouble(), speed::kMax);
        click(control->downButton(), 25);
        QCOMPARE(control->text(), QStringLiteral("0.50×"));
        click(control->downButton());
        QCOMPARE(asked.last()[0].toDouble(), speed::kMin);
        for (const QList<QVariant>& request : asked)
            QVERIFY2(onSpeedGrid(request[0].toDouble()), qPrintable(request[0].toString()));

        click(control->valueButton());
        QCOMPARE(asked.last()[0].toDouble(), speed::kNormal);
        QCOMPARE(control->text(), QStringLiteral("1.00×"));

        // A notch up over the number, then two half notches down over a button.
        turnWheel(control, control->valueButton(), 120);
        QCOMPARE(control->text(), QStringLiteral("1.05×"));
        const int before = asked.count();
        turnWheel(control, control->upButton(), -60);
        QCOMPARE(asked.count(), before);
        turnWheel(control, control->upButton(), -60);
        QCOMPARE(control->text(), QStringLiteral("1.00×"));

        // Disabled: the glyphs go grey and clicks ask for nothing.
        QVERIFY(anyNear(renderOver(*control), control->downButton()->geometry(), kGlyphBlue, 12));
        control->setEnabled(false);
        QVERIFY(!anyNear(renderOver(*control), control->downButton()->geometry(), kGlyphBlue, 12));
        asked.clear();
        click(control->upButton());
        QCOMPARE(asked.count(), 0);
    }

    void popupEditsTheSettingsWithinRange()
    {
        QWidget window;
        auto* controls = new DrillControls(&window);
        window.show();
        QVERIFY(controls->button()->isCheckable());
        QCOMPARE(controls->button()->toolTip(), QStringLiteral("自动跟读"));
        QCOMPARE(controls->button()->focusPolicy(), Qt::NoFocus);
        QCOMPARE(controls->arrow()->focusPolicy(), Qt::NoFocus);
        QVERIFY(controls->settings() == drill::Settings());

        DrillPopup* popup = controls->popup();
        QVERIFY(!popup->isVisible());
        click(controls->arrow());
        QTRY_VERIFY(popup->isVisible());
        QVERIFY(popup->windowFlags().testFlag(Qt::Popup));

        QSignalSpy changed(controls, &DrillControls::settingsChanged);
        click(popup->roundsField()->upButton(), 12);
        QCOMPARE(controls->settings().rounds, drill::kMaxRounds);
        QCOMPARE(changed.count(), drill::kMaxRounds - drill::Settings().rounds); // none past the end
        QCOMPARE(popup->roundsField()->text(), QStringLiteral("10"));
        click(popup->roundsField()->downButton(), 12);
        QCOMPARE(controls->settings().rounds, drill::kMinRounds);

        click(popup->pauseField()->downButton(), 20);
        QCOMPARE(controls->settings().pauseFactor, drill::kMinPauseFactor);
        click(popup->pauseField()->upButton(), 3);
        QCOMPARE(controls->settings().pauseFactor, 0.8); // on the grid, not 0.5 + 3 x 0.1
        QCOMPARE(popup->pauseField()->text(), QStringLiteral("0.8"));
        click(popup->pauseField()->valueButton());
        QCOMPARE(controls->settings().pauseFactor, drill::Settings().pauseFactor);

        const QRect lamp(6, 8, 8, 8); // the dot at the option's left
        QVERIFY(!anyNear(renderOver(*popup->recordButton()), lamp, QColor(0x1b, 0xb1, 0xff), 30));
        click(popup->recordButton());
        click(popup->slowFirstButton());
        QVERIFY(anyNear(renderOver(*popup->recordButton()), lamp, QColor(0x1b, 0xb1, 0xff), 30));
        const drill::Settings edited = changed.last()[0].value<drill::Settings>();
        QVERIFY(edited == controls->settings());
        QVERIFY(edited.record && edited.slowFirst && !edited.playBack);
        QCOMPARE(edited.rounds, drill::kMinRounds);

        // Settings from elsewhere come into range and are not announced back.
        changed.clear();
        drill::Settings wild;
        wild.rounds = 99;
        wild.pauseFactor = 1.26;
        wild.playBack = true;
        controls->setSettings(wild);
        QCOMPARE(controls->settings().rounds, drill::kMaxRounds);
        QCOMPARE(controls->settings().pauseFactor, 1.3);
        QVERIFY(popup->playBackButton()->isChecked() && !popup->recordButton()->isChecked());
        QCOMPARE(popup->pauseField()->text(), QStringLiteral("1.3"));
        wild.rounds = -4;
        wild.pauseFactor = std::numeric_limits<double>::quiet_NaN();
        controls->setSettings(wild);
        QCOMPARE(controls->settings().rounds, drill::kMinRounds);
        QCOMPARE(controls->settings().pauseFactor, drill::kMinPauseFactor);
        QCOMPARE(changed.count(), 0);
    }

    void statusShowsWhatTheDrillDoes()
    {
        QWidget window;
        auto* layout = new QHBoxLayout(&window);
        auto* status = new DrillStatus(&window);
        auto* neighbour = new QWidget(&window);
        layout->addWidget(status);
        layout->addWidget(neighbour, 1);
        window.show();
        QVERIFY(status->isHidden());
        const QPoint neighbourAt = neighbour->pos();

        status->showRound(2, 3);
        QVERIFY(status->isVisible());
        layout->activate();
        QCOMPARE(neighbour->pos(), neighbourAt); // its room was kept while hidden
        QCOMPARE(status->text(), QStringLiteral("第 2/3 遍"));
        const QImage round = renderOver(*status, Qt::white);
        QCOMPARE(filledBarColumns(*status), 0);

        status->showSpeaking(3.2, 3.2);
        QCOMPARE(status->text(), QStringLiteral("跟读 3.2 秒"));
        const int full = filledBarColumns(*status);
        QVERIFY(full > 20);
        status->showSpeaking(1.6, 3.2);
        QVERIFY(std::abs(filledBarColumns(*status) - full / 2) <= 2);
        QCOMPARE(status->text(), QStringLiteral("跟读 1.6 秒"));
        status->showSpeaking(-0.1, 3.2);
        QCOMPARE(filledBarColumns(*status), 0);
        QCOMPARE(status->text(), QStringLiteral("跟读 0.0 秒"));

        status->showPlayback();
        QCOMPARE(status->text(), QStringLiteral("回放"));
        QCOMPARE(filledBarColumns(*status), 0);
        QVERIFY(renderOver(*status, Qt::white) != round);

        status->clear();
        QVERIFY(status->isHidden());
        QCOMPARE(status->stage(), DrillStatus::Stage::Idle);
        layout->activate();
        QCOMPARE(neighbour->pos(), neighbourAt);
    }
};

REPETA_TEST_MAIN(DrillPanelTest)
#include "tst_drillpanel.moc"
