#include "ListDocument.h"

#include "LibraryLog.h"
#include "XmlHandler.h"

#include <QDomElement>
#include <QDomNodeList>
#include <QDomProcessingInstruction>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringEncoder>
#include <QXmlStreamReader>

#include <optional>

namespace {

// What the file's XML declaration says between "<?xml" and "?>", as written.
// Qt's DOM rebuilds the declaration with its own quotes; this keeps the
// learner's. Empty when the file does not start with a readable declaration.
QString declarationText(const QByteArray& bytes)
{
    static const QRegularExpression declaration(
        QStringLiteral("^(?:\\x{FEFF})?<\\?xml\\s+([^?]*?)\\s*\\?>"));
    const QString start = QString::fromUtf8(bytes.left(256));
    return declaration.match(start).captured(1);
}

QString declaredEncoding(const QDomDocument& doc)
{
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
    const QDomProcessingInstruction pi = doc.firstChild().toProcessingInstruction();
    if (pi.isNull() || pi.target() != QLatin1String("xml"))
        return QString();
    return encoding.match(pi.data()).captured(1);
}

// The DOM builds, saves and frees its nodes recursively: a list nested
// deeper than the reader accepts is refused before it is built.
bool nestsTooDeep(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxListDepth)
            return true;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return false;
}

// A piece of text in the encoding, or nothing when the encoding cannot hold
// all of it. Each piece gets an encoder of its own: a QStringEncoder's error
// flag survives resetState(), and a moved one loses it (Qt 6.4 with ICU).
std::optional<QByteArray> encodedExactly(QStringView text, const QByteArray& encoding)
{
    QStringEncoder encoder(encoding.constData());
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

QByteArray lineWithReferences(QStringView line, const QByteArray& encoding)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < line.size();) {
        const bool pair = line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate();
        const QStringView character = line.mid(i, pair ? 2 : 1);
        if (const std::optional<QByteArray> encoded = encodedExactly(character, encoding)) {
            bytes += *encoded;
        } else {
            const char32_t codePoint = pair ? QChar::surrogateToUcs4(line[i], line[i + 1]) : line[i].unicode();
            bytes += encodedExactly(QStringLiteral("&#x%1;").arg(uint(codePoint), 0, 16), encoding).value_or("?");
        }
        i += character.size();
    }
    return bytes;
}

// A list in a narrow encoding (Latin-1, say) still takes Chinese titles: a
// character that the encoding cannot hold is written as a character
// reference. Such characters can only come from the texts and attribute
// values that an import adds, where references are allowed; everything read
// from the file was representable.
QByteArray encodedWithReferences(const QString& text, const QByteArray& encoding)
{
    if (const std::optional<QByteArray> whole = encodedExactly(text, encoding))
        return *whole;
    QByteArray bytes;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype newline = text.indexOf(QLatin1Char('\n'), start);
        const qsizetype end = newline < 0 ? text.size() : newline + 1;
        const QStringView line = QStringView(text).mid(start, end - start);
        const std::optional<QByteArray> encoded = encodedExactly(line, encoding);
        bytes += encoded ? *encoded : lineWithReferences(line, encoding);
        start = end;
    }
    return bytes;
}

QDomElement elementWithText(QDomDocument& doc, const QString& name, const QString& text)
{
    QDomElement element = doc.createElement(name);
    element.appendChild(doc.createTextNode(text));
    return element;
}

} // namespace

