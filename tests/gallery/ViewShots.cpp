// The control panel as the main window fills it, and the text views: the
// karaoke page mid-sentence in English and Chinese, the list, the whole tab view.
#include "Gallery.h"
#include "tests/support/SentenceList.h"

#include "resources/Artwork.h"
#include "textview/KaraView.h"
#include "textview/LrcLstView.h"
#include "textview/TabsView.h"
#include "widgets/OctImgBtn.h"
#include "widgets/PanelView.h"
#include "widgets/PhaseTabs.h"
#include "widgets/VolSlider.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

const QVector<QString> kSentences = {
    QStringLiteral("Good morning, everyone.\r\n"),
    QStringLiteral("Today we are going to talk about the weather in spring.\r\n"),
    QString::fromUtf8("春天的天气变化很快，早上还是晴天，下午可能就下雨了。\r\n"),
    QStringLiteral("Remember to take an umbrella with you when you go out.\r\n"),
    QString::fromUtf8("Listen carefully, then repeat after the speaker: 请跟读。\r\n"),
    QStringLiteral("Thank you for listening.\r\n"),
};

QPixmap art(const char* name)
{
    return loadArtwork(QStringLiteral(":/images/") + QLatin1String(name));
}

OctImgBtn* pictureButton(const char* sprite, bool checkable, const QString& text = QString())
{
    auto* button = new OctImgBtn;
    button->setCheckable(checkable);
    button->setSprite(art(sprite), 4);
    button->setTexts(text, text);
    return button;
}

// The control panel with the widgets the main window puts there.
QImage panel(bool open)
{
    PanelView view;
    view.setFixedSize(666, 90);
    auto* grid = new QVBoxLayout(&view);
    grid->setContentsMargins(17, 0, 17, 8);
    auto* tabs = new PhaseTabs;
    tabs->setUsesScrollButtons(false);
    tabs->setDotSprite(art("bg-tab-chrome.png"));
    tabs->setTabSprite(2, art("bg-tab-chrome-right.png"));
    tabs->setOuterMargins(-13, 0, -13, 0);
    tabs->setLead(210 - 17);
    for (const char* caption : {"Passage Imitation@全文模仿", "Listen & Repeat@跟读训练", "Retelling Exercise@复述练习"})
        tabs->addTab(QString::fromUtf8(caption));
    tabs->setCurrentIndex(1);
    auto* top = new QHBoxLayout;
    top->addWidget(tabs);
    top->addStretch();
    grid->addLayout(top);
    auto* row = new QHBoxLayout;
    row->addWidget(pictureButton("btn-PlotCtrlView-check.png", true, QString::fromUtf8("编辑")));
    row->addWidget(pictureButton("btn-PlotCtrlView-press.png", false, QString::fromUtf8("截断")));
    row->addSpacing(24);
    OctImgBtn* record = pictureButton("btn-recctrl-check.png", true);
    row->addWidget(record);
    auto* gain = new QLabel;
    gain->setPixmap(art("recvol025.png"));
    row->addWidget(gain);
    auto* gainSlider = new VolSlider;
    gainSlider->setRange(0, 100);
    gainSlider->setValue(20);
    gainSlider->setFixedWidth(100);
    row->addWidget(gainSlider);
    row->addStretch();
    row->addWidget(pictureButton("btn-matshow-press.png", false));
    grid->addLayout(row);
    view.setOpen(open);
    view.show();
    record->setChecked(open);
    return Gallery::grab(view);
}

QImage karaoke(const QString& text, float progress, const QString& upper = QString(), const QString& lower = QString())
{
    KaraView view;
    view.setSentence(text, upper, lower);
    view.paintProgress(progress);
    return Gallery::grab(view);
}

QList<Shot> karaokeShots()
{
    return {
        {QStringLiteral("English, 45% spoken"), karaoke(kSentences[1], 0.45f)},
        {QStringLiteral("Chinese, 60% spoken"), karaoke(kSentences[2], 0.6f)},
        {QStringLiteral("mixed, two lines, 70% spoken"),
         karaoke(QString::fromUtf8("Listen carefully to the speaker and repeat every sentence after the tone: "
                                   "请仔细听，然后跟读每一句。\n"), 0.7f)},
        {QStringLiteral("with neighbour lines, 20%"), karaoke(kSentences[3], 0.2f, kSentences[2], kSentences[4])},
        {QStringLiteral("a word wider than the view"),
         karaoke(QStringLiteral("Spell it: ") + QString(60, QLatin1Char('M')) + QStringLiteral(" - done."), 0.5f)},
    };
}

QList<Shot> listShots()
{
    QList<Shot> shots;
    for (bool focused : {false, true}) {
        LrcLstView list;
        list.resize(640, 240);
        if (focused) {
            // Show the focused colours without a window system that gives focus.
            QPalette colours = list.palette();
            for (QPalette::ColorRole role : {QPalette::Text, QPalette::Highlight, QPalette::HighlightedText})
                colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
            list.setPalette(colours);
        }
        QString text = QStringLiteral(" ");
        for (int round = 0; round < 3; ++round) {
            for (const QString& sentence : kSentences)
                text += QStringLiteral("\n") + sentence.trimmed() + QStringLiteral("\n");
        }
        list.setPlainText(text);
        QTextCursor cursor(list.document()->findBlockByNumber(5));
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        list.setTextCursor(cursor);
        list.show();
        shots.append({focused ? QStringLiteral("focused") : QStringLiteral("not focused"), Gallery::grab(list)});
    }
    return shots;
}

QImage textViews()
{
    TabsView view;
    view.setTabPosition(QTabWidget::South);
    auto* page0 = new QWidget;
    auto* grid = new QGridLayout(page0);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* kara = new KaraView;
    kara->setObjectName(QStringLiteral("karaLrc"));
    grid->addWidget(kara);
    auto* page1 = new QWidget;
    auto* grid2 = new QGridLayout(page1);
    auto* list = new LrcLstView;
    list->setObjectName(QStringLiteral("lstLrc"));
    grid2->addWidget(list);
    view.addTab(page0, QString());
    view.addTab(page1, QString());
    view.addTab(new QWidget, QString());
    view.resize(666, 270);
    view.show();
    QVector<Sentence> sentences = sentencesFrom(QStringList(kSentences.cbegin(), kSentences.cend()));
    sentences[1].translation = QString::fromUtf8("今天我们来谈谈春天的天气。");
    sentences[3].translation = QString::fromUtf8("出门时记得带伞。");
    view.setSentences(sentences);
    view.showSentence(3, -1, -1);
    view.setKaraokeProgress(0.55f);
    return Gallery::grab(view);
}

} // namespace

void shootViews(Gallery& gallery)
{
    const QColor desktop(90, 107, 117);
    gallery.save(QStringLiteral("panel"),
                 Gallery::sheet({{QStringLiteral("open (material mode), recording"), panel(true)},
                                 {QStringLiteral("closed (help mode)"), panel(false)}},
                                desktop, 1));
    gallery.save(QStringLiteral("karaoke"), Gallery::sheet(karaokeShots(), QColor(40, 48, 54), 1));
    gallery.save(QStringLiteral("sentence-list"), Gallery::sheet(listShots(), kPanelGround, 2));
    gallery.save(QStringLiteral("text-views"), Gallery::sheet({{QStringLiteral("karaoke page, sentence 3 at 55%"), textViews()}},
                                                             QColor(40, 48, 54), 1));
}
