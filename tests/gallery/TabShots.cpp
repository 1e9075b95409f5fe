// The three configurations of the picture tab bars, in each of their states,
// and the balloon that stands in for their tool tips.
#include "Gallery.h"

#include "resources/Artwork.h"
#include "textview/TabsView.h"
#include "widgets/ChromeTabs.h"
#include "widgets/PhaseTabs.h"

#include <QApplication>
#include <QHoverEvent>
#include <QMouseEvent>

namespace {

QPixmap art(const char* name)
{
    return loadArtwork(QStringLiteral(":/images/") + QLatin1String(name));
}

QPoint centreOf(const QRect& r)
{
    return QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}

void hoverOver(QTabBar& bar, const QPoint& at)
{
    QHoverEvent hover(QEvent::HoverMove, at, bar.mapToGlobal(at), QPoint(-1, -1));
    QApplication::sendEvent(&bar, &hover);
}

QImage bottomStrip(QWidget& widget, int height)
{
    const QImage whole = Gallery::grab(widget);
    const qreal ratio = whole.devicePixelRatio();
    QImage strip = whole.copy(0, int((widget.height() - height) * ratio), whole.width(), int(height * ratio));
    strip.setDevicePixelRatio(ratio);
    return strip;
}

struct TextTabs {
    TabsView view;
    TextTabs()
    {
        view.setTabPosition(QTabWidget::South);
        for (const char* tip : {"当前句子", "材料全文", "视频材料"})
            view.setTabToolTip(view.addTab(new QWidget, QString()), QString::fromUtf8(tip));
        view.resize(666, 120);
        view.show();
    }
    ChromeTabs& bar() { return *view.chromeTabs(); }
};

QList<Shot> textTabShots()
{
    QList<Shot> shots;
    {
        TextTabs tabs;
        shots.append({QStringLiteral("page 0 current"), bottomStrip(tabs.view, 24)});
    }
    {
        TextTabs tabs;
        tabs.view.setCurrentIndex(1);
        hoverOver(tabs.bar(), centreOf(tabs.bar().dotRect(2)));
        shots.append({QStringLiteral("page 1 current, page 2 under the mouse"), bottomStrip(tabs.view, 24)});
    }
    {
        TextTabs tabs;
        tabs.view.setTabEnabled(1, false);
        tabs.view.setTabOffset(QPoint(-17, 0));
        shots.append({QStringLiteral("page 1 disabled, offset (-17, 0)"), bottomStrip(tabs.view, 24)});
    }
    {
        TextTabs tabs;
        const QPoint dot = centreOf(tabs.bar().dotRect(0));
        QMouseEvent move(QEvent::MouseMove, dot, tabs.bar().mapToGlobal(dot), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs.bar(), &move);
        hoverOver(tabs.bar(), dot);
        shots.append({QStringLiteral("balloon over page 0"), bottomStrip(tabs.view, 70)});
    }
    return shots;
}

struct Phases {
    QWidget strip;
    PhaseTabs* tabs = new PhaseTabs(&strip);
    Phases()
    {
        tabs->setUsesScrollButtons(false);
        tabs->setDotSprite(art("bg-tab-chrome.png"));
        tabs->setTabSprite(2, art("bg-tab-chrome-right.png"));
        tabs->setOuterMargins(-13, 0, -13, 0);
        tabs->setInnerMargins(0, 0, 0, 0);
        tabs->setLead(210);
        for (const char* caption : {"Passage Imitation@全文模仿", "Listen & Repeat@跟读训练", "Retelling Exercise@复述练习"})
            tabs->addTab(QString::fromUtf8(caption));
        strip.setAutoFillBackground(true);
        QPalette ground = strip.palette();
        ground.setColor(QPalette::Window, kPanelGround);
        strip.setPalette(ground);
        strip.resize(640, tabs->sizeHint().height());
        tabs->resize(tabs->sizeHint());
        strip.show();
    }
};

QList<Shot> phaseTabShots()
{
    QList<Shot> shots;
    for (int current = 0; current < 3; ++current) {
        Phases phases;
        phases.tabs->setCurrentIndex(current);
        shots.append({QStringLiteral("phase %1 current").arg(current), Gallery::grab(phases.strip)});
    }
    Phases hovered;
    hoverOver(*hovered.tabs, centreOf(hovered.tabs->dotRect(2)));
    shots.append({QStringLiteral("phase 2 under the mouse"), Gallery::grab(hovered.strip)});
    Phases disabled;
    disabled.tabs->setTabEnabled(1, false);
    shots.append({QStringLiteral("phase 1 disabled"), Gallery::grab(disabled.strip)});
    return shots;
}

// The library's tab widget as the material tree sets it up.
class LibraryTabs : public QTabWidget {
public:
    LibraryTabs()
    {
        auto* bar = new ChromeTabs(this);
        bar->setDotSprite(art("bg-tab-mat.png"));
        bar->setInnerMargins(0, 0, 0, 0);
        bar->setOuterMargins(0, -5, 0, -5);
        bar->setLead(-2);
        bar->setTabSprite(0, art("bg-tab-mat0.png"));
        bar->setTabSprite(1, art("bg-tab-mat1.png"));
        bar->setTabSprite(2, art("bg-tab-mat2.png"));
        setTabBar(bar);
        setUsesScrollButtons(false);
        for (int i = 0; i < 3; ++i) {
            auto* page = new QWidget;
            page->setAutoFillBackground(true);
            QPalette white = page->palette();
            white.setColor(QPalette::Window, Qt::white);
            page->setPalette(white);
            addTab(page, QString());
        }
        resize(294, 90);
        show();
    }
    ChromeTabs& bar() { return *static_cast<ChromeTabs*>(tabBar()); }
};

QList<Shot> libraryTabShots()
{
    QList<Shot> shots;
    for (int current = 0; current < 3; ++current) {
        LibraryTabs tabs;
        tabs.setCurrentIndex(current);
        shots.append({QStringLiteral("level %1 current").arg(current), Gallery::grab(tabs)});
    }
    LibraryTabs hovered;
    hoverOver(hovered.bar(), centreOf(hovered.bar().dotRect(1)));
    shots.append({QStringLiteral("level 1 under the mouse"), Gallery::grab(hovered)});
    LibraryTabs disabled;
    disabled.setTabEnabled(2, false);
    shots.append({QStringLiteral("level 2 disabled"), Gallery::grab(disabled)});
    return shots;
}

} // namespace

void shootTabs(Gallery& gallery)
{
    gallery.save(QStringLiteral("tabs-text-views"), Gallery::sheet(textTabShots(), QColor(40, 48, 54), 1));
    gallery.save(QStringLiteral("tabs-phases"), Gallery::sheet(phaseTabShots(), kPanelGround, 1));
    gallery.save(QStringLiteral("tabs-library"), Gallery::sheet(libraryTabShots(), QColor(214, 226, 233), 3));
}
