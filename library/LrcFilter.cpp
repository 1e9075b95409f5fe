#include "LrcFilter.h"

#include <QByteArray>
#include <QIODevice>

#include <algorithm>

namespace {

bool isStripped(QChar unit)
{
    return unit.unicode() >= kFirstStrippedUnit;
}

// The line's end ("\n" or "\r\n"), which the filter keeps apart from its text.
qsizetype lineEndLength(const QByteArray& line)
{
    if (line.endsWith("\r\n"))
        return 2;
    return line.endsWith('\n') ? 1 : 0;
}

} // namespace

QString stripTranslation(const QString& line)
{
    const auto first = std::find_if(line.cbegin(), line.cend(), isStripped);
    if (first == line.cend())
        return line;
    const auto last = std::find_if(line.crbegin(), line.crend(), isStripped);
    const qsizetype from = qMax<qsizetype>(0, (first - line.cbegin()) - 1);
    const qsizetype through = line.size() - 1 - (last - line.crbegin());
    return QString(line).remove(from, through - from + 1);
}

bool copyLrcStripped(QIODevice& source, QIODevice& destination)
{
    while (!source.atEnd()) {
        // Whole lines: a piece boundary inside a UTF-8 character would decode
        // as U+FFFD, which counts as Chinese and takes the text around it.
        const QByteArray line = source.readLine();
        if (line.isEmpty())
            return false; // atEnd() said there was more
        const qsizetype endLength = lineEndLength(line);
        QByteArray text = line.left(line.size() - endLength);
        const qsizetype nul = text.indexOf('\0');
        if (nul >= 0)
            text.truncate(nul);
        const QByteArray filtered = stripTranslation(QString::fromUtf8(text)).toUtf8() + line.right(endLength);
        if (destination.write(filtered) != filtered.size())
            return false;
    }
    return true;
}
