// Adding imported materials to a list file: where they go, what the written
// file looks like, and that a failed write leaves the old list whole.
#include "TestEnvironment.h"

#include "ListFixture.h"
#include "library/ListDocument.h"

#include <QDomElement>
#include <QDomProcessingInstruction>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

using namespace listtest;

namespace {

const QString kList = QStringLiteral("basiclist.xml");
const QString kImported = QStringLiteral("导入的材料");

QDomDocument parsed(const QByteArray& bytes)
{
    QDomDocument doc;
    doc.setContent(bytes);
    return doc;
}

QStringList childTitles(const QDomElement& group)
{
    QStringList titles;
    for (QDomElement e = group.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        titles << (e.tagName() == QLatin1String("title") ? e.text() : e.firstChildElement(QStringLiteral("title")).text());
    return titles;
}

// Limits the size of any file this process writes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    bool active = false;

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

} // namespace

class ListDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void appendsToTheImportedGroupAndIndentsByFour()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(kList, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<!-- the basic level -->\n"
                                    "<sayloom version=\"1.0\">\n"
                                    "  <train folded=\"no\"><title>导入的材料</title>\n"
                                    "  <!-- kept --></train>\n"
                                    "</sayloom>\n"));
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        const ListResult result = list.addMaterial(QStringLiteral("Lesson 3"), QStringLiteral("lesson03.mp3"));
        QCOMPARE(result.status, ListResult::Status::Done);

        const QString written = QString::fromUtf8(folder.read(kList));
        const QStringList lines = written.split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(0, 6), (QStringList{
                                      QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
                                      QStringLiteral("<!-- the basic level -->"),
                                      QStringLiteral("<sayloom version=\"1.0\">"),
                                      QStringLiteral("    <train folded=\"no\">"),
                                      QStringLiteral("        <title>导入的材料</title>"),
                                      QStringLiteral("        <!-- kept -->"),
                                  }));
        QVERIFY(lines[6].startsWith(QStringLiteral("        <case ")));
        for (const char* attribute :
             {"url=\"lesson03.mp3\"", "learned=\"lesson03.mp3\"", "texturl=\"http://www.example.com/\""})
            QVERIFY2(lines[6].contains(QLatin1String(attribute)), qPrintable(lines[6]));
        QCOMPARE(lines.mid(7), (QStringList{QStringLiteral("            <title>Lesson 3</title>"),
                                            QStringLiteral("        </case>"), QStringLiteral("    </train>"),
                                            QStringLiteral("</sayloom>"), QString()}));
    }

    void makesTheImportedGroupWhenMissing()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(kList, "<sayloom><train><title>Old</title><case><title>A</title></case></train>"
                                    "<train><case/><title>导入的材料</title></train></sayloom>"));
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        QVERIFY(!list.addMaterial(QStringLiteral("New"), QStringLiteral("new.mp3")).failed());

        const QDomElement root = parsed(folder.read(kList)).documentElement();
        // A group whose first child is not its title is not the imported one.
        const QDomElement group = root.lastChildElement();
        QCOMPARE(root.elementsByTagName(QStringLiteral("train")).size(), 3);
        QCOMPARE(group.attribute(QStringLiteral("folded")), QStringLiteral("no"));
        QCOMPARE(group.firstChildElement().tagName(), QStringLiteral("title"));
        QCOMPARE(childTitles(group), (QStringList{kImported, QStringLiteral("New")}));
    }

    void findsTheImportedGroupAtAnyDepth()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(kList, "<sayloom><train><title>Outer</title>"
                                    "<train><title>导入的材料</title><case><title>A</title></case></train>"
                                    "</train></sayloom>"));
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        QVERIFY(!list.addMaterial(QStringLiteral("B"), QStringLiteral("b.mp3")).failed());
        const QDomDocument doc = parsed(folder.read(kList));
        QCOMPARE(doc.elementsByTagName(QStringLiteral("train")).size(), 2);
        const QDomElement inner = doc.elementsByTagName(QStringLiteral("train")).item(1).toElement();
        QCOMPARE(childTitles(inner), (QStringList{kImported, QStringLiteral("A"), QStringLiteral("B")}));
    }

    void twoImportsInOneRunWriteAfterEach()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(kList, "<sayloom><train><title>Old</title></train></sayloom>"));
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        QVERIFY(!list.addMaterial(QStringLiteral("First"), QStringLiteral("first.mp3")).failed());
        const QDomDocument afterFirst = parsed(folder.read(kList));
        QCOMPARE(afterFirst.elementsByTagName(QStringLiteral("case")).size(), 1);
        QVERIFY(!list.addMaterial(QStringLiteral("Second"), QStringLiteral("second.mp3")).failed());

        const QDomDocument doc = parsed(folder.read(kList));
        QCOMPARE(doc.elementsByTagName(QStringLiteral("train")).size(), 2); // one imported group
        const QDomElement group = doc.documentElement().lastChildElement();
        QCOMPARE(childTitles(group), (QStringList{kImported, QStringLiteral("First"), QStringLiteral("Second")}));
    }

    void listWithoutGroupsIsLeftAlone()
    {
        WorkingFolder folder;
        const QByteArray original = "<sayloom>\n<case url=\"a.mp3\"><title>A</title></case>\n</sayloom>\n";
        QVERIFY(folder.write(kList, original));
        const QDateTime modified = QFileInfo(folder.path(kList)).lastModified();
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        QCOMPARE(list.addMaterial(QStringLiteral("B"), QStringLiteral("b.mp3")).status,
                 ListResult::Status::Unchanged);
        QCOMPARE(folder.read(kList), original);
        QCOMPARE(QFileInfo(folder.path(kList)).lastModified(), modified);
    }

    void withoutADeclarationItIsUtf8()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(kList, "<sayloom><train><title>G</title></train></sayloom>"));
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        QVERIFY(!list.addMaterial(QStringLiteral("早上好"), QStringLiteral("早上好.mp3")).failed());
        const QByteArray bytes = folder.read(kList);
        QVERIFY(bytes.startsWith("<sayloom>"));
        QVERIFY(bytes.contains(QStringLiteral("<title>早上好</title>").toUtf8()));
    }

    void writesInTheDeclaredEncoding()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(kList, "<?xml version='1.0' encoding='GBK'?>"
                                    "<sayloom><train><title>\xb5\xbc\xc8\xeb\xb5\xc4\xb2\xc4\xc1\xcf</title>"
                                    "</train></sayloom>"));
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        QVERIFY(!list.addMaterial(QStringLiteral("你好"), QStringLiteral("a.mp3")).failed());
        QByteArray bytes = folder.read(kList);
        QVERIFY(bytes.startsWith("<?xml version='1.0' encoding='GBK'?>")); // the declaration as it was
        QVERIFY(bytes.contains("<title>\xc4\xe3\xba\xc3</title>"));
        // One character that GBK cannot hold changes nothing around it.
        QVERIFY(!list.addMaterial(QStringLiteral("你 \U0001F600 好"), QStringLiteral("b.mp3")).failed());
        bytes = folder.read(kList);
        QVERIFY(bytes.startsWith("<?xml version='1.0' encoding='GBK'?>"));
        QVERIFY2(bytes.contains("<title>\xc4\xe3 &#x1f600; \xba\xc3</title>"), bytes.toHex().constData());
        const QDomDocument doc = parsed(bytes);
        QCOMPARE(childTitles(doc.documentElement().firstChildElement()),
                 (QStringList{kImported, QStringLiteral("你好"), QStringLiteral("你 \U0001F600 好")}));
    }

    void charactersOutsideTheEncodingBecomeReferences()
    {
        WorkingFolder folder;
        QVERIFY(folder.write(kList, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                    "<sayloom><train><title>Caf\xe9</title></train></sayloom>\n"));
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        QVERIFY(!list.addMaterial(QStringLiteral("Crème 早上好 \U0001F600"), QStringLiteral("早.mp3")).failed());
        const QByteArray bytes = folder.read(kList);
        QVERIFY(bytes.contains("<title>Caf\xe9</title>"));
        QVERIFY(bytes.contains("<title>Cr\xe8me &#x65e9;&#x4e0a;&#x597d; &#x1f600;</title>"));
        QVERIFY(bytes.contains("url=\"&#x65e9;.mp3\""));

        const QDomDocument doc = parsed(bytes);
        const QDomElement group = doc.documentElement().lastChildElement();
        QCOMPARE(childTitles(group), (QStringList{kImported, QStringLiteral("Crème 早上好 \U0001F600")}));
        // Read again, the group is recognised and the next material joins it.
        ListDocument again;
        QVERIFY(!again.open(folder.path(kList)).failed());
        QVERIFY(!again.addMaterial(QStringLiteral("B"), QStringLiteral("b.mp3")).failed());
        QCOMPARE(parsed(folder.read(kList)).elementsByTagName(QStringLiteral("train")).size(), 2);
    }

    void unknownEncodingIsNotWritten()
    {
        ListDocument list;
        QVERIFY(!list.read("<?xml version=\"1.0\" encoding=\"UTF-8\"?><sayloom><train/></sayloom>").failed());
        // Parsed as UTF-8; the declaration that a writer would follow names nothing known.
        list.document().firstChild().toProcessingInstruction().setData(
            QStringLiteral("version=\"1.0\" encoding=\"no-such-encoding\""));
        QVERIFY(list.appendMaterial(QStringLiteral("A"), QStringLiteral("a.mp3")));
        QByteArray bytes;
        const ListResult result = list.encode(&bytes);
        QVERIFY(result.failed());
        QVERIFY(result.error.contains(QStringLiteral("no-such-encoding")));
    }

    void fullDiskLeavesTheOldList()
    {
        WorkingFolder folder;
        QByteArray original = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sayloom><train><title>G</title>";
        for (int i = 0; i < 20; ++i)
            original += "<case url=\"lesson" + QByteArray::number(i) + ".mp3\"><title>Lesson</title></case>";
        original += "</train></sayloom>\n";
        QVERIFY(folder.write(kList, original));
        ListDocument list;
        QVERIFY(!list.open(folder.path(kList)).failed());
        {
            FileSizeLimit full(256);
            QVERIFY(full.active);
            const ListResult result = list.addMaterial(QStringLiteral("New"), QStringLiteral("new.mp3"));
            QVERIFY(result.failed());
            QVERIFY2(result.error.contains(folder.path(kList)), qPrintable(result.error));
        }
        QCOMPARE(folder.read(kList), original);
        QCOMPARE(QDir(folder.path(QString())).entryList(QDir::Files), QStringList{kList}); // no leftovers

        QVERIFY(!list.addMaterial(QStringLiteral("Later"), QStringLiteral("later.mp3")).failed());
        const QDomDocument doc = parsed(folder.read(kList));
        QCOMPARE(doc.elementsByTagName(QStringLiteral("case")).size(), 21);
    }

    void openFailures()
    {
        WorkingFolder folder;
        ListDocument list;
        QVERIFY(list.open(folder.path(kList)).failed());
        QVERIFY(!QFile::exists(folder.path(kList))); // not created by opening it for writing

        QVERIFY(folder.write(kList, "<sayloom><train></sayloom>"));
        const ListResult malformed = list.open(folder.path(kList));
        QVERIFY(malformed.failed());
        QVERIFY(malformed.error.contains(QStringLiteral("line 1")));

        QVERIFY(QDir().mkdir(folder.path(QStringLiteral("folder.xml"))));
        QVERIFY(list.open(folder.path(QStringLiteral("folder.xml"))).failed());

        QByteArray deep = "<sayloom>";
        for (int i = 0; i < 100000; ++i)
            deep += "<train>";
        QVERIFY(folder.write(kList, deep));
        QVERIFY(list.open(folder.path(kList)).failed());

        ListDocument never; // nothing opened, nothing written
        QVERIFY(never.addMaterial(QStringLiteral("A"), QStringLiteral("a.mp3")).failed());
    }
};

REPETA_TEST_MAIN(ListDocumentTest)
#include "tst_listdocument.moc"
