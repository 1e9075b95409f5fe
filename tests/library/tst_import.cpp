// The import driven end to end: the library's import action, the file
// dialog and the name prompts answered by the test, files on disk, the list
// rewritten and shown again.
#include "TestEnvironment.h"

#include "ListFixture.h"
#include "ModalDialogs.h"
#include "library/ListDocument.h"
#include "library/MatTree.h"
#include "library/TreesView.h"
#include "library/TsWidget.h"

#include <QAction>
#include <QDomElement>
#include <QDomNodeList>
#include <QInputDialog>

using namespace listtest;
using testenv::ModalDialogs;

namespace {

const QByteArray kList = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<!-- kept through every write -->\n"
                         "<sayloom version=\"1.0\">\n"
                         "    <train folded=\"no\"><title>Old</title><case url=\"old.mp3\"><title>Old one</title></case></train>\n"
                         "</sayloom>\n";

} // namespace

class ImportTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WorkingFolder> folder;
    std::unique_ptr<TreesView> view;

    // A real media file (a copy of the generated `media`) and, unless
    // `withLrc` is false, an LRC beside it, in "in/".
    QString source(const QString& name, bool withLrc = true, const QString& media = QStringLiteral("sentences.mp3"))
    {
        const QString path = folder->path(QStringLiteral("in/") + name);
        if (!QDir().mkpath(folder->path(QStringLiteral("in"))) ||
            !folder->write(QStringLiteral("in/") + name, testenv::readFile(testenv::media(media))))
            return QString();
        if (withLrc && !folder->write(QStringLiteral("in/") + lrcName(name), "[00:01.00]" + name.toUtf8() + " 早上好。\n"))
            return QString();
        return path;
    }

    static QString lrcName(const QString& media) { return media.left(media.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".lrc"); }

    // The materials of the list's imported group, in document order, as
    // "title url learned".
    QStringList imported(int level = 0) const
    {
        ListDocument list;
        if (list.open(folder->path(TreesView::listFile(level))).failed())
            return {};
        QStringList materials;
        const QDomNodeList groups = list.document().elementsByTagName(QStringLiteral("train"));
        for (int i = 0; i < groups.size(); ++i) {
            const QDomElement group = groups.item(i).toElement();
            if (group.firstChildElement().text() != QStringLiteral("导入的材料"))
                continue;
            for (QDomElement c = group.firstChildElement(QStringLiteral("case")); !c.isNull();
                 c = c.nextSiblingElement(QStringLiteral("case")))
                materials.append(QStringList{c.firstChildElement(QStringLiteral("title")).text(),
                                             c.attribute(QStringLiteral("url")), c.attribute(QStringLiteral("learned"))}
                                     .join(QLatin1Char(' ')));
        }
        return materials;
    }

    QStringList shownTitles(int level = 0) const
    {
        QStringList titles;
        for (QTreeWidgetItemIterator it(view->page(level)->matTree()); *it; ++it)
            titles.append((*it)->text(MatTree::TitleColumn));
        return titles;
    }

    void runImport(ModalDialogs& dialogs)
    {
        view->importAction()->trigger();
        QCOMPARE(dialogs.unexpected, 0);
    }

