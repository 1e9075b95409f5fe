// The library's mouse rules on a real, shown tree: which clicks choose a
// material and ask for its export, what the pointer over the action cell
// shows, the context menu, and the relays of the three level tabs.
#include "TestEnvironment.h"

#include "ListFixture.h"
#include "library/MatTree.h"
#include "library/TreesView.h"
#include "library/TsWidget.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

using namespace listtest;

namespace {

const QByteArray kList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<sayloom version=\"1.0\">\n"
    "    <train folded=\"no\">\n"
    "        <title>Group</title>\n"
    "        <case url=\"lesson01.mp3\" learned=\"lesson01.mp3\"><title>Lesson 1</title></case>\n"
    "        <separator/>\n"
    "        <case url=\"http://media.example.com/media/lesson02.mp3\" learned=\"lesson02.mp3\"><title>Lesson 2</title></case>\n"
    "        <train><title>Empty group</title></train>\n"
    "    </train>\n"
    "    <case url=\"Lesson #3.mp3\"><title>Lesson 3</title></case>\n"
    "</sayloom>\n";

QPoint cellCentre(MatTree* tree, QTreeWidgetItem* row, int column)
{
    const QRect rect = tree->visualItemRect(row);
    return QPoint(tree->columnViewportPosition(column) + tree->columnWidth(column) / 2, rect.center().y());
}

void send(MatTree* tree, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QWidget* viewport = tree->viewport();
    QMouseEvent event(type, QPointF(pos), QPointF(viewport->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

void click(MatTree* tree, QPoint pos, Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons held = {})
{
    send(tree, QEvent::MouseButtonPress, pos, button, held | button);
    send(tree, QEvent::MouseButtonRelease, pos, button, held);
}

void moveTo(MatTree* tree, QPoint pos)
{
    send(tree, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}

} // namespace

class MatTreeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WorkingFolder> folder;
    std::unique_ptr<TreesView> view;
    QStringList emitted; // "switch:<path>" and "export:<path>", in order

    MatTree* tree(int level = 0) const { return view->page(level)->matTree(); }
    QTreeWidgetItem* group() const { return tree()->topLevelItem(0); }
    QTreeWidgetItem* lesson1() const { return group()->child(0); }
    QTreeWidgetItem* separator() const { return group()->child(1); }
    QTreeWidgetItem* lesson2() const { return group()->child(2); }
    QTreeWidgetItem* emptyGroup() const { return group()->child(3); }

private slots:
    void init()
    {
        folder = std::make_unique<WorkingFolder>();
        for (int level = 0; level < TreesView::kLevelCount; ++level)
            QVERIFY(folder->write(TreesView::listFile(level), kList));
        QVERIFY(QDir().mkpath(QStringLiteral("workspace/train/lesson02.mp3")));
        MessageBoxCatcher boxes;
        view = std::make_unique<TreesView>();
        QVERIFY(boxes.boxes.isEmpty());
        view->resize(294, 600);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        emitted.clear();
        connect(view.get(), &TreesView::switchSig, this,
                [this](const QString& path) { emitted.append(QStringLiteral("switch:") + path); });
        connect(view.get(), &TreesView::exportSig, this,
                [this](const QString& path) { emitted.append(QStringLiteral("export:") + path); });
    }

    void cleanup()
    {
        view.reset();
        folder.reset();
    }

    void levelsInTabOrder()
    {
        QCOMPARE(view->count(), 3);
        const QStringList names = {QStringLiteral("basic"), QStringLiteral("advanced"), QStringLiteral("expert")};
        for (int level = 0; level < 3; ++level) {
            QCOMPARE(view->widget(level), view->page(level));
            QCOMPARE(view->page(level)->objectName(), names[level]);
            QCOMPARE(view->tabText(level), QString());
            QCOMPARE(tree(level)->topLevelItemCount(), 2); // each page read its list
        }
        QCOMPARE(view->currentIndex(), 0);
        QCOMPARE(lesson2()->text(MatTree::ActionColumn), QStringLiteral("复习"));
        // The tree and its scroll bar lie inside the library.
        const QRect treeInView(tree()->mapTo(view.get(), QPoint(0, 0)), tree()->size());
        QVERIFY2(view->rect().contains(treeInView), qPrintable(QStringLiteral("%1 %2").arg(treeInView.right()).arg(view->width())));
    }

    void leftClickChoosesAndTheActionCellExports()
    {
        click(tree(), cellCentre(tree(), lesson1(), MatTree::TitleColumn));
        QCOMPARE(emitted, QStringList{QStringLiteral("switch:./workspace/lesson01.mp3")});
        QVERIFY(lesson1()->isSelected());

        emitted.clear();
        click(tree(), cellCentre(tree(), lesson1(), MatTree::EmptyColumn));
        QCOMPARE(emitted, QStringList{QStringLiteral("switch:./workspace/lesson01.mp3")});

        emitted.clear();
        click(tree(), cellCentre(tree(), lesson2(), MatTree::ActionColumn));
        // A web address counts by its file name; the choice comes first.
        QCOMPARE(emitted, (QStringList{QStringLiteral("switch:./workspace/lesson02.mp3"),
                                       QStringLiteral("export:./workspace/lesson02.mp3")}));
        QVERIFY(lesson2()->isSelected());
        QVERIFY(!lesson1()->isSelected());

        emitted.clear();
        click(tree(), cellCentre(tree(), tree()->topLevelItem(1), MatTree::TitleColumn));
        QCOMPARE(emitted, QStringList{QStringLiteral("switch:./workspace/Lesson #3.mp3")});
    }

    void otherButtonsDoNothing()
    {
        const QPoint onLesson = cellCentre(tree(), lesson1(), MatTree::TitleColumn);
        click(tree(), onLesson, Qt::MiddleButton);
        click(tree(), onLesson, Qt::LeftButton, Qt::RightButton);
        click(tree(), onLesson, Qt::RightButton);
        QVERIFY(emitted.isEmpty());
        QVERIFY(tree()->selectedItems().isEmpty());
    }

    void groupsWithMembersTakeNoClicks()
    {
        const QPoint onGroup = cellCentre(tree(), group(), MatTree::TitleColumn);
        click(tree(), onGroup);
        QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, onGroup);
        QVERIFY(emitted.isEmpty());
        QVERIFY(!group()->isSelected());
        QVERIFY(group()->isExpanded());

        // A click below the last row hits nothing.
        click(tree(), QPoint(10, tree()->viewport()->height() - 2));
        QVERIFY(emitted.isEmpty());
    }

    void separatorsAndEmptyGroupsChooseNoFile()
    {
        click(tree(), cellCentre(tree(), separator(), MatTree::TitleColumn));
        click(tree(), cellCentre(tree(), emptyGroup(), MatTree::TitleColumn));
        QCOMPARE(emitted, (QStringList{QStringLiteral("switch:./workspace/"), QStringLiteral("switch:./workspace/")}));
        QVERIFY(!separator()->isSelected());
    }

    void choosingOnOneTabDeselectsTheOthers()
    {
        click(tree(0), cellCentre(tree(0), lesson1(), MatTree::TitleColumn));
        view->setCurrentIndex(2);
        MatTree* expert = tree(2);
        QTreeWidgetItem* other = expert->topLevelItem(0)->child(0);
        click(expert, cellCentre(expert, other, MatTree::TitleColumn));
        QVERIFY(other->isSelected());
        QVERIFY(tree(0)->selectedItems().isEmpty());
        QCOMPARE(emitted.size(), 2);
    }

    void pointerOverTheActionCell()
    {
        const QIcon none;
        moveTo(tree(), cellCentre(tree(), lesson1(), MatTree::ActionColumn));
        QCOMPARE(tree()->hoverItem(), lesson1());
        QCOMPARE(tree()->hoverColumn(), int(MatTree::ActionColumn));
        QCOMPARE(lesson1()->text(MatTree::ActionColumn), QString());
        QVERIFY(!lesson1()->icon(MatTree::ActionColumn).isNull());

        moveTo(tree(), cellCentre(tree(), lesson1(), MatTree::TitleColumn));
        QCOMPARE(lesson1()->text(MatTree::ActionColumn), QStringLiteral("导出"));
        QVERIFY(lesson1()->icon(MatTree::ActionColumn).isNull());
        QCOMPARE(tree()->hoverColumn(), int(MatTree::TitleColumn));

        // From one action cell straight to the next.
        moveTo(tree(), cellCentre(tree(), lesson1(), MatTree::ActionColumn));
        moveTo(tree(), cellCentre(tree(), lesson2(), MatTree::ActionColumn));
        QCOMPARE(lesson1()->text(MatTree::ActionColumn), QStringLiteral("导出"));
        QCOMPARE(lesson2()->text(MatTree::ActionColumn), QString());

        // Leaving puts back what the list said, the review mark included.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(tree(), &leave);
        QCOMPARE(lesson2()->text(MatTree::ActionColumn), QStringLiteral("复习"));
        QVERIFY(lesson2()->icon(MatTree::ActionColumn).isNull());
        QCOMPARE(tree()->hoverItem(), nullptr);
    }

    void pointerLeavesNoTextOnRowsWithoutAction()
    {
        moveTo(tree(), cellCentre(tree(), separator(), MatTree::ActionColumn));
        QVERIFY(!separator()->icon(MatTree::ActionColumn).isNull());
        moveTo(tree(), cellCentre(tree(), emptyGroup(), MatTree::ActionColumn));
        moveTo(tree(), cellCentre(tree(), group(), MatTree::ActionColumn));
        QCOMPARE(separator()->text(MatTree::ActionColumn), QString());
        QCOMPARE(emptyGroup()->text(MatTree::ActionColumn), QString());
        QVERIFY(emptyGroup()->icon(MatTree::ActionColumn).isNull());
        // A group with members never shows the pointer.
        QVERIFY(group()->icon(MatTree::ActionColumn).isNull());
        QCOMPARE(tree()->hoverItem(), group());
    }

    void reloadForgetsTheHoveredRow()
    {
        moveTo(tree(), cellCentre(tree(), lesson1(), MatTree::ActionColumn));
        QVERIFY(view->page(0)->loadList(TreesView::listFile(0)));
        QCOMPARE(tree()->hoverItem(), nullptr);
        moveTo(tree(), cellCentre(tree(), lesson2(), MatTree::TitleColumn));
        QCOMPARE(lesson1()->text(MatTree::ActionColumn), QStringLiteral("导出"));
        QCOMPARE(tree()->hoverItem(), lesson2());
    }

    void contextMenuOffersImportAndRemove()
    {
        QStringList shown;
        bool removeEnabled = false;
        QTimer closer;
        closer.setInterval(10);
        connect(&closer, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (const QAction* action : menu->actions())
                shown.append(action->text());
            removeEnabled = menu->actions().value(1)->isEnabled();
            menu->close();
        });
        closer.start();

        // A right click through the window system, over a material.
        QWidget* viewport = tree()->viewport();
        const QPoint onLesson = viewport->mapTo(view.get(), cellCentre(tree(), lesson1(), MatTree::TitleColumn));
        QTest::mouseClick(view->windowHandle(), Qt::RightButton, {}, onLesson);
        QTRY_COMPARE(shown, (QStringList{QStringLiteral("导入"), QStringLiteral("移除材料")}));
        QVERIFY(removeEnabled);
        QVERIFY(!lesson1()->isSelected());
        QVERIFY(emitted.isEmpty());
        QCOMPARE(view->importAction()->toolTip(), QStringLiteral("导入"));
        QCOMPARE(view->removeAction()->toolTip(), QStringLiteral("删除材料"));

        // Below the rows, and over the tab bar, there is no row to remove.
        for (const QPoint& where : {viewport->mapTo(view.get(), QPoint(10, viewport->height() - 2)),
                                    view->tabBar()->geometry().center()}) {
            shown.clear();
            QContextMenuEvent event(QContextMenuEvent::Mouse, where, view->mapToGlobal(where));
            QApplication::sendEvent(view.get(), &event);
            QTRY_COMPARE(shown.size(), 2);
            QVERIFY(!removeEnabled);
            QVERIFY(view->importAction()->isEnabled());
        }
    }
};

REPETA_TEST_MAIN(MatTreeTest)
#include "tst_mattree.moc"
