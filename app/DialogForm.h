// The widget tree of the main window and its two companion windows (the
// control panel below it and the library beside it), built in code.
#pragma once

#include <QString>

class CompareView;
class DrillControls;
class DrillStatus;
class IVideo;
class KaraView;
class LrcLstView;
class OctImgBtn;
class PanelView;
class PhaseTabs;
class PlotView;
class QAction;
class QDialog;
class QGridLayout;
class QLabel;
class QVBoxLayout;
class QWidget;
class SpeedControl;
class TabsView;
class TreesView;
class VoicerImg;
class VolSlider;
class wikiSlider;

// One waveform row: play button, caption, waveform, volume icon with its
// slider, time label.
struct PlotRow {
    OctImgBtn* play = nullptr;
    QLabel* caption = nullptr;
    PlotView* plot = nullptr;
    VoicerImg* volumeIcon = nullptr;
    VolSlider* volume = nullptr;
    QLabel* time = nullptr;

    void setVisible(bool visible);
};

struct DialogForm {
    static constexpr int kWidth = 666;
    static constexpr int kHeight = 480;
    static constexpr int kPanelHeight = 90;
    static constexpr int kRowSpacing = 22;

    QAction* actionQuit = nullptr;
    QAction* actionHelp = nullptr;
    QAction* actionAbout = nullptr;

    PanelView* ctrlpanel = nullptr;
    PhaseTabs* phaseTabs = nullptr;
    OctImgBtn* adjLrc = nullptr;
    OctImgBtn* lrcSplit = nullptr;
    OctImgBtn* recCtrl = nullptr;
    QLabel* lab_recCVol = nullptr;
    VolSlider* recCtrlVol = nullptr;
    SpeedControl* speedControl = nullptr;
    DrillControls* drillControls = nullptr;
    OctImgBtn* comparePlay = nullptr; // the model sentence, then the take
    DrillStatus* drillStatus = nullptr;
    OctImgBtn* blindShow = nullptr;
    OctImgBtn* matShow = nullptr;
    OctImgBtn* transShow = nullptr;

    QWidget* tsWidget = nullptr;
    TreesView* tabWidget = nullptr;

    TabsView* txtLrc = nullptr;
    KaraView* karaLrc = nullptr;
    LrcLstView* lstLrc = nullptr;
    CompareView* compareView = nullptr;
    IVideo* glVideo = nullptr;

    OctImgBtn* wikiPauser = nullptr;
    wikiSlider* wikiSlid = nullptr;
    OctImgBtn* wikiStopper = nullptr;
    VoicerImg* wikiVoice = nullptr;
    VolSlider* volSlid = nullptr;
    QLabel* wikiTime = nullptr;

    QGridLayout* plotsLO = nullptr;
    PlotRow rec;
    PlotRow pce;
    PlotRow ori;

    void setupUi(QDialog* window);

private:
    void setupPanel(QDialog* window);
    void setupLibrary(QDialog* window);
    void setupTextViews(QVBoxLayout* layout, QDialog* window);
    void setupHelpControls(QVBoxLayout* layout, QDialog* window);
    PlotRow makeRow(const QString& name, const QString& caption, int row, QDialog* window);
};

// ":/images/volumer%1.png" and ":/images/recvol%1.png" take this level name.
QString volumeLevelName(float fraction);
