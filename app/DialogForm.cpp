#include "DialogForm.h"

#include "library/TreesView.h"
#include "media/IVideo.h"
#include "resources/Artwork.h"
#include "textview/CompareView.h"
#include "textview/KaraView.h"
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

#include <QAction>
#include <QDialog>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kTextViewMinHeight = 240;
// The rows hold a fixed 482-pixel waveform in a 666-pixel window: the other
// columns and the gaps share what is left.
constexpr int kMargin = 4;
constexpr int kColumnSpacing = 4;
constexpr int kSmallPointSize = 8;
const QString kEmptyTime = QStringLiteral("00:00:00\n00:00:00");

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

OctImgBtn* namedButton(const char* name, const char* picture, bool checkable, QWidget* parent)
{
    return named(spriteButton(QLatin1String(picture), checkable, parent), name);
}

VolSlider* volumeSlider(const char* name, int initial, QWidget* parent)
{
    auto* slider = named(new VolSlider(parent), name);
    slider->setOrientation(Qt::Horizontal);
    slider->setRange(0, 100);
    slider->setValue(initial);
    return slider;
}

QLabel* timeLabel(const char* name, QWidget* parent)
{
    auto* label = named(new QLabel(kEmptyTime, parent), name);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(kSmallPointSize);
    label->setFont(font);
    return label;
}
} // namespace

QString volumeLevelName(float fraction)
{
    if (fraction == 0.0f)
        return QStringLiteral("000");
    if (fraction <= 0.25f)
        return QStringLiteral("025");
    if (fraction <= 0.5f)
        return QStringLiteral("050");
    if (fraction <= 0.75f)
        return QStringLiteral("075");
    return QStringLiteral("100");
}

void PlotRow::setVisible(bool visible)
{
    for (QWidget* widget : {static_cast<QWidget*>(play), static_cast<QWidget*>(plot), static_cast<QWidget*>(caption),
                            static_cast<QWidget*>(volumeIcon), static_cast<QWidget*>(time)})
        widget->setVisible(visible);
    if (!visible)
        volume->hide();
}

void DialogForm::setupUi(QDialog* window)
{
    window->setObjectName(QStringLiteral("Dialog"));
    window->setFixedSize(kWidth, kHeight);
    window->setWindowModality(Qt::WindowModal);
    window->setWindowTitle(QObject::tr("朗鹦口语训练软件"));

    actionQuit = named(new QAction(QObject::tr("退出"), window), "actionQuit");
    actionHelp = named(new QAction(QObject::tr("帮助视频"), window), "actionHelp");
    actionHelp->setToolTip(QStringLiteral("Help"));
    actionAbout = named(new QAction(QObject::tr("关于..."), window), "actionAbout");
    actionAbout->setToolTip(QStringLiteral("About"));

    auto* mainLayout = named(new QVBoxLayout(window), "mainLayout");
    setupTextViews(mainLayout, window);
    setupHelpControls(mainLayout, window);
    mainLayout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    mainLayout->setSpacing(kMargin);
    plotsLO = named(new QGridLayout, "plotsLO");
    plotsLO->setVerticalSpacing(kRowSpacing);
    plotsLO->setHorizontalSpacing(kColumnSpacing);
    plotsLO->setColumnStretch(2, 1);
    mainLayout->addLayout(plotsLO);
    ori = makeRow(QStringLiteral("ori"), QObject::tr("材料全文"), 0, window);
    pce = makeRow(QStringLiteral("pce"), QObject::tr("所选单句"), 1, window);
    rec = makeRow(QStringLiteral("rec"), QObject::tr("当前录音"), 2, window);

    setupPanel(window);
    setupLibrary(window);
}

void DialogForm::setupTextViews(QVBoxLayout* layout, QDialog* window)
{
    txtLrc = named(new TabsView(window), "txtLrc");
    txtLrc->setMinimumHeight(kTextViewMinHeight);
    txtLrc->setTabPosition(QTabWidget::South);
    auto addPage = [this](const char* name, QWidget* content, const QString& tip) {
        auto* page = named(new QWidget, name);
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(content);
        txtLrc->addTab(page, QString());
        txtLrc->setTabToolTip(txtLrc->count() - 1, tip);
    };
    karaLrc = named(new KaraView, "karaLrc");
    lstLrc = named(new LrcLstView, "lstLrc");
    glVideo = named(new IVideo, "glVideo");
    compareView = named(new CompareView, "compareView");
    addPage("page0", karaLrc, QObject::tr("当前句子"));
    addPage("page1", lstLrc, QObject::tr("材料全文"));
    addPage("page2", glVideo, QObject::tr("视频材料"));
    addPage("page3", compareView, QObject::tr("跟读对比"));
    layout->addWidget(txtLrc, 1);
}

void DialogForm::setupHelpControls(QVBoxLayout* layout, QDialog* window)
{
    auto* row = new QHBoxLayout;
    wikiPauser = namedButton("wikiPauser", ":/images/btn-wikipauser-check.png", true, window);
    wikiSlid = named(new wikiSlider(window), "wikiSlid");
    wikiStopper = namedButton("wikiStopper", ":/images/btn-wikistopper-press.png", false, window);
    wikiVoice = named(new VoicerImg(window), "wikiVoice");
    wikiVoice->setPixmap(loadArtwork(QStringLiteral(":/images/volumer075.png")));
    volSlid = volumeSlider("volSlid", 75, window);
    wikiTime = timeLabel("wikiTime", window);
    row->addWidget(wikiPauser);
    row->addWidget(wikiSlid, 1);
    row->addWidget(wikiStopper);
    row->addWidget(wikiVoice);
    row->addWidget(volSlid);
    row->addWidget(wikiTime);
    volSlid->hide();
    layout->addLayout(row);
}

