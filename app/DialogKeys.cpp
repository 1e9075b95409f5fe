// The main window's keyboard, the drill's controls, the speed control and
// blind listening: the practice's keys act in the main window and the
// control panel, each only where its button is enabled.
#include "Dialog.h"

#include "ShortcutSheet.h"

#include "controller/Repeta.h"
#include "textview/TabsView.h"
#include "widgets/DrillControls.h"
#include "widgets/DrillStatus.h"
#include "widgets/OctImgBtn.h"
#include "widgets/PanelView.h"
#include "widgets/PhaseTabs.h"
#include "widgets/SpeedControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

namespace {
// Keys that only step a value repeat while held; the others act once.
bool repeats(KeyAction action) { return action == KeyAction::Slower || action == KeyAction::Faster; }

void clickIfEnabled(QAbstractButton* button)
{
    if (button->isEnabled() && button->isVisibleTo(button->window()) && button->window()->isVisible())
        button->click();
}

bool isModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_unknown;
}

bool within(const QObject* object, const QWidget* ancestor)
{
    for (; object; object = object->parent()) {
        if (object == ancestor)
            return true;
    }
    return false;
}
} // namespace

void Dialog::setupKeys(const QStringList& refused)
{
    for (QWidget* window : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_ui->ctrlpanel)}) {
        for (KeyAction action : kKeyActions) {
            auto* shortcut = new QShortcut(m_keys.key(action), window);
            shortcut->setContext(Qt::WindowShortcut);
            shortcut->setAutoRepeat(repeats(action));
            connect(shortcut, &QShortcut::activated, this, [this, action] { doKey(action); });
        }
    }
    const auto tip = [this](QWidget* widget, const QString& text, std::initializer_list<KeyAction> actions) {
        QList<QKeySequence> keys;
        for (KeyAction action : actions)
            keys.append(m_keys.key(action));
        widget->setToolTip(tooltipWith(text, keys));
    };
    tip(m_ui->pce.play, tr("播放/暂停本句"), {KeyAction::PlayPause, KeyAction::SentenceAgain});
    tip(m_ui->ori.play, tr("播放/暂停全文"), {KeyAction::PlayPause});
    tip(m_ui->rec.play, tr("播放/停止录音"), {KeyAction::PlayRecording});
    tip(m_ui->recCtrl, tr("开始/停止录音"), {KeyAction::Record});
    tip(m_ui->speedControl, tr("播放速度"), {KeyAction::Slower, KeyAction::Faster, KeyAction::NormalSpeed});
    tip(m_ui->drillControls->button(), tr("自动跟读"), {KeyAction::Drill});
    tip(m_ui->comparePlay, tr("对比：原句再录音"), {KeyAction::CompareAB});
    tip(m_ui->transShow, tr("显示/隐藏译文"), {KeyAction::Translations});
    tip(m_ui->blindShow, tr("盲听"), {KeyAction::Blind, KeyAction::Reveal});
    tip(m_ui->phaseTabs, tr("练习阶段"), {KeyAction::PassageImitation, KeyAction::ListenRepeat, KeyAction::Retelling});
    qApp->installEventFilter(this);
    if (refused.isEmpty())
        return;
    // Said once, when the windows are up.
    QTimer::singleShot(0, this, [this, refused] {
        auto* box = new QMessageBox(QMessageBox::Information, tr("快捷键"), refused.join(QLatin1Char('\n')),
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
}

bool Dialog::keepsDrill(KeyAction action) const
{
    return action == KeyAction::Slower || action == KeyAction::Faster || action == KeyAction::NormalSpeed ||
           action == KeyAction::Drill;
}

bool Dialog::keepsDrill(const QKeySequence& key) const
{
    for (KeyAction action : kKeyActions) {
        if (m_keys.key(action) == key)
            return keepsDrill(action);
    }
    return false;
}

void Dialog::doKey(KeyAction action)
{
    // The key that ends the drill does nothing else.
    if (m_controller->drilling() && !keepsDrill(action)) {
        m_controller->stopDrill();
        return;
    }
    const bool practice = !m_helpMode && m_ui->phaseTabs->isEnabled();
    const auto step = [this](double by) {
        if (m_ui->speedControl->isEnabled())
            m_controller->setSpeed(m_controller->speed() + by);
    };
    switch (action) {
    case KeyAction::PlayPause:
        if (m_helpMode)
            clickIfEnabled(m_ui->wikiPauser);
        else
            clickIfEnabled(m_controller->phase() == ListenRepeat ? m_ui->pce.play : m_ui->ori.play);
        break;
    case KeyAction::PreviousSentence:
    case KeyAction::NextSentence:
        if (practice)
            m_controller->stepSentence(action == KeyAction::NextSentence ? 1 : -1);
        break;
    case KeyAction::SentenceAgain:
        if (practice && m_ui->ori.play->isEnabled())
            m_controller->replaySentence();
        break;
    case KeyAction::Record:
        clickIfEnabled(m_ui->recCtrl);
        break;
    case KeyAction::PlayRecording:
        clickIfEnabled(m_ui->rec.play);
        break;
    case KeyAction::CompareAB:
        clickIfEnabled(m_ui->comparePlay);
        break;
    case KeyAction::Slower:
        step(-speed::kStep);
        break;
    case KeyAction::Faster:
        step(speed::kStep);
        break;
    case KeyAction::NormalSpeed:
        step(speed::kNormal - m_controller->speed());
        break;
    case KeyAction::Drill:
        clickIfEnabled(m_ui->drillControls->button());
        break;
    case KeyAction::Translations:
        clickIfEnabled(m_ui->transShow);
        break;
    case KeyAction::Blind:
        clickIfEnabled(m_ui->blindShow);
        break;
    case KeyAction::Reveal:
        if (m_ui->txtLrc->isBlind())
            m_ui->txtLrc->revealCurrent();
        break;
    case KeyAction::PassageImitation:
    case KeyAction::ListenRepeat:
    case KeyAction::Retelling: {
        const int phase = int(action) - int(KeyAction::PassageImitation);
        if (practice && m_ui->phaseTabs->isTabEnabled(phase))
            m_ui->phaseTabs->setCurrentIndex(phase);
        break;
    }
    case KeyAction::Help:
        showShortcutSheet();
        break;
    }
}

void Dialog::showShortcutSheet()
{
    if (m_sheet) {
        m_sheet->close();
        return;
    }
    m_sheet = new ShortcutSheet(m_keys, this);
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet->adjustSize();
    // Over the main window, within the screen.
    QRect place(QPoint(0, 0), m_sheet->frameGeometry().size());
    place.moveCenter(frameGeometry().center());
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        place.moveTop(std::clamp(place.top(), room.top(), std::max(room.top(), room.bottom() - place.height())));
        place.moveLeft(std::clamp(place.left(), room.left(), std::max(room.left(), room.right() - place.width())));
    }
    m_sheet->move(place.topLeft());
    m_sheet->show();
}

bool Dialog::eventFilter(QObject* watched, QEvent* event)
{
    if (m_controller && m_controller->drilling()) {
        if (event->type() == QEvent::MouseButtonPress) {
            // These buttons end what runs themselves.
            const bool speedOrDrill = within(watched, m_ui->speedControl) ||
                                      within(watched, m_ui->drillControls->button()) ||
                                      within(watched, m_ui->comparePlay);
            if (!speedOrDrill)
                m_controller->stopDrill();
        } else if (event->type() == QEvent::KeyPress) {
            // A key that reaches a widget is no shortcut: those stop the drill in doKey().
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!isModifier(key->key()) && !keepsDrill(QKeySequence(key->keyCombination())))
                m_controller->stopDrill();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Dialog::doDrill(bool on)
{
    if (!on) {
        m_controller->stopDrill();
        return;
    }
    if (!m_controller->startDrill(m_ui->drillControls->settings()))
        setDrillChecked(false);
}

void Dialog::doCompare()
{
    if (m_controller->drilling())
        m_controller->stopDrill();
    else
        m_controller->compareWithTake();
}

void Dialog::refreshDrillEnabled()
{
    const bool on = !m_helpMode && m_controller && m_controller->phase() == ListenRepeat &&
                    m_controller->sentenceCount() > 0;
    m_ui->drillControls->button()->setEnabled(on);
    // A/B needs the sentence's take, which the recording's play button shows.
    m_ui->comparePlay->setEnabled(on && m_ui->rec.play->isEnabled());
}

void Dialog::setSpeed(double speed) { m_ui->speedControl->setSpeed(speed); }

void Dialog::setDrillChecked(bool on)
{
    const QSignalBlocker blocker(m_ui->drillControls->button());
    m_ui->drillControls->button()->setChecked(on);
}

void Dialog::showDrill(const DrillState& state)
{
    DrillStatus* status = m_ui->drillStatus;
    switch (state.stage) {
    case DrillState::Rounds:
        status->showRound(state.round, state.rounds);
        break;
    case DrillState::Speaking:
        status->showSpeaking(state.remainingSeconds, state.totalSeconds);
        break;
    case DrillState::PlayBack:
        status->showPlayback();
        break;
    case DrillState::Off:
        status->clear();
        break;
    case DrillState::Failed: {
        status->clear();
        auto* box = new QMessageBox(QMessageBox::Warning, tr("自动跟读"), state.message, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        break;
    }
    }
}