ListResult ListDocument::open(const QString& path)
{
    QFile file(path);
    // ExistingOnly: opening for writing must not create a list that was not there.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Text | QIODevice::ExistingOnly))
        return ListResult::failure(tr("Cannot open the list %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ListResult::failure(tr("Cannot read the list %1: %2").arg(path, file.errorString()));
    listPath = path;
    return read(bytes);
}

ListResult ListDocument::read(const QByteArray& bytes)
{
    doc.clear();
    lastAppended.clear();
    if (nestsTooDeep(bytes))
        return ListResult::failure(tr("The list nests its elements more than %1 deep.").arg(kMaxListDepth));
    QString message;
    int line = 0;
    int column = 0;
    if (!doc.setContent(bytes, &message, &line, &column)) {
        doc.clear();
        return ListResult::failure(
            tr("The list is not well-formed at line %1, column %2: %3").arg(line).arg(column).arg(message));
    }
    const QString declaration = declarationText(bytes);
    QDomProcessingInstruction pi = doc.firstChild().toProcessingInstruction();
    if (!declaration.isEmpty() && !pi.isNull() && pi.target() == QLatin1String("xml"))
        pi.setData(declaration);
    return ListResult::done();
}

QDomElement ListDocument::importedGroup()
{
    const QDomNodeList groups = doc.elementsByTagName(QStringLiteral("train"));
    for (int i = 0; i < groups.size(); ++i) {
        const QDomElement group = groups.item(i).toElement();
        if (group.firstChildElement().text() == QStringView(kImportedGroupTitle))
            return group;
    }
    return QDomElement();
}

bool ListDocument::appendMaterial(const QString& title, const QString& mediaFileName)
{
    lastAppended.clear();
    if (doc.elementsByTagName(QStringLiteral("train")).isEmpty())
        return false;

    QDomElement material = doc.createElement(QStringLiteral("case"));
    material.setAttribute(QStringLiteral("texturl"), QLatin1String(kDefaultTextUrl));
    material.setAttribute(QStringLiteral("url"), mediaFileName);
    material.setAttribute(QStringLiteral("learned"), mediaFileName);
    material.appendChild(elementWithText(doc, QStringLiteral("title"), title));

    QDomElement group = importedGroup();
    if (!group.isNull()) {
        lastAppended = group.appendChild(material);
        return true;
    }
    QDomElement root = doc.elementsByTagName(QStringLiteral("sayloom")).item(0).toElement();
    if (root.isNull())
        return false;
    group = doc.createElement(QStringLiteral("train"));
    group.setAttribute(QStringLiteral("folded"), QStringLiteral("no"));
    group.appendChild(elementWithText(doc, QStringLiteral("title"), QString::fromUtf16(kImportedGroupTitle)));
    group.appendChild(material);
    lastAppended = root.appendChild(group);
    return true;
}

ListResult ListDocument::encode(QByteArray* bytes) const
{
    QString encoding = declaredEncoding(doc);
    if (encoding.isEmpty())
        encoding = QStringLiteral("UTF-8");
    if (!QStringEncoder(encoding.toLatin1().constData()).isValid())
        return ListResult::failure(tr("The list's encoding %1 is not supported.").arg(encoding));
    *bytes = encodedWithReferences(doc.toString(kListIndentSpaces), encoding.toLatin1());
    return ListResult::done();
}

ListResult ListDocument::write(const QByteArray& bytes) const
{
    // QSaveFile writes a temporary file beside the list, syncs it to the disk
    // and renames it over the list only when all of it was written. Its
    // commit() misses a failed flush of buffered data (Qt 6.4): flush first.
    QSaveFile file(listPath);
    if (!file.open(QIODevice::WriteOnly))
        return ListResult::failure(tr("Cannot write the list %1: %2").arg(listPath, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return ListResult::failure(tr("Cannot write the list %1: %2").arg(listPath, why));
    }
    if (!file.commit())
        return ListResult::failure(tr("Cannot write the list %1: %2").arg(listPath, file.errorString()));
    return ListResult::done();
}

ListResult ListDocument::addMaterial(const QString& title, const QString& mediaFileName)
{
    if (listPath.isEmpty())
        return ListResult::failure(tr("No list file is open."));
    if (!appendMaterial(title, mediaFileName))
        return ListResult::unchanged();
    QByteArray bytes;
    ListResult result = encode(&bytes);
    if (!result.failed())
        result = write(bytes);
    if (result.failed()) {
        qCWarning(lcLibrary) << result.error;
        lastAppended.parentNode().removeChild(lastAppended);
        lastAppended.clear();
    }
    return result;
}