PlotRow DialogForm::makeRow(const QString& name, const QString& caption, int row, QDialog* window)
{
    const QByteArray prefix = name.toLatin1();
    PlotRow plotRow;
    plotRow.play = namedButton(prefix + "Play", ":/images/btn-wikipauser-check.png", true, window);
    plotRow.caption = named(new QLabel(caption, window), "label_" + prefix);
    plotRow.plot = named(new PlotView(window), prefix + "Plot");
    plotRow.volumeIcon = named(new VoicerImg(window), prefix + "VolImg");
    plotRow.volumeIcon->setPixmap(loadArtwork(QStringLiteral(":/images/volumer075.png")));
    plotRow.volume = volumeSlider(prefix + "Vol", 75, window);
    plotRow.time = timeLabel(prefix + "Time", window);
    plotsLO->addWidget(plotRow.play, row, 0);
    plotsLO->addWidget(plotRow.caption, row, 1);
    plotsLO->addWidget(plotRow.plot, row, 2);
    plotsLO->addWidget(plotRow.volumeIcon, row, 3);
    // The slider takes the caption's and the time's place while it shows.
    plotsLO->addWidget(plotRow.time, row, 4);
    plotsLO->addWidget(plotRow.volume, row, 4);
    plotRow.volume->hide();
    return plotRow;
}

void DialogForm::setupPanel(QDialog* window)
{
    ctrlpanel = named(new PanelView(window), "ctrlpanel");
    ctrlpanel->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    auto* grid = named(new QGridLayout(ctrlpanel), "gridLO_panel");
    grid->setContentsMargins(kMargin, 0, kMargin, kMargin);
    grid->setVerticalSpacing(0);

    auto* tabsRow = named(new QHBoxLayout, "horizontalLayout");
    phaseTabs = named(new PhaseTabs(ctrlpanel), "phaseTabs");
    tabsRow->addWidget(phaseTabs);
    tabsRow->addStretch(1);
    grid->addLayout(tabsRow, 0, 0);

    auto* controlsRow = named(new QHBoxLayout, "horizontalLayout_2");
    adjLrc = namedButton("adjLrc", ":/images/btn-PlotCtrlView-check.png", true, ctrlpanel);
    adjLrc->setTexts(QObject::tr("编辑"), QObject::tr("编辑"));
    lrcSplit = namedButton("lrcSplit", ":/images/btn-PlotCtrlView-press.png", false, ctrlpanel);
    lrcSplit->setTexts(QObject::tr("截断"), QObject::tr("截断"));
    recCtrl = namedButton("recCtrl", ":/images/btn-recctrl-check.png", true, ctrlpanel);
    lab_recCVol = named(new QLabel(ctrlpanel), "lab_recCVol");
    lab_recCVol->setPixmap(loadArtwork(QStringLiteral(":/images/recvol025.png")));
    recCtrlVol = volumeSlider("recCtrlVol", 20, ctrlpanel);
    speedControl = named(new SpeedControl(ctrlpanel), "speedControl");
    drillControls = named(new DrillControls(ctrlpanel), "drillControls");
    comparePlay = namedButton("comparePlay", ":/images/btn-compare-press.png", false, ctrlpanel);
    comparePlay->setToolTip(QObject::tr("对比：原句再录音"));
    drillStatus = named(new DrillStatus(ctrlpanel), "drillStatus");
    blindShow = namedButton("blindShow", ":/images/btn-blind-check.png", true, ctrlpanel);
    blindShow->setToolTip(QObject::tr("盲听"));
    matShow = namedButton("matShow", ":/images/btn-matshow-press.png", false, ctrlpanel);
    transShow = namedButton("transShow", ":/images/btn-translation-check.png", true, ctrlpanel);
    transShow->setToolTip(QObject::tr("显示/隐藏译文"));
    for (QWidget* widget : {static_cast<QWidget*>(adjLrc), static_cast<QWidget*>(lrcSplit),
                            static_cast<QWidget*>(recCtrl), static_cast<QWidget*>(lab_recCVol),
                            static_cast<QWidget*>(recCtrlVol), static_cast<QWidget*>(speedControl),
                            static_cast<QWidget*>(drillControls), static_cast<QWidget*>(comparePlay),
                            static_cast<QWidget*>(drillStatus)})
        controlsRow->addWidget(widget);
    controlsRow->addStretch(1);
    controlsRow->addWidget(blindShow);
    controlsRow->addWidget(transShow);
    controlsRow->addWidget(matShow);
    grid->addLayout(controlsRow, 1, 0);
}

void DialogForm::setupLibrary(QDialog* window)
{
    tsWidget = named(new QWidget(window, Qt::Tool | Qt::FramelessWindowHint), "tsWidget");
    auto* layout = named(new QVBoxLayout(tsWidget), "tsLO");
    layout->setContentsMargins(0, 0, 0, 0);
    tabWidget = named(new TreesView(tsWidget), "tabWidget");
    layout->addWidget(tabWidget);
}
