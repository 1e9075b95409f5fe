#include "MatTree.h"

#include <QMouseEvent>

namespace {

constexpr int kFontPointSize = 9;

bool isLeaf(const QTreeWidgetItem* item)
{
    return item->childCount() == 0;
}

} // namespace

MatTree::MatTree(QWidget* parent)
    : QTreeWidget(parent)
    , exportPointerIcon(QStringLiteral(":/images/bg-export-pointer.png"))
{
    setFont(QFont(QStringLiteral("宋体"), kFontPointSize));
    // A group with members never takes the press that a double click starts
    // with; this keeps the standard handling from toggling it anyway.
    setExpandsOnDoubleClick(false);
}

QTreeWidgetItem* MatTree::hoverItem() const
{
    return itemFromIndex(hoveredRow);
}

void MatTree::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* row = itemAt(pos);
    if (!row || !isLeaf(row))
        return;
    const int column = columnAt(pos.x());
    if (event->buttons() != Qt::LeftButton || column < TitleColumn || column > ActionColumn)
        return;
    const QPersistentModelIndex chosen = indexFromItem(row);
    emit sigChoose(row);
    if (!chosen.isValid())
        return; // a receiver reloaded the list: the row is gone
    QTreeWidget::mousePressEvent(event);
    if (column == ActionColumn)
        emit sigExport(row);
}

void MatTree::mouseMoveEvent(QMouseEvent* event)
{
    QTreeWidget::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* row = itemAt(pos);
    const int column = columnAt(pos.x());
    QTreeWidgetItem* pointerTarget = column == ActionColumn && row && isLeaf(row) ? row : nullptr;
    if (pointerTarget != itemFromIndex(pointerRow)) {
        restoreActionCell();
        if (pointerTarget)
            showPointer(pointerTarget);
    }
    hoveredRow = indexFromItem(row);
    hoveredColumn = column;
}

void MatTree::leaveEvent(QEvent* event)
{
    restoreActionCell();
    hoveredRow = QPersistentModelIndex();
    QTreeWidget::leaveEvent(event);
}

void MatTree::showPointer(QTreeWidgetItem* row)
{
    hiddenActionText = row->text(ActionColumn);
    row->setIcon(ActionColumn, exportPointerIcon);
    row->setText(ActionColumn, QString());
    pointerRow = indexFromItem(row);
}

// Puts back what the cell showed, "复习" included.
void MatTree::restoreActionCell()
{
    if (QTreeWidgetItem* row = itemFromIndex(pointerRow)) {
        row->setIcon(ActionColumn, QIcon());
        row->setText(ActionColumn, hiddenActionText);
    }
    pointerRow = QPersistentModelIndex();
}
