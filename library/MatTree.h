// The tree of one level's materials. A left click on a material chooses it,
// a click on its action cell (column 2) also asks for its export, and the
// action cell under the pointer shows the export pointer instead of its text
// until the pointer moves on.
// Groups with members take no clicks: they open and close only as their list
// says, or with the tree's keys.
#pragma once

#include <QIcon>
#include <QPersistentModelIndex>
#include <QTreeWidget>

class MatTree : public QTreeWidget {
    Q_OBJECT

public:
    // Columns of a row; the url column is hidden data.
    enum Column { TitleColumn = 0, EmptyColumn = 1, ActionColumn = 2, UrlColumn = 3 };

    explicit MatTree(QWidget* parent = nullptr);

    // The row under the pointer at the last move (none after it left), and
    // its column.
    QTreeWidgetItem* hoverItem() const;
    int hoverColumn() const { return hoveredColumn; }

signals:
    void sigChoose(QTreeWidgetItem* item);
    void sigExport(QTreeWidgetItem* item);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void showPointer(QTreeWidgetItem* row);
    void restoreActionCell();

    // Persistent, so that a row deleted by a reload of the list is no longer
    // taken for the hovered one.
    QPersistentModelIndex hoveredRow;
    int hoveredColumn = -1;
    QPersistentModelIndex pointerRow; // the row whose action cell shows the pointer
    QString hiddenActionText;         // what that cell showed before
    QIcon exportPointerIcon;
};
