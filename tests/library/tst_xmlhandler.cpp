// Reading material lists into a tree: rows, titles, icons, review marks and
// the parse-error message, from list files on disk.
#include "TestEnvironment.h"

#include "ListFixture.h"
#include "library/XmlHandler.h"

#include <QBuffer>
#include <QFileInfo>
#include <QStyle>
#include <QTreeWidget>
#include <QXmlStreamReader>

using namespace listtest;

namespace {

const QString kExport = QStringLiteral("导出");
const QString kReview = QStringLiteral("复习");

// The Part's example list, told in words there, as a file.
const QByteArray kExample = R"(<?xml version="1.0" encoding="UTF-8"?>
<sayloom version="1.0">
    <train folded="no">
        <title>导入的材料</title>
        <case url="lesson01.mp3" learned="lesson01.mp3" texturl="http://www.example.com/">
            <title>Lesson 1</title>
        </case>
        <separator/>
        <case url="http://media.example.com/media/lesson02.mp3" learned="lesson02.mp3" texturl="http://www.example.com/">
            <title>Lesson 2</title>
        </case>
    </train>
    <train>
        <title>Second group</title>
        <case url="lesson03.mp3" learned="lesson03.mp3"><title>Lesson 3</title></case>
    </train>
</sayloom>
)";

QByteArray list(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sayloom version=\"1.0\">" + body + "</sayloom>\n";
}

QImage iconImage(const QIcon& icon, QIcon::State state = QIcon::Off)
{
    return icon.pixmap(16, QIcon::Normal, state).toImage();
}

// The message the XML parser itself gives for some bytes.
QString parserMessage(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd())
        reader.readNext();
    return reader.errorString();
}

} // namespace

class XmlHandlerTest : public QObject {
    Q_OBJECT

private:
    QTreeWidget* tree = nullptr;

    // Writes the bytes as a list and loads it; the boxes shown are caught.
    bool load(const WorkingFolder& folder, const QByteArray& bytes, QList<CaughtBox>* boxes = nullptr)
    {
        if (!folder.write(QStringLiteral("basiclist.xml"), bytes))
            return false;
        MessageBoxCatcher catcher;
        const bool ok = loadListFile(tree, folder.path(QStringLiteral("basiclist.xml")));
        if (boxes)
            *boxes = catcher.boxes;
        return ok;
    }

    void verifyRejected(const QByteArray& bytes, const QString& message)
    {
        WorkingFolder folder;
        QList<CaughtBox> boxes;
        QVERIFY(!load(folder, bytes, &boxes));
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("材料列表已损坏"));
        // Which file, where, the reader's own words, and what to do.
        const QString path = QFileInfo(folder.path(QStringLiteral("basiclist.xml"))).absoluteFilePath();
        QVERIFY2(boxes[0].text.startsWith(QStringLiteral("材料列表“%1”已损坏，读到第 ").arg(path)),
                 qPrintable(boxes[0].text));
        QVERIFY2(boxes[0].text.contains(QStringLiteral("：\n") + message + QStringLiteral("\n\n")),
                 qPrintable(boxes[0].text));
        QVERIFY(boxes[0].text.contains(QStringLiteral("文本编辑器")));
        QCOMPARE(boxes[0].icon, QMessageBox::Warning);
        QCOMPARE(boxes[0].parent, tree->window());
        QCOMPARE(tree->topLevelItemCount(), 0);
    }

