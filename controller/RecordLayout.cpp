#include "RecordLayout.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString kExternal = QStringLiteral("external/");
const char* const kPhaseFolders[] = {"imitatepieces", "shadowpieces", "retellpieces"};

// Resolves "." and ".." without climbing above the start, so that a crafted
// name cannot lead out of the recording root.
QString confinedPath(const QString& path)
{
    QStringList kept;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) {
            if (!kept.isEmpty())
                kept.removeLast();
        } else if (part != QLatin1String(".")) {
            kept.append(part);
        }
    }
    return kept.join(QLatin1Char('/'));
}
} // namespace

QString recordDirFor(const QString& mediaPath)
{
    QString below;
    if (mediaPath.startsWith(kWorkspacePrefix))
        below = mediaPath.mid(kWorkspacePrefix.size());
    else
        below = kExternal + QFileInfo(mediaPath).absoluteFilePath();
    return kRecordRoot + QLatin1Char('/') + confinedPath(below);
}

QString recordFileFor(const QString& recordDir, int phase, int sentence)
{
    switch (phase) {
    case 0:
        return QStringLiteral("%1/imitatepieces/the-only-one.mp3").arg(recordDir);
    case 1:
        return QStringLiteral("%1/%2").arg(recordDir, QStringLiteral("shadowpieces/recordpiece%1.mp3")
                                                          .arg(sentence, 3, 10, QLatin1Char('0')));
    case 2:
        return QStringLiteral("%1/retellpieces/the-only-one.mp3").arg(recordDir);
    default:
        return QString();
    }
}

bool makeRecordFolders(const QString& recordDir)
{
    QDir here;
    bool complete = here.mkpath(recordDir);
    for (const char* folder : kPhaseFolders)
        complete = here.mkpath(recordDir + QLatin1Char('/') + QLatin1String(folder)) && complete;
    return complete;
}
