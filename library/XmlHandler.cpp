#include "XmlHandler.h"

#include "LibraryLog.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStyle>
#include <QTreeWidget>
#include <QXmlStreamReader>

namespace {

QIcon closedAndOpenIcon(const QWidget* widget)
{
    const QStyle* style = widget->style();
    const int extent = style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, widget);
    QIcon icon;
    // The tree draws an expanded row with the icon's "On" state.
    icon.addPixmap(style->standardIcon(QStyle::SP_DirClosedIcon, nullptr, widget).pixmap(extent),
                   QIcon::Normal, QIcon::Off);
    icon.addPixmap(style->standardIcon(QStyle::SP_DirOpenIcon, nullptr, widget).pixmap(extent),
                   QIcon::Normal, QIcon::On);
    return icon;
}

} // namespace

XmlHandler::XmlHandler(QTreeWidget* tree, ParseErrorReport report, const QString& listPath)
    : targetTree(tree)
    , groupIcon(closedAndOpenIcon(tree))
    , materialIcon(tree->style()->standardIcon(QStyle::SP_FileIcon, nullptr, tree))
    , errorReport(report)
    , listPath(listPath)
{
}

bool XmlHandler::parse(QIODevice* device)
{
    QXmlStreamReader reader(device);
    // Names are compared as written: a prefix is part of the name, not an error.
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        bool accepted = true;
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            accepted = startElement(reader.qualifiedName().toString(), reader.attributes());
            break;
        case QXmlStreamReader::EndElement:
            accepted = endElement(reader.qualifiedName().toString());
            break;
        case QXmlStreamReader::Characters:
            accepted = characters(reader.text().toString());
            break;
        default:
            break;
        }
        if (!accepted)
            reader.raiseError(errorString());
    }
    if (!reader.hasError())
        return true;
    return fatalError({reader.lineNumber(), reader.columnNumber(), reader.errorString()});
}

bool XmlHandler::startElement(const QString& qName, const QXmlStreamAttributes& attributes)
{
    if (++depth > kMaxListDepth) {
        errorText = tr("The list nests its elements more than %1 deep.").arg(kMaxListDepth);
        return false;
    }
    if (!rootSeen && qName != QLatin1String("sayloom")) {
        errorText = tr("The file is not a sayloom file.");
        return false;
    }
    if (qName == QLatin1String("sayloom")) {
        const QStringView version = attributes.value(QLatin1String("version"));
        if (!version.isEmpty() && version != QLatin1String("1.0")) {
            errorText = tr("The file is not a sayloom trains file.");
            return false;
        }
        rootSeen = true;
    } else if (qName == QLatin1String("train")) {
        QTreeWidgetItem* row = newRow();
        row->setIcon(0, groupIcon);
        row->setText(0, tr("Train"));
        row->setExpanded(attributes.value(QLatin1String("folded")) == QLatin1String("no"));
        currentItem = row;
    } else if (qName == QLatin1String("case")) {
        QTreeWidgetItem* row = newRow();
        row->setIcon(0, materialIcon);
        row->setText(0, tr("Unknown title"));
        row->setText(1, QString());
        const bool reviewed = isReviewed(attributes.value(QLatin1String("learned")).toString());
        row->setText(2, reviewed ? tr("复习") : tr("导出"));
        row->setText(3, attributes.value(QLatin1String("url")).toString());
        currentItem = row;
    } else if (qName == QLatin1String("separator")) {
        QTreeWidgetItem* row = newRow();
        row->setFlags(row->flags() & ~Qt::ItemIsSelectable);
        row->setText(0, QString(kSeparatorDots, QChar(0x00B7)));
        currentItem = row;
    }
    pendingText.clear();
    return true;
}

bool XmlHandler::endElement(const QString& qName)
{
    --depth;
    if (qName == QLatin1String("title")) {
        if (currentItem)
            currentItem->setText(0, pendingText);
    } else if (qName == QLatin1String("train") || qName == QLatin1String("case")
               || qName == QLatin1String("separator")) {
        if (currentItem)
            currentItem = currentItem->parent();
    }
    return true;
}

bool XmlHandler::characters(const QString& text)
{
    pendingText += text;
    return true;
}

bool XmlHandler::fatalError(const ListParseError& error)
{
    parseError = error;
    qCWarning(lcLibrary) << "list parse error at" << error.line << error.column << error.message;
    if (errorReport == ParseErrorReport::MessageBox) {
        // The reader's own text says what is wrong; the learner also needs
        // to know which file it is and what happens until it is mended. One
        // arg() for all, so that a "%1" in the path is not taken for a place.
        QMessageBox::warning(targetTree->window(), tr("材料列表已损坏"),
                             tr("材料列表“%1”已损坏，读到第 %2 行第 %3 列时出错：\n%4\n\n"
                                "这一级的材料可能显示不全，也无法导入新材料。"
                                "请用文本编辑器按上面的位置修正该文件，或从备份中恢复它，然后重新启动程序。")
                                 .arg(QDir::toNativeSeparators(QFileInfo(listPath).absoluteFilePath()),
                                      QString::number(error.line), QString::number(error.column), error.message));
    }
    return false;
}

QTreeWidgetItem* XmlHandler::newRow()
{
    return currentItem ? new QTreeWidgetItem(currentItem) : new QTreeWidgetItem(targetTree);
}

bool XmlHandler::isReviewed(const QString& learned)
{
    if (!reviewNamesRead) {
        // "." and ".." are no materials, even if a list says so.
        reviewNames = QDir(QLatin1String(kReviewFolder))
                          .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
        reviewNamesRead = true;
    }
    return reviewNames.contains(learned, Qt::CaseSensitive);
}

bool loadListFile(QTreeWidget* tree, const QString& path, ParseErrorReport report)
{
    tree->clear();
    XmlHandler handler(tree, report, path);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return handler.parse(&file);
    qCWarning(lcLibrary) << "cannot open list" << path << file.errorString();
    QBuffer nothing; // the parser's own message for an empty document
    nothing.open(QIODevice::ReadOnly);
    return handler.parse(&nothing);
}