private slots:
    void init()
    {
        tree = new QTreeWidget;
        tree->setColumnCount(3);
        tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(tree));
    }

    void cleanup()
    {
        delete tree;
        tree = nullptr;
    }

    void exampleList()
    {
        WorkingFolder folder;
        QList<CaughtBox> boxes;
        QVERIFY(load(folder, kExample, &boxes));
        QVERIFY(boxes.isEmpty());
        QCOMPARE(tree->topLevelItemCount(), 2);

        QTreeWidgetItem* imported = tree->topLevelItem(0);
        QCOMPARE(imported->text(0), QStringLiteral("导入的材料"));
        QVERIFY(imported->isExpanded());
        QCOMPARE(imported->childCount(), 3);
        QCOMPARE(imported->text(2), QString());

        QTreeWidgetItem* lesson = imported->child(0);
        QCOMPARE(lesson->text(0), QStringLiteral("Lesson 1"));
        QCOMPARE(lesson->text(1), QString());
        QCOMPARE(lesson->text(2), kExport);
        QCOMPARE(lesson->text(3), QStringLiteral("lesson01.mp3"));
        QVERIFY(lesson->flags() & Qt::ItemIsSelectable);
        QCOMPARE(iconImage(lesson->icon(0)), iconImage(tree->style()->standardIcon(QStyle::SP_FileIcon)));

        QTreeWidgetItem* separator = imported->child(1);
        QCOMPARE(separator->text(0), QString(30, QChar(0x00B7)));
        QVERIFY(!(separator->flags() & Qt::ItemIsSelectable));
        QVERIFY(separator->icon(0).isNull());
        QCOMPARE(separator->childCount(), 0);

        QCOMPARE(imported->child(2)->text(3), QStringLiteral("http://media.example.com/media/lesson02.mp3"));
        QTreeWidgetItem* second = tree->topLevelItem(1);
        QCOMPARE(second->text(0), QStringLiteral("Second group"));
        QVERIFY(!second->isExpanded());
        QCOMPARE(second->child(0)->text(0), QStringLiteral("Lesson 3"));
    }

    void groupIconShowsTheFoldedState()
    {
        WorkingFolder folder;
        QVERIFY(load(folder, kExample));
        const QIcon icon = tree->topLevelItem(0)->icon(0);
        const QStyle* style = tree->style();
        QCOMPARE(iconImage(icon, QIcon::Off), iconImage(style->standardIcon(QStyle::SP_DirClosedIcon)));
        QCOMPARE(iconImage(icon, QIcon::On), iconImage(style->standardIcon(QStyle::SP_DirOpenIcon)));
        QCOMPARE(iconImage(tree->topLevelItem(1)->icon(0)), iconImage(icon));
    }

    void titlesNameTheInnermostRow()
    {
        WorkingFolder folder;
        QVERIFY(load(folder, list("<title>Nobody's</title>"
                                  "<train><title>Group</title>"
                                  "<note><title>Renamed</title></note>"
                                  "<case url=\"a.mp3\"/>"
                                  "</train>"
                                  "<train/>")));
        QCOMPARE(tree->topLevelItemCount(), 2); // a title under the root made no row
        QTreeWidgetItem* group = tree->topLevelItem(0);
        QCOMPARE(group->text(0), QStringLiteral("Renamed")); // other elements make no row
        QCOMPARE(group->childCount(), 1);
        QCOMPARE(group->child(0)->text(0), QStringLiteral("Unknown title"));
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("Train"));
    }

    void titleTextIsWhatFollowsTheLastElementStart()
    {
        WorkingFolder folder;
        QVERIFY(load(folder, list("<case><title>  Spaced &amp; <![CDATA[<raw>]]></title></case>"
                                  "<case><title>Before<b/>After</title></case>")));
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("  Spaced & <raw>"));
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("After"));
    }

    void onlyLowerCaseNoExpands_data()
    {
        QTest::addColumn<QByteArray>("attribute");
        QTest::addColumn<bool>("expanded");
        QTest::newRow("no") << QByteArray(" folded=\"no\"") << true;
        QTest::newRow("No") << QByteArray(" folded=\"No\"") << false;
        QTest::newRow("NO") << QByteArray(" folded=\"NO\"") << false;
        QTest::newRow("false") << QByteArray(" folded=\"false\"") << false;
        QTest::newRow("yes") << QByteArray(" folded=\"yes\"") << false;
        QTest::newRow("empty") << QByteArray(" folded=\"\"") << false;
        QTest::newRow("absent") << QByteArray() << false;
    }

    void onlyLowerCaseNoExpands()
    {
        QFETCH(QByteArray, attribute);
        QFETCH(bool, expanded);
        WorkingFolder folder;
        QVERIFY(load(folder, list("<train" + attribute + "><title>G</title><case/></train>")));
        QCOMPARE(tree->topLevelItem(0)->isExpanded(), expanded);
    }

    void versions_data()
    {
        QTest::addColumn<QByteArray>("root");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("absent") << QByteArray("<sayloom>") << true;
        QTest::newRow("empty") << QByteArray("<sayloom version=\"\">") << true;
        QTest::newRow("1.0") << QByteArray("<sayloom version=\"1.0\">") << true;
        QTest::newRow("1.00") << QByteArray("<sayloom version=\"1.00\">") << false;
        QTest::newRow("2.0") << QByteArray("<sayloom version=\"2.0\">") << false;
        QTest::newRow(" 1.0") << QByteArray("<sayloom version=\" 1.0\">") << false;
    }

    void versions()
    {
        QFETCH(QByteArray, root);
        QFETCH(bool, accepted);
        const QByteArray bytes = root + "<train><title>G</title></train></sayloom>";
        if (!accepted) {
            verifyRejected(bytes, QStringLiteral("The file is not a sayloom trains file."));
            return;
        }
        WorkingFolder folder;
        QList<CaughtBox> boxes;
        QVERIFY(load(folder, bytes, &boxes));
        QVERIFY(boxes.isEmpty());
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("G"));
    }

    void rejectionGivesItsPlace()
    {
        WorkingFolder folder;
        QList<CaughtBox> boxes;
        QVERIFY(!load(folder, "<?xml version=\"1.0\"?>\n\n<sayloom version=\"1.1\">", &boxes));
        QVERIFY2(boxes.value(0).text.contains(QStringLiteral("读到第 3 行第 ")), qPrintable(boxes.value(0).text));
    }

    void firstElementMustBeTheRoot()
    {
        verifyRejected("<?xml version=\"1.0\"?><trains><train><title>G</title></train></trains>",
                       QStringLiteral("The file is not a sayloom file."));
        verifyRejected("<train><title>G</title></train>", QStringLiteral("The file is not a sayloom file."));
    }

    void malformedXmlKeepsTheRowsBefore()
    {
        const QByteArray bytes = "<sayloom>\n<train><title>A</title></train>\n<case><title>B</title>\n</sayloom>\n";
        WorkingFolder folder;
        QList<CaughtBox> boxes;
        QVERIFY(!load(folder, bytes, &boxes));
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("B"));
        QCOMPARE(boxes.size(), 1);
        const QString message = parserMessage(bytes);
        QVERIFY(!message.isEmpty());
        QVERIFY2(boxes[0].text.contains(QStringLiteral("读到第 4 行第 ")), qPrintable(boxes[0].text));
        QVERIFY(boxes[0].text.contains(QStringLiteral("：\n") + message + QStringLiteral("\n\n")));
    }

    void missingOrEmptyFiles()
    {
        WorkingFolder folder;
        // A path with a place marker of its own is named as it is.
        const QString missing = folder.path(QStringLiteral("100%2/expertlist.xml"));
        const QString expected = QStringLiteral("材料列表“%1”已损坏，读到第 1 行第 0 列时出错：\n%2\n\n")
                                     .arg(QFileInfo(missing).absoluteFilePath(), parserMessage(QByteArray()));
        for (const QByteArray& bytes : {QByteArray(), QByteArray("<?xml version=\"1.0\"?>\n")}) {
            QList<CaughtBox> boxes;
            QVERIFY(!load(folder, bytes, &boxes));
            QCOMPARE(boxes.size(), 1);
            QVERIFY(boxes[0].text.contains(QStringLiteral("读到第 ")));
        }
        MessageBoxCatcher catcher;
        QVERIFY(!loadListFile(tree, missing));
        QCOMPARE(catcher.boxes.size(), 1);
        QVERIFY2(catcher.boxes[0].text.startsWith(expected), qPrintable(catcher.boxes[0].text));
        QVERIFY(!QFile::exists(missing)); // reading creates nothing
    }

    void reviewMarksComeFromTheTrainFolder()
    {
        WorkingFolder folder;
        const QByteArray bytes = list("<case learned=\"a.mp3\"/><case learned=\"b.mp3\"/>"
                                      "<case learned=\"A.MP3\"/><case learned=\".\"/><case/>");
        QVERIFY(load(folder, bytes));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(tree->topLevelItem(i)->text(2), kExport);

        QVERIFY(QDir().mkpath(QStringLiteral("workspace/train/a.mp3")));
        QVERIFY(folder.write(QStringLiteral("workspace/train/b.mp3"), "a file, not a folder"));
        QVERIFY(load(folder, bytes));
        QCOMPARE(tree->topLevelItem(0)->text(2), kReview);
        QCOMPARE(tree->topLevelItem(1)->text(2), kExport);
        QCOMPARE(tree->topLevelItem(2)->text(2), kExport); // names compare case-sensitively
        QCOMPARE(tree->topLevelItem(3)->text(2), kExport);
        QCOMPARE(tree->topLevelItem(4)->text(2), kExport);
    }

    void nestingFollowsTheElements()
    {
        WorkingFolder folder;
        QVERIFY(load(folder, list("<case url=\"top.mp3\"><title>Top</title></case>"
                                  "<train><title>Outer</title>"
                                  "<train folded=\"no\"><title>Inner</title><case><title>Deep</title>"
                                  "<case><title>Deeper</title></case></case></train>"
                                  "<separator><title>Named separator</title></separator>"
                                  "</train>")));
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->text(3), QStringLiteral("top.mp3")); // a case under the root
        QTreeWidgetItem* outer = tree->topLevelItem(1);
        QTreeWidgetItem* inner = outer->child(0);
        QCOMPARE(inner->text(0), QStringLiteral("Inner"));
        QVERIFY(inner->isExpanded());
        QCOMPARE(inner->child(0)->child(0)->text(0), QStringLiteral("Deeper"));
        QCOMPARE(outer->child(1)->text(0), QStringLiteral("Named separator"));
    }

    void eachLoadStartsAfresh()
    {
        WorkingFolder folder;
        QVERIFY(load(folder, kExample));
        QVERIFY(load(folder, kExample));
        QCOMPARE(tree->topLevelItemCount(), 2);
        QVERIFY(!load(folder, "<wrong/>"));
        QCOMPARE(tree->topLevelItemCount(), 0);
    }

    void declaredEncodingIsHonoured()
    {
        WorkingFolder folder;
        QVERIFY(load(folder, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                             "<sayloom><case><title>Caf\xe9</title></case></sayloom>"));
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Café"));
        QVERIFY(load(folder, "<?xml version=\"1.0\" encoding=\"GBK\"?>"
                             "<sayloom><case><title>\xc4\xe3\xba\xc3</title></case></sayloom>"));
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("你好"));
    }

    void prefixedNamesAreOtherNames()
    {
        WorkingFolder folder;
        // An undeclared prefix is no error, and "x:train" is no group.
        QVERIFY(load(folder, list("<case><x:train><title>Prefixed</title></x:train></case>")));
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Prefixed"));
    }

    void deepNestingIsRejected()
    {
        WorkingFolder folder;
        const auto nested = [](int levels) {
            QByteArray bytes = "<sayloom>"; // one level
            for (int i = 1; i < levels; ++i)
                bytes += "<case>";
            return bytes;
        };
        QList<CaughtBox> boxes;
        QVERIFY(!load(folder, nested(kMaxListDepth), &boxes)); // unfinished, but deep enough
        QCOMPARE(tree->topLevelItemCount(), 1);
        QVERIFY(!boxes.value(0).text.contains(QStringLiteral("deep")));

        QVERIFY(!load(folder, nested(kMaxListDepth + 1), &boxes));
        QVERIFY(boxes.value(0).text.contains(QStringLiteral("The list nests its elements more than 256 deep.\n\n")));
        QVERIFY(!load(folder, nested(200000), &boxes)); // would overflow the stack when freed
        QCOMPARE(boxes.size(), 1);
    }

    void silentReportKeepsTheError()
    {
        XmlHandler handler(tree, ParseErrorReport::Silent);
        QBuffer buffer;
        buffer.setData("<sayloom version=\"9\"/>");
        buffer.open(QIODevice::ReadOnly);
        MessageBoxCatcher catcher;
        QVERIFY(!handler.parse(&buffer));
        QTest::qWait(30);
        QVERIFY(catcher.boxes.isEmpty());
        QCOMPARE(handler.lastError().message, QStringLiteral("The file is not a sayloom trains file."));
        QCOMPARE(handler.errorString(), handler.lastError().message);
        QCOMPARE(handler.lastError().line, 1);
    }
};

REPETA_TEST_MAIN(XmlHandlerTest)
#include "tst_xmlhandler.moc"
