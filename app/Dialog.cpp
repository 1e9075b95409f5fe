#include "Dialog.h"

#include "Profile.h"

#include "controller/Repeta.h"
#include "export/Exporter.h"
#include "library/TreesView.h"
#include "media/IVideo.h"
#include "resources/Artwork.h"
#include "skin/QSkinObject.h"
#include "textview/LrcLstView.h"
#include "textview/TabsView.h"
#include "waveform/PlotView.h"
#include "widgets/DrillControls.h"
#include "widgets/DrillStatus.h"
#include "widgets/OctImgBtn.h"
#include "widgets/PanelView.h"
#include "widgets/PhaseTabs.h"
#include "widgets/SpeedControl.h"
#include "widgets/VoicerImg.h"
#include "widgets/VolSlider.h"
#include "widgets/wikiSlider.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMoveEvent>
#include <QScreen>
#include <QSignalBlocker>

namespace {
const QString kMainSkin = QStringLiteral("./skin/main.ini");
const QString kHelpVideo = QStringLiteral("help.flv");
const QString kAboutVideo = QStringLiteral("about.flv");
// The library window is this much taller than the main window; in help mode
// the control panel shows only its tab strip.
constexpr int kLibraryExtra = 90;
constexpr int kLibraryExtraInHelp = 66;
constexpr int kVideoPage = 2;
constexpr int kListPage = 1;

void setChecked(QAbstractButton* button, bool on)
{
    const QSignalBlocker blocker(button);
    button->setChecked(on);
}

QRect desktopGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry() : QRect(0, 0, 1280, 1024);
}

QPixmap volumeIcon(const char* pattern, float fraction)
{
    return loadArtwork(QString::fromLatin1(pattern).arg(volumeLevelName(fraction)));
}
} // namespace

Dialog::Dialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<DialogForm>())
    , m_profile(profilePath(), QSettings::IniFormat)
{
    const Profile profile = readProfile(m_profile);
    m_ui->setupUi(this);
    m_mainSkin = new QSkinObject(this, QSkinObject::MinimizeClose);
    m_mainSkin->setSettingsPath(kMainSkin);
    m_mainSkin->startSkinning();

    const std::optional<QPoint> saved = startPosition(profile, size(), desktopGeometry());
    if (saved)
        move(*saved);
    const QPoint origin = saved.value_or(defaultPosition(size(), desktopGeometry()));

    m_controller = new Repeta(this, m_ui->txtLrc, m_ui->rec.plot, m_ui->pce.plot, m_ui->ori.plot, m_ui->glVideo, this);
    setHelpMode(false); // the window starts in material mode
    m_ui->wikiSlid->setHandlerObject(m_controller);
    m_ui->wikiSlid->setSeekHandler(&Repeta::seekOriginal);
    m_ui->wikiVoice->setCompanion(m_ui->volSlid);
    m_ui->wikiVoice->addExtra(m_ui->wikiTime);
    for (PlotRow* row : {&m_ui->rec, &m_ui->pce, &m_ui->ori}) {
        row->volumeIcon->setCompanion(row->volume);
        row->volumeIcon->addExtra(row->caption);
        row->volumeIcon->addExtra(row->time);
    }
    connectWidgets();
    if (profile.volRec)
        m_ui->rec.volume->setValue(*profile.volRec);
    if (profile.aplRec)
        m_ui->recCtrlVol->setValue(*profile.aplRec);
    if (profile.volOri)
        m_ui->ori.volume->setValue(*profile.volOri);
    m_ui->transShow->setChecked(profile.translations);
    m_ui->txtLrc->setTranslationsVisible(profile.translations);
    m_ui->blindShow->setChecked(profile.blind);
    m_ui->drillControls->setSettings(profile.drill);
    m_controller->setSpeed(profile.speed);
    QStringList refused;
    m_keys = readKeyMap(m_profile, &refused);
    setupKeys(refused);

    PhaseTabs* tabs = m_ui->phaseTabs;
    tabs->setUsesScrollButtons(false);
    tabs->setDotSprite(loadArtwork(QStringLiteral(":/images/bg-tab-chrome.png")));
    tabs->setOuterMargins(-13, 0, -13, 0);
    tabs->setInnerMargins(0, 0, 0, 0);
    tabs->setLead(210);
    for (const char* caption : {"Passage Imitation@全文模仿", "Listen & Repeat@跟读训练", "Retelling Exercise@复述练习"})
        tabs->addTab(tr(caption));
    tabs->setTabSprite(tabs->count() - 1, loadArtwork(QStringLiteral(":/images/bg-tab-chrome-right.png")));

    setupCompanions(origin);
    setupTray();

    if (profile.materialDiff)
        m_ui->tabWidget->setCurrentIndex(*profile.materialDiff);
    if (profile.fullPlaying || profile.firstStart) {
        m_controller->openVideo(kHelpVideo);
    } else {
        m_controller->openMaterial(profile.materialName);
        m_ui->tabWidget->showMaterial(profile.materialName);
        if (profile.phase)
            m_ui->phaseTabs->setCurrentIndex(*profile.phase);
        if (profile.page)
            m_ui->txtLrc->setCurrentIndex(*profile.page);
    }
    m_ui->adjLrc->setVisible(profile.editor);
    m_ui->lrcSplit->setVisible(profile.editor);
    refreshDrillEnabled();
}

