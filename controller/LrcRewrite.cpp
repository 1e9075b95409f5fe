#include "LrcRewrite.h"

#include "LrcReader.h"

#include <QFile>
#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

QString formatLrcTime(float seconds)
{
    if (seconds < 0)
        return QString();
    const int minutes = static_cast<int>(seconds / 60);
    const double rest = double(seconds) - double(minutes) * 60.0;
    return QStringLiteral("%1:%2").arg(minutes).arg(rest, 0, 'g', 6);
}

bool isTimeTaggedLine(const QString& line)
{
    static const QRegularExpression tag(QStringLiteral("\\[\\d+:[\\d\\.]+\\]"));
    return tag.match(line).hasMatch();
}

QString lineTag(const QString& line)
{
    const int close = line.indexOf(QLatin1Char(']'));
    return close < 1 ? QString() : line.mid(1, close - 1);
}

QString retaggedLine(const QString& line, float seconds)
{
    const int close = line.indexOf(QLatin1Char(']'));
    return QStringLiteral("[%1]%2").arg(formatLrcTime(seconds), line.mid(close + 1));
}

namespace {

LrcLine readLine(QFile& file)
{
    LrcLine line;
    line.raw = file.readLine(kLrcLineLimit);
    line.text = QString::fromUtf8(line.raw);
    return line;
}

bool writeLine(QFile& file, const LrcLine& line)
{
    const QByteArray bytes = line.changed ? line.text.toUtf8() : line.raw;
    return file.write(bytes) == bytes.size();
}

} // namespace

bool rewriteLrc(const QString& lrcPath, const LrcTransformation& transformation)
{
    QFile in(lrcPath);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QString temporaryPath = lrcPath + QStringLiteral(".lrc");
    QFile out(temporaryPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;

    bool written = true;
    LrcLine ahead = readLine(in);
    while (written && !ahead.atEnd()) {
        LrcLine current = ahead;
        ahead = readLine(in);
        transformation(current, ahead);
        written = writeLine(out, current);
    }
    // A read error ends the loop early too: never put a shortened file in place.
    written = written && in.atEnd() && out.flush() && ::fsync(out.handle()) == 0;
    out.close();
    in.close();
    if (!written || std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(lrcPath).constData()) != 0) {
        QFile::remove(temporaryPath);
        return false;
    }
    return true;
}
