#include "FileJoin.h"

#include <QFile>
#include <QSaveFile>

namespace {
constexpr qint64 kCopyChunkBytes = 1 << 20;
}

bool concatenateFiles(const QString& target, const QStringList& sources)
{
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    for (const QString& source : sources) {
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            continue;
        while (!in.atEnd()) {
            const QByteArray chunk = in.read(kCopyChunkBytes);
            if (chunk.isEmpty())
                break;
            if (out.write(chunk) != chunk.size())
                return false; // QSaveFile discards the partial file
        }
    }
    return out.commit();
}
