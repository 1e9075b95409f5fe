// The material library: one tab per level (basic, advanced, expert), each a
// page with that level's tree. It relays the pages' choices to the main
// window and imports new materials into the current level.
#pragma once

#include "library/XmlHandler.h"

#include <QTabWidget>

#include <array>

class QAction;
class QMenu;
class TsWidget;

class TreesView : public QTabWidget {
    Q_OBJECT

public:
    static constexpr int kLevelCount = 3;

    // Loads the three lists from the working directory; their parse errors
    // are reported as `report` says.
    explicit TreesView(QWidget* parent = nullptr, ParseErrorReport report = ParseErrorReport::MessageBox);

    TsWidget* page(int level) const { return pages[size_t(level)]; }
    QMenu* menu() const { return contextMenu; }
    QAction* importAction() const { return actionImport; }
    QAction* removeAction() const { return actionRemove; }
    // Selects the row of a material opened other than by a click (the one
    // restored at start-up): on the current level if it is there, else on the
    // first that has it; every other level is left without a selection.
    void showMaterial(const QString& materialPath);
    // The list file of a level: "basiclist.xml", "advancedlist.xml", "expertlist.xml".
    static QString listFile(int level);

signals:
    void switchSig(const QString& materialPath);
    void exportSig(const QString& materialPath);

public slots:
    void pas_SwitchSig(const QString& materialPath);
    void pas_ExportSig(const QString& materialPath);
    void on_actionImport_triggered();
    void on_actionRemove_triggered();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildTabBar();
    void deselectAllBut(int keptLevel);

    std::array<TsWidget*, kLevelCount> pages{};
    QAction* actionImport;
    QAction* actionRemove;
    QMenu* contextMenu;
    ParseErrorReport errorReport;
};
