#include "MaterialFiles.h"


#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

namespace {

// Bytes read and written at a time when a media file is copied.
constexpr qint64 kCopyChunkBytes = 256 * 1024;

QString lastComponent(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool copyBytes(QIODevice& source, QIODevice& destination)
{
    QByteArray chunk;
    while (!source.atEnd()) {
        chunk = source.read(kCopyChunkBytes);
        if (chunk.isEmpty() || destination.write(chunk) != chunk.size())
            return false;
    }
    return true;
}

// Texts for the developer trace, translated like the rest.
QString tr(const char* text)
{
    return QCoreApplication::translate("MaterialFiles", text);
}

CopyResult failure(const QString& why)
{
    return {CopyResult::Status::Failed, why};
}

} // namespace

QString materialPathFromUrl(const QString& url)
{
    static const QRegularExpression webAddress(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    const QString path = webAddress.match(url).hasMatch() ? QUrl(url).path(QUrl::FullyDecoded) : url;
    return QLatin1String(kMaterialPrefix) + lastComponent(path);
}

QString workspacePathFor(const QString& source)
{
    return QLatin1String(kWorkspaceFolder) + QLatin1Char('/') + QFileInfo(source).fileName();
}

CopyResult copyIntoWorkspace(const QString& source)
{
    const QString destination = workspacePathFor(source);
    const QFileInfo from(source);
    const QFileInfo to(destination);
    // Copying a file onto itself would empty it before it is read.
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return {CopyResult::Status::AlreadyThere, QString()};
    if (!QDir().mkpath(QLatin1String(kWorkspaceFolder)))
        return failure(tr("无法建立文件夹 %1")
                           .arg(QLatin1String(kWorkspaceFolder)));

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failure(tr("无法读取 %1：%2").arg(source, in.errorString()));
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return failure(tr("无法写入 %1：%2")
                           .arg(destination, out.errorString()));
    const bool copied = copyBytes(in, out);
    // QSaveFile::commit() misses a failed flush of buffered data: flush first.
    if (!copied || !out.flush()) {
        const QString why = in.error() != QFileDevice::NoError ? in.errorString() : out.errorString();
        out.cancelWriting();
        return failure(tr("无法把 %1 复制到 %2：%3")
                           .arg(source, destination, why));
    }
    if (!out.commit())
        return failure(tr("无法写入 %1：%2")
                           .arg(destination, out.errorString()));
    return {};
}