Dialog::~Dialog()
{
    // The filter asks the controller, which is about to go.
    qApp->removeEventFilter(this);
    writeProfile();
    delete m_controller;
    delete m_librarySkin;
    delete m_mainSkin;
    m_profile.sync();
}

void Dialog::writeProfile()
{
    ProfileSnapshot snapshot;
    snapshot.position = pos();
    snapshot.volRec = m_ui->rec.volume->value();
    snapshot.aplRec = m_ui->recCtrlVol->value();
    snapshot.volOri = m_ui->ori.volume->value();
    snapshot.materialDiff = m_ui->tabWidget->currentIndex();
    snapshot.fullPlaying = m_helpMode;
    snapshot.materialName = m_controller->materialPath();
    snapshot.phase = m_ui->phaseTabs->currentIndex();
    snapshot.page = m_ui->txtLrc->currentIndex();
    snapshot.translations = m_ui->txtLrc->translationsVisible();
    snapshot.speed = m_controller->speed();
    snapshot.drill = m_ui->drillControls->settings();
    snapshot.blind = m_ui->txtLrc->isBlind();
    ::writeProfile(snapshot, m_profile);
}

void Dialog::connectWidgets()
{
    connect(m_ui->ori.play, &QAbstractButton::toggled, this, &Dialog::doPlayOri);
    connect(m_ui->wikiPauser, &QAbstractButton::toggled, this, &Dialog::doPlayOri);
    connect(m_ui->pce.play, &QAbstractButton::toggled, this, &Dialog::doPlayPce);
    connect(m_ui->rec.play, &QAbstractButton::toggled, this, &Dialog::doPlayRec);
    connect(m_ui->recCtrl, &QAbstractButton::toggled, this, &Dialog::doRecStart);
    connect(m_ui->tabWidget, &TreesView::switchSig, this, &Dialog::doSwitchSig);
    connect(m_ui->tabWidget, &TreesView::exportSig, this, &Dialog::doExportSig);
    connect(m_ui->phaseTabs, &QTabBar::currentChanged, this, &Dialog::doPhaseCho);
    connect(m_ui->recCtrlVol, &VolSlider::sigPercChanged, this, &Dialog::doRecCtrlVol);
    connect(m_ui->pce.volume, &VolSlider::sigPercChanged, this, &Dialog::doVolPce);
    connect(m_ui->ori.volume, &VolSlider::sigPercChanged, this, &Dialog::doVolOri);
    connect(m_ui->volSlid, &VolSlider::sigPercChanged, this, &Dialog::doVolOri);
    connect(m_ui->rec.volume, &VolSlider::sigPercChanged, this, &Dialog::doVolRec);
    connect(m_ui->transShow, &QAbstractButton::toggled, m_ui->txtLrc, &TabsView::setTranslationsVisible);
    connect(m_ui->blindShow, &QAbstractButton::toggled, m_ui->txtLrc, &TabsView::setBlind);
    connect(m_ui->speedControl, &SpeedControl::speedRequested, m_controller, &Repeta::setSpeed);
    connect(m_ui->drillControls->button(), &QAbstractButton::toggled, this, &Dialog::doDrill);
    connect(m_ui->comparePlay, &QAbstractButton::clicked, this, &Dialog::doCompare);
    connect(m_ui->wikiStopper, &QAbstractButton::clicked, this, &Dialog::doWikiStop);
    connect(m_ui->matShow, &QAbstractButton::clicked, this, &Dialog::doToggleMat);
    connect(m_ui->adjLrc, &QAbstractButton::toggled, this, &Dialog::doLrcEdit);
    connect(m_ui->lrcSplit, &QAbstractButton::clicked, this, &Dialog::doSplitLrc);
    connect(m_ui->actionQuit, &QAction::triggered, this, &Dialog::on_actionQuit_triggered);
    connect(m_ui->actionHelp, &QAction::triggered, this, &Dialog::on_actionHelp_triggered);
    connect(m_ui->actionAbout, &QAction::triggered, this, &Dialog::on_actionAbout_triggered);
}

