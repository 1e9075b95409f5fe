#include "TreesView.h"

#include "library/MatTree.h"
#include "library/MaterialImport.h"
#include "library/TsWidget.h"
#include "resources/Artwork.h"
#include "widgets/ChromeTabs.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

namespace {

constexpr int kLibraryWidthPx = 294;
constexpr int kLibraryMinimumHeightPx = 300;
// The tab pictures reach this far beyond their tabs above and below: the bar
// shows the middle 28 pixels of their 38-pixel rows.
constexpr int kTabOverlapPx = -5;
constexpr int kTabLeadPx = -2;

struct Level {
    const char* pageName;
    const char* listFile;
    const char* tabSprite;
};

constexpr Level kLevels[TreesView::kLevelCount] = {
    {"basic", "basiclist.xml", ":/images/bg-tab-mat0.png"},
    {"advanced", "advancedlist.xml", ":/images/bg-tab-mat1.png"},
    {"expert", "expertlist.xml", ":/images/bg-tab-mat2.png"},
};

} // namespace

TreesView::TreesView(QWidget* parent, ParseErrorReport report)
    : QTabWidget(parent)
    , actionImport(new QAction(tr("导入"), this))
    , actionRemove(new QAction(tr("移除材料"), this))
    , contextMenu(new QMenu(this))
    , errorReport(report)
{
    resize(kLibraryWidthPx, kLibraryMinimumHeightPx);
    setMinimumSize(kLibraryWidthPx, kLibraryMinimumHeightPx);
    setMaximumWidth(kLibraryWidthPx);
    setTabPosition(QTabWidget::North);
    buildTabBar();
    setUsesScrollButtons(false); // a setting of the bar: after it is installed
    for (int level = 0; level < kLevelCount; ++level) {
        auto* levelPage = new TsWidget(this);
        levelPage->setObjectName(QLatin1String(kLevels[level].pageName));
        pages[size_t(level)] = levelPage;
        addTab(levelPage, QString());
        connect(levelPage, &TsWidget::switchSig, this, &TreesView::pas_SwitchSig);
        connect(levelPage, &TsWidget::exportSig, this, &TreesView::pas_ExportSig);
    }
    for (int level = 0; level < kLevelCount; ++level)
        (void)pages[size_t(level)]->loadList(listFile(level), errorReport); // a failure was reported

    actionImport->setObjectName(QStringLiteral("actionImport"));
    actionImport->setToolTip(tr("导入"));
    actionRemove->setObjectName(QStringLiteral("actionRemove"));
    actionRemove->setToolTip(tr("删除材料"));
    contextMenu->addAction(actionImport);
    contextMenu->addAction(actionRemove);
    QMetaObject::connectSlotsByName(this);
    setCurrentIndex(0);
}

void TreesView::buildTabBar()
{
    auto* bar = new ChromeTabs(this);
    setTabBar(bar);
    bar->setDotSprite(loadArtwork(QStringLiteral(":/images/bg-tab-mat.png")));
    bar->setInnerMargins(0, 0, 0, 0);
    bar->setOuterMargins(0, kTabOverlapPx, 0, kTabOverlapPx);
    bar->setLead(kTabLeadPx);
    for (int level = 0; level < kLevelCount; ++level)
        bar->setTabSprite(level, loadArtwork(QLatin1String(kLevels[level].tabSprite)));
}

QString TreesView::listFile(int level)
{
    return QLatin1String(kLevels[level].listFile);
}

void TreesView::showMaterial(const QString& materialPath)
{
    int shownAt = currentIndex();
    if (!pages[size_t(shownAt)]->selectMaterial(materialPath)) {
        shownAt = 0;
        while (shownAt < kLevelCount && !pages[size_t(shownAt)]->selectMaterial(materialPath))
            ++shownAt;
    }
    deselectAllBut(shownAt);
}

void TreesView::deselectAllBut(int keptLevel)
{
    for (int level = 0; level < kLevelCount; ++level) {
        if (level != keptLevel)
            pages[size_t(level)]->deselectAll();
    }
}

void TreesView::pas_SwitchSig(const QString& materialPath)
{
    emit switchSig(materialPath);
    deselectAllBut(currentIndex());
}

void TreesView::pas_ExportSig(const QString& materialPath)
{
    emit exportSig(materialPath);
}

void TreesView::on_actionImport_triggered()
{
    const int level = currentIndex();
    MaterialImport(this, pages[size_t(level)], listFile(level), errorReport).run();
}

// Removing materials is not offered yet: the action is shown, and enabled
// over a row, but does nothing.
void TreesView::on_actionRemove_triggered() {}

void TreesView::contextMenuEvent(QContextMenuEvent* event)
{
    // The row under the pointer, found in the tree's own coordinates rather
    // than by the height of a tab bar.
    MatTree* tree = pages[size_t(currentIndex())]->matTree();
    const QPoint inTree = tree->viewport()->mapFrom(this, event->pos());
    actionRemove->setEnabled(tree->itemAt(inTree) != nullptr);
    contextMenu->exec(event->globalPos());
}