private slots:
    void init()
    {
        folder = std::make_unique<WorkingFolder>();
        for (int level = 0; level < TreesView::kLevelCount; ++level)
            QVERIFY(folder->write(TreesView::listFile(level), kList));
        view = std::make_unique<TreesView>();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

    void cleanup()
    {
        view.reset();
        folder.reset();
    }

    // Any media FFmpeg plays is a material; a file that is not one is named
    // with its reason at the end, and nothing else stops.
    void mediaOfAnyKindAndAFileThatIsNot()
    {
        const QString a = source(QStringLiteral("a.mp3"));
        const QString b = source(QStringLiteral("b.mp3"), false, QStringLiteral("text.mp3"));
        const QString c = source(QStringLiteral("c.wmv"), true, QStringLiteral("video.wmv"));
        QStringList filters;
        ModalDialogs dialogs;
        dialogs
            .then([&](QDialog* dialog) {
                filters = qobject_cast<QFileDialog*>(dialog)->nameFilters();
                ModalDialogs::chooseFiles({a, b, c})(dialog);
            })
            .then(ModalDialogs::enterText(QStringLiteral("First")))
            .then(ModalDialogs::enterText(QStringLiteral("第三")))
            .then(ModalDialogs::clickOk());
        runImport(dialogs);

        QCOMPARE(dialogs.seen.size(), 4);
        QCOMPARE(dialogs.seen[0].title, QStringLiteral("选择文件"));
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters[0].startsWith(QStringLiteral("媒体文件 (")) && filters[0].contains(QStringLiteral("*.mp4")) &&
                filters[0].contains(QStringLiteral("*.opus")) && filters[0].contains(QStringLiteral("*.rm")));
        QCOMPARE(dialogs.seen[1].text, QStringLiteral("多媒体文件：a.mp3\n句子文件：a.lrc\n请输入材料名："));
        QCOMPARE(dialogs.seen[2].text, QStringLiteral("多媒体文件：c.wmv\n句子文件：c.lrc\n请输入材料名："));
        QCOMPARE(dialogs.seen[3].kind, QStringLiteral("QMessageBox"));
        QCOMPARE(dialogs.seen[3].text, QStringLiteral("以下文件没有导入：\nb.mp3：不是能播放的媒体文件"));

        QCOMPARE(imported(), (QStringList{QStringLiteral("First a.mp3 a.mp3"), QStringLiteral("第三 c.wmv c.wmv")}));
        QCOMPARE(folder->read(QStringLiteral("workspace/c.wmv")), testenv::readFile(testenv::media(QStringLiteral("video.wmv"))));
        // Sentence files travel byte for byte, translations and all.
        QCOMPARE(folder->read(QStringLiteral("workspace/c.lrc")), QByteArray("[00:01.00]c.wmv 早上好。\n"));
        QVERIFY(!QFile::exists(folder->path(QStringLiteral("workspace/b.mp3"))));
        QVERIFY(folder->read(TreesView::listFile(0)).contains("<!-- kept through every write -->"));

        // The page shows the list again; the new group comes after the old one.
        QCOMPARE(shownTitles(), (QStringList{QStringLiteral("Old"), QStringLiteral("Old one"), QStringLiteral("导入的材料"),
                                             QStringLiteral("First"), QStringLiteral("第三")}));
        QCOMPARE(folder->read(TreesView::listFile(1)), kList);
    }

    // Subtitles and their Chinese companion go along; the title is offered
    // from the LRC's title tag or else the file name.
    void subtitlesAndTitles()
    {
        const QString lesson = source(QStringLiteral("lesson.mp3"), false);
        QVERIFY(folder->write(QStringLiteral("in/lesson.en.srt"), "1\n00:00:01,000 --> 00:00:02,000\nHello there.\n"));
        QVERIFY(folder->write(QStringLiteral("in/lesson.zh.srt"), "1\n00:00:01,000 --> 00:00:02,000\n你好。\n"));
        const QString titled = source(QStringLiteral("titled.mp3"), false);
        QVERIFY(folder->write(QStringLiteral("in/titled.lrc"), "[ti:Lesson Two]\n[00:01.00]Hi.\n"));
        ModalDialogs dialogs;
        QStringList offered;
        const auto keep = [&](QDialog* dialog) {
            offered.append(qobject_cast<QInputDialog*>(dialog)->textValue());
            qobject_cast<QInputDialog*>(dialog)->accept();
        };
        dialogs.then(ModalDialogs::chooseFiles({lesson, titled})).then(keep).then(keep);
        runImport(dialogs);
        QCOMPARE(offered, (QStringList{QStringLiteral("lesson"), QStringLiteral("Lesson Two")}));
        QCOMPARE(dialogs.seen.value(1).text, QStringLiteral("多媒体文件：lesson.mp3\n句子文件：lesson.en.srt\n请输入材料名："));
        for (const char* name : {"lesson.en.srt", "lesson.zh.srt", "titled.lrc"})
            QCOMPARE(folder->read(QStringLiteral("workspace/") + QLatin1String(name)),
                     folder->read(QStringLiteral("in/") + QLatin1String(name)));
        QCOMPARE(imported(), (QStringList{QStringLiteral("lesson lesson.mp3 lesson.mp3"),
                                          QStringLiteral("Lesson Two titled.mp3 titled.mp3")}));
    }

    // Without a sentence file the import finds the sentences by the pauses
    // and writes them beside the media.
    void speechWithoutSentencesIsSplitAtItsPauses()
    {
        const QString speech = source(QStringLiteral("talk.mp3"), false, QStringLiteral("speech.mp3"));
        ModalDialogs dialogs;
        dialogs.then(ModalDialogs::chooseFiles({speech})).then(ModalDialogs::enterText(QStringLiteral("Talk")));
        runImport(dialogs);
        QCOMPARE(dialogs.seen.value(1).text, QStringLiteral("多媒体文件：talk.mp3\n没有句子文件，将按停顿自动分句\n请输入材料名："));
        const QByteArray lrc = folder->read(QStringLiteral("workspace/talk.lrc"));
        // Three lines of speech, the first of them two sentences.
        QVERIFY2(lrc.contains("第 1 句") && lrc.contains("第 4 句") && !lrc.contains("第 5 句"), lrc.constData());
        QCOMPARE(imported(), QStringList{QStringLiteral("Talk talk.mp3 talk.mp3")});
    }

    void intoTheCurrentLevel()
    {
        view->setCurrentIndex(2);
        ModalDialogs dialogs;
        dialogs.then(ModalDialogs::chooseFiles({source(QStringLiteral("x.flv"))}))
            .then(ModalDialogs::enterText(QStringLiteral("Expert")));
        runImport(dialogs);
        QCOMPARE(imported(2).size(), 1);
        QVERIFY(imported(0).isEmpty());
        QVERIFY(shownTitles(2).contains(QStringLiteral("Expert")));
    }

    void dottedNameFindsItsLrc()
    {
        const QString media = source(QStringLiteral("a.b.mp3"));
        QVERIFY(folder->write(QStringLiteral("in/a.lrc"), "[00:01.00]wrong one\n"));
        ModalDialogs dialogs;
        dialogs.then(ModalDialogs::chooseFiles({media})).then(ModalDialogs::enterText(QStringLiteral("Dotted")));
        runImport(dialogs);
        QCOMPARE(dialogs.seen.value(1).text, QStringLiteral("多媒体文件：a.b.mp3\n句子文件：a.b.lrc\n请输入材料名："));
        QCOMPARE(folder->read(QStringLiteral("workspace/a.b.lrc")), QByteArray("[00:01.00]a.b.mp3 早上好。\n"));
        QVERIFY(!QFile::exists(folder->path(QStringLiteral("workspace/a.lrc"))));
        QCOMPARE(imported(), QStringList{QStringLiteral("Dotted a.b.mp3 a.b.mp3")});
    }

    void filesAlreadyInTheWorkspaceKeepTheirBytes()
    {
        QVERIFY(QDir().mkpath(QStringLiteral("workspace")));
        const QByteArray media = testenv::readFile(testenv::media(QStringLiteral("sentences.mp3")));
        const QByteArray lrc = testenv::readFile(testenv::media(QStringLiteral("sentences.lrc")));
        QVERIFY(media.size() > 1000);
        QVERIFY(folder->write(QStringLiteral("workspace/lesson.mp3"), media));
        QVERIFY(folder->write(QStringLiteral("workspace/lesson.lrc"), lrc));
        ModalDialogs dialogs;
        dialogs.then(ModalDialogs::chooseFiles({folder->path(QStringLiteral("workspace/lesson.mp3"))}))
            .then(ModalDialogs::enterText(QStringLiteral("Lesson")));
        runImport(dialogs);
        QCOMPARE(folder->read(QStringLiteral("workspace/lesson.mp3")), media);
        QCOMPARE(folder->read(QStringLiteral("workspace/lesson.lrc")), lrc);
        QCOMPARE(imported().size(), 1);
    }

    void cancelledOrUnnamedAddsNothing()
    {
        {
            ModalDialogs cancelled; // answers while it lives
            cancelled.then(ModalDialogs::cancel());
            runImport(cancelled);
            QCOMPARE(cancelled.seen.size(), 1);
        }

        // An empty name is refused with its reason; a cancelled prompt is the
        // learner's own choice and needs none.
        ModalDialogs unnamed;
        unnamed.then(ModalDialogs::chooseFiles({source(QStringLiteral("a.mp3")), source(QStringLiteral("b.mp3"))}))
            .then(ModalDialogs::enterText(QString()))
            .then(ModalDialogs::cancel())
            .then(ModalDialogs::clickOk());
        runImport(unnamed);
        QCOMPARE(unnamed.seen.size(), 4);
        QCOMPARE(unnamed.seen[3].text, QStringLiteral("以下文件没有导入：\na.mp3：没有材料名"));
        QCOMPARE(folder->read(TreesView::listFile(0)), kList);
        QVERIFY(!QFile::exists(folder->path(QStringLiteral("workspace/a.mp3"))));
    }

    void unreadableListStopsBeforeTheFileDialog_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<bool>("present");
        QTest::newRow("malformed") << QByteArray("<sayloom><train>") << true;
        QTest::newRow("missing") << QByteArray() << false;
    }

    void unreadableListStopsBeforeTheFileDialog()
    {
        QFETCH(QByteArray, list);
        QFETCH(bool, present);
        QVERIFY(QFile::remove(folder->path(TreesView::listFile(0))));
        if (present)
            QVERIFY(folder->write(TreesView::listFile(0), list));
        ModalDialogs dialogs;
        view->importAction()->trigger();
        QTest::qWait(3 * ModalDialogs::kPollMs);
        QVERIFY(dialogs.seen.isEmpty());
        QCOMPARE(QFile::exists(folder->path(TreesView::listFile(0))), present);
        if (present)
            QCOMPARE(folder->read(TreesView::listFile(0)), list);
    }

    void listWithoutGroupsIsLeftAlone()
    {
        const QByteArray noGroups = "<?xml version=\"1.0\"?>\n<sayloom><case url=\"x.mp3\"/></sayloom>\n";
        QVERIFY(folder->write(TreesView::listFile(0), noGroups));
        ModalDialogs dialogs;
        dialogs.then(ModalDialogs::chooseFiles({source(QStringLiteral("a.mp3"))}))
            .then(ModalDialogs::enterText(QStringLiteral("A")))
            .then(ModalDialogs::clickOk());
        runImport(dialogs);
        QCOMPARE(folder->read(TreesView::listFile(0)), noGroups);
        QVERIFY(QFile::exists(folder->path(QStringLiteral("workspace/a.mp3"))));
    }

    void failedCopyAddsNoMaterial()
    {
        QVERIFY(folder->write(QStringLiteral("workspace"), "a file where the folder should be"));
        ModalDialogs dialogs;
        dialogs.then(ModalDialogs::chooseFiles({source(QStringLiteral("a.mp3")), source(QStringLiteral("b.mp3"))}))
            .then(ModalDialogs::enterText(QStringLiteral("A")))
            .then(ModalDialogs::enterText(QStringLiteral("B")))
            .then(ModalDialogs::clickOk());
        runImport(dialogs);
        QCOMPARE(dialogs.seen.size(), 4); // each file was still asked for, then both were named
        QVERIFY(dialogs.seen[3].text.startsWith(QStringLiteral("以下文件没有导入：\na.mp3：")));
        QCOMPARE(folder->read(TreesView::listFile(0)), kList);
    }
};

REPETA_TEST_MAIN(ImportTest)
#include "tst_import.moc"