void Dialog::setupCompanions(const QPoint& origin)
{
    m_ui->ctrlpanel->move(origin.x(), origin.y() + height());
    m_ui->ctrlpanel->setFixedSize(width(), DialogForm::kPanelHeight);
    m_ui->ctrlpanel->setOpen(true);
    m_ui->ctrlpanel->show();

    QWidget* library = m_ui->tsWidget;
    m_librarySkin = new QSkinObject(library, QSkinObject::CloseHides);
    library->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    library->setFocusPolicy(Qt::StrongFocus);
    m_librarySkin->setSettingsPath(kMainSkin);
    m_librarySkin->startSkinning();
    library->move(origin.x() + width(), origin.y());
    library->resize(library->width(), height() + kLibraryExtra);
    library->setWindowTitle(QString());
    library->show();
}

void Dialog::setupTray()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_ui->actionHelp);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_ui->actionQuit);
    m_tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/images/Repeta.ico")), this);
    m_tray->setContextMenu(m_trayMenu);
    m_tray->setToolTip(tr("朗鹦口语模仿 %1").arg(QStringLiteral(REPETA_VERSION)));
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();
    connect(m_tray, &QSystemTrayIcon::activated, this, &Dialog::doTrayIconActivated);
}

void Dialog::setOriPlayEnabled(bool on)
{
    m_ui->ori.play->setEnabled(on);
    m_ui->wikiPauser->setEnabled(on);
}

void Dialog::setPcePlayEnabled(bool on) { m_ui->pce.play->setEnabled(on); }
void Dialog::setRecPlayEnabled(bool on)
{
    m_ui->rec.play->setEnabled(on);
    refreshDrillEnabled();
}

void Dialog::setOriPlayChecked(bool on)
{
    setChecked(m_ui->ori.play, on);
    setChecked(m_ui->wikiPauser, on);
}

void Dialog::setPcePlayChecked(bool on) { setChecked(m_ui->pce.play, on); }
void Dialog::setRecPlayChecked(bool on) { setChecked(m_ui->rec.play, on); }
void Dialog::setOriRowVisible(bool on) { m_ui->ori.setVisible(on); }
void Dialog::setPceRowVisible(bool on) { m_ui->pce.setVisible(on); }
void Dialog::setRecRowVisible(bool on) { m_ui->rec.setVisible(on); }

void Dialog::setPracticeEnabled(bool on)
{
    m_ui->phaseTabs->setEnabled(on);
    m_ui->recCtrl->setEnabled(on);
}

void Dialog::setPhaseEnabled(bool enabled, int tab)
{
    // Disabling the current tab would make the bar move on to another one.
    const QSignalBlocker blocker(m_ui->phaseTabs);
    const int current = m_ui->phaseTabs->currentIndex();
    m_ui->phaseTabs->setTabEnabled(tab, enabled);
    m_ui->phaseTabs->setCurrentIndex(current);
}

void Dialog::setRecordChecked(bool on) { setChecked(m_ui->recCtrl, on); }

void Dialog::setHelpMode(bool on)
{
    setRecRowVisible(!on);
    setPceRowVisible(!on);
    setOriRowVisible(!on);
    m_ui->plotsLO->setVerticalSpacing(on ? 0 : DialogForm::kRowSpacing);
    for (QWidget* widget : {static_cast<QWidget*>(m_ui->wikiPauser), static_cast<QWidget*>(m_ui->wikiStopper),
                            static_cast<QWidget*>(m_ui->wikiSlid), static_cast<QWidget*>(m_ui->wikiVoice),
                            static_cast<QWidget*>(m_ui->wikiTime)})
        widget->setVisible(on);
    if (!on)
        m_ui->volSlid->hide();
    for (QWidget* widget : {static_cast<QWidget*>(m_ui->recCtrl), static_cast<QWidget*>(m_ui->lab_recCVol),
                            static_cast<QWidget*>(m_ui->recCtrlVol), static_cast<QWidget*>(m_ui->speedControl),
                            static_cast<QWidget*>(m_ui->drillControls), static_cast<QWidget*>(m_ui->comparePlay)})
        widget->setVisible(!on);
    m_ui->tsWidget->resize(m_ui->tsWidget->width(), height() + (on ? kLibraryExtraInHelp : kLibraryExtra));
    m_ui->ctrlpanel->setOpen(!on);
    m_ui->ctrlpanel->update();
    m_ui->txtLrc->setTabToolTip(kListPage, on ? tr("帮助文本") : tr("材料全文"));
    m_ui->txtLrc->setTabToolTip(kVideoPage, on ? tr("帮助视频") : tr("视频材料"));
    m_ui->txtLrc->setTabEnabled(kVideoPage, on);
    m_ui->txtLrc->setTabEnabled(kListPage, !on);
    if (m_controller)
        m_controller->setSeekTarget(on ? static_cast<vPlotWidget*>(m_ui->wikiSlid) : m_ui->ori.plot);
    m_helpMode = on;
    refreshDrillEnabled();
}

