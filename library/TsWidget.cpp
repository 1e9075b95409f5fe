#include "TsWidget.h"

#include "library/MatTree.h"
#include "library/MaterialFiles.h"
#include "widgets/NoFocusRectangleStyle.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QPointer>
#include <QTreeWidgetItemIterator>

namespace {

constexpr int kPageWidthPx = 300;
constexpr int kPageHeightPx = 565;
constexpr int kTitleColumnWidthPx = 200;
constexpr int kNarrowColumnWidthPx = 44;
constexpr int kVisibleColumns = 3;

const char* const kPageStyleSheet =
    "QTreeView::branch {image:none;}"
    "QTreeView::item:hover {background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #e7effd, "
    "stop: 1 #cbdaf1);}"
    "QTreeView::item:selected:active {background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 "
    "#6ea1f1, stop: 1 #567dbc);}"
    "QTreeView::item:selected:!active {background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 "
    "#6b9be8, stop: 1 #577fbf);}";

// One style for every tree, owned by the application: a widget does not own
// its style, and a style that died with a page could outlive its tree's use.
QStyle* treeStyle()
{
    static QPointer<NoFocusRectangleStyle> style;
    if (!style) {
        style = new NoFocusRectangleStyle;
        style->setParent(qApp);
    }
    return style;
}

QString materialPathOf(const QTreeWidgetItem* item)
{
    return materialPathFromUrl(item ? item->text(MatTree::UrlColumn) : QString());
}

} // namespace

TsWidget::TsWidget(QWidget* parent)
    : QWidget(parent)
    , tree(new MatTree(this))
{
    // At most this size, but no more than the library gives it: a page wider
    // or taller than the tab widget would hide the tree's scroll bar.
    setMaximumSize(kPageWidthPx, kPageHeightPx);
    setContentsMargins(0, 0, 0, 0);
    setStyleSheet(QLatin1String(kPageStyleSheet));

    tree->setStyle(treeStyle());
    tree->setMouseTracking(true);
    tree->setColumnCount(kVisibleColumns);
    tree->setHeaderHidden(true);
    tree->setColumnWidth(MatTree::TitleColumn, kTitleColumnWidthPx);
    tree->setColumnWidth(MatTree::EmptyColumn, kNarrowColumnWidthPx);
    tree->setColumnWidth(MatTree::ActionColumn, kNarrowColumnWidthPx);
    // The title gives way to the vertical scroll bar, so that a long list
    // needs no horizontal one.
    QHeaderView* header = tree->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(MatTree::TitleColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(MatTree::EmptyColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(MatTree::ActionColumn, QHeaderView::Fixed);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree, 0, 0);

    connect(tree, &MatTree::sigChoose, this, &TsWidget::on_actionChoose);
    connect(tree, &MatTree::sigExport, this, &TsWidget::on_actionExport);
}

bool TsWidget::loadList(const QString& path, ParseErrorReport report)
{
    return loadListFile(tree, path, report);
}

void TsWidget::deselectAll()
{
    tree->clearSelection();
}

bool TsWidget::selectMaterial(const QString& materialPath)
{
    for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NoChildren); *it; ++it) {
        if ((*it)->flags() & Qt::ItemIsSelectable && materialPathOf(*it) == materialPath) {
            tree->setCurrentItem(*it);
            tree->scrollToItem(*it);
            return true;
        }
    }
    return false;
}

void TsWidget::on_actionChoose(QTreeWidgetItem* item)
{
    emit switchSig(materialPathOf(item));
}

void TsWidget::on_actionExport(QTreeWidgetItem* item)
{
    emit exportSig(materialPathOf(item));
}
