// One level page of the library: the tree of that level's list, and the
// material paths of the rows that the learner clicks.
#pragma once

#include "library/XmlHandler.h"

#include <QWidget>

class MatTree;
class QTreeWidgetItem;

class TsWidget : public QWidget {
    Q_OBJECT

public:
    explicit TsWidget(QWidget* parent = nullptr);

    MatTree* matTree() const { return tree; }

    // Clears the tree and reads the list file into it; false when the list
    // could not be parsed (the error was reported as `report` says).
    [[nodiscard]] bool loadList(const QString& path, ParseErrorReport report = ParseErrorReport::MessageBox);
    void deselectAll();
    // Selects and shows the row of that material; false when the list has none.
    bool selectMaterial(const QString& materialPath);

signals:
    void exportSig(const QString& materialPath);
    void switchSig(const QString& materialPath);

public slots:
    void on_actionChoose(QTreeWidgetItem* item);
    void on_actionExport(QTreeWidgetItem* item);

private:
    MatTree* tree;
};