void Dialog::setTextTabOffset(const QPoint& offset) { m_ui->txtLrc->setTabOffset(offset); }
void Dialog::setRecTime(const QString& text) { m_ui->rec.time->setText(text); }
void Dialog::setPceTime(const QString& text) { m_ui->pce.time->setText(text); }

void Dialog::setOriTime(const QString& text)
{
    m_ui->ori.time->setText(text);
    m_ui->wikiTime->setText(text);
}

void Dialog::doExportSig(QString)
{
    Exporter exporter(this);
    const QRect mine(mapToGlobal(QPoint(0, 0)), size());
    QRect theirs = exporter.frameGeometry();
    theirs.moveCenter(mine.center());
    exporter.move(theirs.topLeft());
    QString failed;
    const bool written = m_controller->exportRecordings(&exporter, &failed);
    showExportResult(this, written, failed, exporter.wasConfirmed());
    update();
}

void Dialog::doSwitchSig(QString material)
{
    m_controller->openMaterial(material);
    refreshDrillEnabled();
}

void Dialog::doPhaseCho(int phase)
{
    m_controller->choosePhase(phase);
    refreshDrillEnabled();
}
void Dialog::doPlayOri(bool on) { m_controller->playOriginal(on); }
void Dialog::doPlayPce(bool on) { m_controller->playSentence(on); }
void Dialog::doPlayRec(bool on) { m_controller->playRecording(on); }
void Dialog::doRecStart(bool on) { m_controller->startRecording(on); }

void Dialog::doRecCtrlVol(float fraction)
{
    m_controller->setRecGain(fraction);
    m_ui->lab_recCVol->setPixmap(volumeIcon(":/images/recvol%1.png", fraction));
}

void Dialog::doVolRec(float fraction)
{
    m_controller->setRecVolume(fraction);
    m_ui->rec.volumeIcon->setPixmap(volumeIcon(":/images/volumer%1.png", fraction));
}

void Dialog::doVolPce(float fraction) { doVolOri(fraction); }

void Dialog::doVolOri(float fraction)
{
    const VolSlider* reference = m_ui->pce.volume;
    const int position = int(fraction * float(reference->maximum() - reference->minimum())) + reference->minimum();
    for (VolSlider* slider : {m_ui->ori.volume, m_ui->pce.volume, m_ui->volSlid}) {
        const QSignalBlocker blocker(slider);
        slider->setValue(position);
    }
    m_controller->setOriVolume(fraction);
    const QPixmap icon = volumeIcon(":/images/volumer%1.png", fraction);
    for (VoicerImg* image : {m_ui->ori.volumeIcon, m_ui->pce.volumeIcon, m_ui->wikiVoice})
        image->setPixmap(icon);
}

void Dialog::doWikiStop()
{
    m_ui->wikiSlid->setPosition(0);
    m_controller->seekOriginal(0);
    m_controller->playOriginal(false);
}

void Dialog::doToggleMat() { m_ui->tsWidget->setVisible(!m_ui->tsWidget->isVisible()); }

void Dialog::doLrcEdit(bool on)
{
    m_controller->setLrcEditing(on);
    m_ui->pce.plot->update();
    m_ui->lstLrc->setTextInteractionFlags(on ? Qt::TextEditorInteraction : Qt::NoTextInteraction);
}

void Dialog::doSplitLrc() { m_controller->splitSentence(); }

void Dialog::doTrayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger)
        return;
    const bool show = isHidden();
    for (QWidget* window : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_ui->ctrlpanel), m_ui->tsWidget})
        window->setVisible(show);
    if (show)
        activateWindow();
}

void Dialog::on_actionQuit_triggered() { close(); }
void Dialog::on_actionHelp_triggered() { m_controller->openVideo(kHelpVideo); }
void Dialog::on_actionAbout_triggered() { m_controller->openVideo(kAboutVideo); }

void Dialog::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    const QPoint delta = event->pos() - event->oldPos();
    for (QWidget* window : {static_cast<QWidget*>(m_ui->ctrlpanel), m_ui->tsWidget})
        window->move(window->pos() + delta);
}

void Dialog::contextMenuEvent(QContextMenuEvent* event) { m_trayMenu->exec(event->globalPos()); }
