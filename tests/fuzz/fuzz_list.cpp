// Any bytes as a material list: the reader must neither crash nor hang, and
// an import's update of a list that parses must write a list that parses
// again and holds the added material.
#include "library/ListDocument.h"
#include "library/XmlHandler.h"

#include <QApplication>
#include <QBuffer>
#include <QDomNodeList>
#include <QTreeWidget>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv); // the tree's items need one
    return 0;
}

namespace {

int materials(const QDomDocument& doc)
{
    return doc.elementsByTagName(QStringLiteral("case")).size();
}

void readIntoTree(const QByteArray& bytes)
{
    QTreeWidget tree;
    tree.setColumnCount(3);
    XmlHandler handler(&tree, ParseErrorReport::Silent);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!handler.parse(&buffer) && handler.lastError().message.isEmpty())
        std::abort(); // a failure must say why
}

void updateList(const QByteArray& bytes)
{
    ListDocument list;
    if (list.read(bytes).failed())
        return;
    const int before = materials(list.document());
    if (!list.appendMaterial(QStringLiteral("Lesson 早上好 & <1>"), QStringLiteral("a \"b\".mp3")))
        return;
    QByteArray written;
    if (list.encode(&written).failed())
        return;
    ListDocument again;
    if (again.read(written).failed() || materials(again.document()) != before + 1)
        std::abort(); // the update would lose the list or the material
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    readIntoTree(bytes);
    updateList(bytes);
    return 0;
}
