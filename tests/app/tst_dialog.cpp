// The main window as the controller and the learner drive it: each control
// operation changes exactly its widgets without calling back, the volume
// controls stay in step, the companions follow the window, and the profile
// is restored and written.
#include "TestEnvironment.h"

#include "app/Dialog.h"
#include "app/InterfaceFont.h"
#include "app/Profile.h"
#include "controller/Repeta.h"
#include "library/MatTree.h"
#include "library/TreesView.h"
#include "library/TsWidget.h"
#include "textview/LrcLstView.h"
#include "textview/TabsView.h"
#include "widgets/OctImgBtn.h"
#include "waveform/PlotView.h"
#include "widgets/PanelView.h"
#include "widgets/PhaseTabs.h"
#include "widgets/VoicerImg.h"
#include "widgets/VolSlider.h"
#include "widgets/wikiSlider.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTextCursor>

class DialogTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_home;
    QString m_origin;

    static QImage pictureOf(const QLabel* label) { return label->pixmap().toImage(); }

private slots:
    void initTestCase()
    {
        m_origin = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_home.path()));
    }

    void cleanupTestCase() { QDir::setCurrent(m_origin); }

    // A data folder with empty lists (a missing list is reported in a box)
    // and the profile of a learner who has been here before.
    void init()
    {
        testenv::writeFile(QStringLiteral("profile.ini"), "[General]\nFullPlaying=false\n");
        QDir().mkpath(QStringLiteral("workspace"));
        for (const char* list : {"basiclist.xml", "advancedlist.xml", "expertlist.xml"})
            testenv::writeFile(QLatin1String(list), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sayloom version=\"1.0\"/>\n");
    }

    void checkedOperationsChangeTheButtonsWithoutCallingBack()
    {
        Dialog window;
        const DialogForm& ui = window.form();
        QSignalSpy oriToggled(ui.ori.play, &QAbstractButton::toggled);
        QSignalSpy pauserToggled(ui.wikiPauser, &QAbstractButton::toggled);
        QSignalSpy recordToggled(ui.recCtrl, &QAbstractButton::toggled);
        window.setOriPlayChecked(true);
        QVERIFY(ui.ori.play->isChecked() && ui.wikiPauser->isChecked());
        window.setRecordChecked(true);
        QVERIFY(ui.recCtrl->isChecked());
        window.setPcePlayChecked(true);
        window.setRecPlayChecked(true);
        QVERIFY(ui.pce.play->isChecked() && ui.rec.play->isChecked());
        QCOMPARE(oriToggled.count() + pauserToggled.count() + recordToggled.count(), 0);
        QCOMPARE(window.controller()->activity(), std::uint8_t(0));

        window.setOriPlayEnabled(false);
        QVERIFY(!ui.ori.play->isEnabled() && !ui.wikiPauser->isEnabled());
        window.setPracticeEnabled(false);
        QVERIFY(!ui.phaseTabs->isEnabled() && !ui.recCtrl->isEnabled());
        window.setOriTime(QStringLiteral("00:00:01\n00:00:09"));
        QCOMPARE(ui.ori.time->text(), QStringLiteral("00:00:01\n00:00:09"));
        QCOMPARE(ui.wikiTime->text(), ui.ori.time->text());
    }

    void disablingTheCurrentPhaseTabKeepsIt()
    {
        Dialog window;
        const DialogForm& ui = window.form();
        ui.phaseTabs->setCurrentIndex(ListenRepeat);
        QCOMPARE(window.controller()->phase(), int(ListenRepeat));
        QSignalSpy changed(ui.phaseTabs, &QTabBar::currentChanged);
        window.setPhaseEnabled(false, ListenRepeat);
        QCOMPARE(ui.phaseTabs->currentIndex(), int(ListenRepeat));
        QVERIFY(!ui.phaseTabs->isTabEnabled(ListenRepeat));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(window.controller()->phase(), int(ListenRepeat));
    }

    void theOriginalsVolumeControlsMoveTogether()
    {
        Dialog window;
        const DialogForm& ui = window.form();
        QSignalSpy pceChanged(ui.pce.volume, &VolSlider::sigPercChanged);
        QSignalSpy wikiChanged(ui.volSlid, &VolSlider::sigPercChanged);
        const QImage before = pictureOf(ui.pce.volumeIcon);
        ui.ori.volume->setValue(20);
        QCOMPARE(ui.pce.volume->value(), 20);
        QCOMPARE(ui.volSlid->value(), 20);
        QCOMPARE(pceChanged.count() + wikiChanged.count(), 0);
        const QImage quiet = pictureOf(ui.ori.volumeIcon);
        QVERIFY(quiet != before);
        QCOMPARE(pictureOf(ui.pce.volumeIcon), quiet);
        QCOMPARE(pictureOf(ui.wikiVoice), quiet);
        // The recording's own volume leaves the original's alone.
        ui.rec.volume->setValue(0);
        QCOMPARE(ui.ori.volume->value(), 20);
        QVERIFY(pictureOf(ui.rec.volumeIcon) != quiet);
    }

    void volumeIconsFollowTheirLevels()
    {
        QCOMPARE(volumeLevelName(0.0f), QStringLiteral("000"));
        QCOMPARE(volumeLevelName(0.01f), QStringLiteral("025"));
        QCOMPARE(volumeLevelName(0.25f), QStringLiteral("025"));
        QCOMPARE(volumeLevelName(0.2501f), QStringLiteral("050"));
        QCOMPARE(volumeLevelName(0.5f), QStringLiteral("050"));
        QCOMPARE(volumeLevelName(0.75f), QStringLiteral("075"));
        QCOMPARE(volumeLevelName(0.76f), QStringLiteral("100"));
    }

    void theCompanionsMoveWithTheWindow()
    {
        Dialog window;
        window.show();
        const DialogForm& ui = window.form();
        const QPoint panel = ui.ctrlpanel->pos();
        ui.tsWidget->hide(); // a hidden companion moves too
        const QPoint library = ui.tsWidget->pos();
        window.move(window.pos() + QPoint(37, -11));
        QTRY_COMPARE(ui.ctrlpanel->pos(), panel + QPoint(37, -11));
        QCOMPARE(ui.tsWidget->pos(), library + QPoint(37, -11));
        QCOMPARE(ui.ctrlpanel->width(), window.width());
        QCOMPARE(ui.ctrlpanel->height(), DialogForm::kPanelHeight);
    }

    void helpModeShowsTheVideoControls()
    {
        Dialog window;
        window.show();
        const DialogForm& ui = window.form();
        QVERIFY(!window.inHelpMode());
        QVERIFY(ui.wikiPauser->isHidden() && ui.recCtrl->isVisible());
        window.setHelpMode(true);
        QVERIFY(window.inHelpMode());
        QVERIFY(ui.ori.plot->isHidden() && ui.pce.play->isHidden() && ui.rec.time->isHidden());
        QVERIFY(ui.wikiPauser->isVisible() && ui.wikiSlid->isVisible() && ui.wikiTime->isVisible());
        QVERIFY(ui.recCtrl->isHidden() && ui.recCtrlVol->isHidden());
        QCOMPARE(ui.tsWidget->height(), window.height() + 66);
        QVERIFY(ui.txtLrc->isTabEnabled(2) && !ui.txtLrc->isTabEnabled(1));
        QCOMPARE(ui.txtLrc->tabToolTip(2), QStringLiteral("帮助视频"));
        window.setHelpMode(false);
        QVERIFY(ui.ori.plot->isVisible() && ui.wikiPauser->isHidden());
        QCOMPARE(ui.tsWidget->height(), window.height() + 90);
        QCOMPARE(ui.txtLrc->tabToolTip(1), QStringLiteral("材料全文"));
    }

    void theProfileIsRestoredAndWrittenBack()
    {
        QVERIFY(QFile::copy(testenv::media(QStringLiteral("sentences.mp3")), QStringLiteral("workspace/sentences.mp3")));
        QVERIFY(QFile::copy(testenv::media(QStringLiteral("sentences.lrc")), QStringLiteral("workspace/sentences.lrc")));
        testenv::writeFile(QStringLiteral("profile.ini"),
                           "[General]\nvol-ori=40\napl-rec=60\nMaterialDiff=2\nMaterialName=./workspace/sentences.mp3\n"
                           "Phase=1\nPage=0\nEditor=true\npos-x=0\npos-y=100\n");
        testenv::writeFile(QStringLiteral("advancedlist.xml"),
                           "<sayloom><train><title>G</title><case url=\"other.mp3\"><title>O</title></case>"
                           "<case url=\"sentences.mp3\"><title>S</title></case></train></sayloom>");
        {
            Dialog window;
            const DialogForm& ui = window.form();
            QCOMPARE(ui.ori.volume->value(), 40);
            QCOMPARE(ui.pce.volume->value(), 40); // announced, so the others follow
            QCOMPARE(ui.recCtrlVol->value(), 60);
            QCOMPARE(ui.tabWidget->currentIndex(), 2);
            // The restored material's row is chosen in its level, whichever
            // tab shows, and stays so as the tabs change.
            for (int tab : {2, 0, 1, 2}) {
                ui.tabWidget->setCurrentIndex(tab);
                const QList<QTreeWidgetItem*> chosen = ui.tabWidget->page(1)->matTree()->selectedItems();
                QCOMPARE(chosen.size(), 1);
                QCOMPARE(chosen[0]->text(MatTree::TitleColumn), QStringLiteral("S"));
                QVERIFY(ui.tabWidget->page(0)->matTree()->selectedItems().isEmpty());
            }
            QCOMPARE(window.controller()->materialPath(), QStringLiteral("./workspace/sentences.mp3"));
            QCOMPARE(window.controller()->phase(), int(ListenRepeat));
            QCOMPARE(ui.txtLrc->currentIndex(), 0);
            QVERIFY(!ui.adjLrc->isHidden() && !ui.lrcSplit->isHidden());
            ui.ori.volume->setValue(55);
        }
        const QSettings written(QStringLiteral("profile.ini"), QSettings::IniFormat);
        const Profile profile = readProfile(written);
        QCOMPARE(profile.volOri, std::optional<int>(55));
        QCOMPARE(profile.phase, std::optional<int>(1));
        QCOMPARE(profile.materialName, QStringLiteral("./workspace/sentences.mp3"));
        QVERIFY(!profile.fullPlaying);
        QVERIFY(profile.editor); // never written, so still there
    }

    // The sentence list being edited keeps Space for its text; out of edit
    // mode Space plays the sentence.
    void theListBeingEditedKeepsItsKeys()
    {
        QVERIFY(QFile::copy(testenv::media(QStringLiteral("sentences.mp3")), QStringLiteral("workspace/keys.mp3")));
        QVERIFY(QFile::copy(testenv::media(QStringLiteral("sentences.lrc")), QStringLiteral("workspace/keys.lrc")));
        testenv::writeFile(QStringLiteral("profile.ini"),
                           "[General]\nMaterialName=./workspace/keys.mp3\nPhase=1\nPage=1\nEditor=true\n");
        Dialog window;
        const DialogForm& ui = window.form();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        ui.adjLrc->click(); // edit mode
        ui.lstLrc->setFocus();
        QTextCursor cursor = ui.lstLrc->textCursor();
        cursor.clearSelection(); // the current sentence is selected
        ui.lstLrc->setTextCursor(cursor);
        const QString before = ui.lstLrc->toPlainText();
        QTest::keyClick(ui.lstLrc, Qt::Key_Space);
        QCOMPARE(ui.lstLrc->toPlainText().size(), before.size() + 1);
        QVERIFY(!(window.controller()->activity() & Repeta::PCE_PLAYING));

        ui.adjLrc->click();
        QTest::keyClick(ui.lstLrc, Qt::Key_Space);
        QVERIFY(window.controller()->activity() & Repeta::PCE_PLAYING);
        window.controller()->playSentence(false);
    }

    // Qt's own buttons speak Chinese with the rest of the window.
    void qtsOwnTextsAreChinese()
    {
        QVERIFY(useChineseQtTexts());
        QMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("t"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    }

    // The very first start (no profile yet) and a start in help mode open
    // the help video, and only that.
    void helpAtStartOpensTheHelpVideoOnly_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::newRow("first start") << QByteArray();
        QTest::newRow("help mode") << QByteArray("[General]\nFullPlaying=true\nMaterialName=./workspace/sentences.mp3\nPhase=2\n");
    }

    void helpAtStartOpensTheHelpVideoOnly()
    {
        QFETCH(QByteArray, profile);
        QVERIFY(QFile::copy(testenv::media(QStringLiteral("video.flv")), QStringLiteral("help.flv")) ||
                QFile::exists(QStringLiteral("help.flv")));
        QFile::remove(QStringLiteral("profile.ini"));
        if (!profile.isEmpty())
            testenv::writeFile(QStringLiteral("profile.ini"), profile);
        {
            Dialog window;
            QCOMPARE(window.controller()->materialPath(), QStringLiteral("help.flv"));
            QVERIFY(window.inHelpMode());
            QVERIFY(window.form().adjLrc->isHidden()); // no Editor key: hidden
            // The tray names the version the package and its metadata name.
            const auto* tray = window.findChild<QSystemTrayIcon*>();
            QVERIFY(tray && tray->toolTip().endsWith(QStringLiteral(" " REPETA_VERSION)));
        }
        const QSettings written(QStringLiteral("profile.ini"), QSettings::IniFormat);
        const Profile restored = readProfile(written);
        QVERIFY(restored.fullPlaying);
        QCOMPARE(restored.materialName, QStringLiteral("help.flv"));
        QVERIFY(!written.contains(QStringLiteral("Editor")));
    }
};

REPETA_TEST_MAIN(DialogTest)
#include "tst_dialog.moc"
