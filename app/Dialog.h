// The main window: builds the widgets, creates the controller and turns the
// widgets' signals into its calls; keeps the control panel and the library
// window beside it; owns the tray icon and the profile.
#pragma once

#include "DialogForm.h"
#include "Shortcuts.h"

#include "controller/Contracts.h"

#include <QDialog>
#include <QPointer>
#include <QSettings>
#include <QSystemTrayIcon>

#include <memory>

class QMenu;
class QSkinObject;

class Dialog : public QDialog, public vCtrlWidget {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    void setOriPlayEnabled(bool on) override;
    void setPcePlayEnabled(bool on) override;
    void setRecPlayEnabled(bool on) override;
    void setOriPlayChecked(bool on) override;
    void setPcePlayChecked(bool on) override;
    void setRecPlayChecked(bool on) override;
    void setOriRowVisible(bool on) override;
    void setPceRowVisible(bool on) override;
    void setRecRowVisible(bool on) override;
    void setPracticeEnabled(bool on) override;
    void setPhaseEnabled(bool enabled, int tab) override;
    void setRecordChecked(bool on) override;
    void setHelpMode(bool on) override;
    void setTextTabOffset(const QPoint& offset) override;
    void setRecTime(const QString& text) override;
    void setPceTime(const QString& text) override;
    void setOriTime(const QString& text) override;
    void setSpeed(double speed) override;
    void setDrillChecked(bool on) override;
    void showDrill(const DrillState& state) override;

    const DialogForm& form() const { return *m_ui; }
    Repeta* controller() const { return m_controller; }
    bool inHelpMode() const { return m_helpMode; }

public slots:
    void doExportSig(QString material);
    void doSwitchSig(QString material);
    void doPhaseCho(int phase);
    void doPlayOri(bool on);
    void doPlayPce(bool on);
    void doPlayRec(bool on);
    void doRecStart(bool on);
    void doRecCtrlVol(float fraction);
    void doVolRec(float fraction);
    void doVolPce(float fraction);
    void doVolOri(float fraction);
    void doWikiStop();
    void doToggleMat();
    void doLrcEdit(bool on);
    void doSplitLrc();
    void doTrayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void on_actionQuit_triggered();
    void on_actionHelp_triggered();
    void on_actionAbout_triggered();

protected:
    void moveEvent(QMoveEvent* event) override;
    // While the drill runs, any click or key of the learner's but the speed's ends it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void connectWidgets();
    void setupCompanions(const QPoint& origin);
    void setupTray();
    void restoreSliders();
    void restoreState();
    void writeProfile();
    void setupKeys(const QStringList& refused);
    void doKey(KeyAction action);
    void doDrill(bool on);
    void doCompare();
    void refreshDrillEnabled();
    void showShortcutSheet();
    // Keys that leave the drill running: the speed's and the drill's own.
    bool keepsDrill(KeyAction action) const;
    bool keepsDrill(const QKeySequence& key) const;

    std::unique_ptr<DialogForm> m_ui;
    QSettings m_profile;
    QSkinObject* m_mainSkin = nullptr;
    QSkinObject* m_librarySkin = nullptr;
    Repeta* m_controller = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    bool m_helpMode = false;
    KeyMap m_keys;
    QPointer<QDialog> m_sheet;
};
