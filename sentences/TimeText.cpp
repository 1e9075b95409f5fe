#include "TimeText.h"

#include <algorithm>
#include <cmath>

namespace {

// Nine digits of minutes are already far past kMaxTimeMs; more could overflow.
constexpr int kMaxFieldDigits = 9;
constexpr int kMsDecimals = 3;

// The value of a field of digits; -1 when it is empty, too long or holds
// anything else (a sign, a letter).
qint64 fieldValue(QStringView field)
{
    if (field.isEmpty() || field.size() > kMaxFieldDigits)
        return -1;
    qint64 value = 0;
    for (QChar c : field) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// Fraction digits as milliseconds: "5" 500, "05" 50, "0512" 51.
qint64 fractionMs(QStringView digits)
{
    qint64 ms = 0;
    for (int i = 0; i < kMsDecimals; ++i)
        ms = ms * 10 + (i < digits.size() ? digits[i].unicode() - u'0' : 0);
    return ms;
}

qint64 unitMs(int decimals)
{
    qint64 unit = 1;
    for (int i = decimals; i < kMsDecimals; ++i)
        unit *= 10;
    return unit;
}

} // namespace

ParsedTime parseTime(QStringView text, TimeSyntax syntax)
{
    ParsedTime result;
    text = text.trimmed();
    const qsizetype lastColon = text.lastIndexOf(u':');
    qsizetype point = -1;
    for (qsizetype i = lastColon + 1; i < text.size() && point < 0; ++i) {
        if (text[i] == u'.' || text[i] == u',')
            point = i;
    }
    const QStringView whole = point < 0 ? text : text.left(point);
    QStringView fraction;
    if (point >= 0) {
        fraction = text.mid(point + 1);
        if (fieldValue(fraction) < 0)
            return result;
    }

    QStringView fields[3];
    qint64 values[3] = {};
    int count = 0;
    for (qsizetype from = 0;;) {
        if (count == 3)
            return result;
        const qsizetype colon = whole.indexOf(u':', from);
        fields[count] = colon < 0 ? whole.mid(from) : whole.mid(from, colon - from);
        values[count] = fieldValue(fields[count]);
        if (values[count++] < 0)
            return result;
        if (colon < 0)
            break;
        from = colon + 1;
    }

    TimeStyle& style = result.style;
    style.decimals = int(std::min<qsizetype>(fraction.size(), kMsDecimals));
    style.point = point < 0 ? QChar(u'.') : text[point];
    qint64 hours = 0;
    qint64 minutes = 0;
    qint64 seconds = 0;
    qint64 ms = fractionMs(fraction);
    if (count == 1) {
        if (syntax == TimeSyntax::Cue || point < 0)
            return result;
        seconds = values[0];
    } else if (count == 2) {
        minutes = values[0];
        seconds = values[1];
    } else if (syntax == TimeSyntax::Lrc && point < 0) {
        minutes = values[0];
        seconds = values[1];
        ms = fractionMs(fields[2]);
        style.decimals = int(std::min<qsizetype>(fields[2].size(), kMsDecimals));
    } else {
        hours = values[0];
        minutes = values[1];
        seconds = values[2];
        style.hours = true;
    }
    const qint64 total = ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms;
    if (total <= kMaxTimeMs)
        result.ms = total;
    return result;
}

QString formatTime(qint64 ms, const TimeStyle& style, TimeSyntax syntax)
{
    const int decimals = std::clamp(style.decimals, 0, kMsDecimals);
    const qint64 unit = unitMs(decimals);
    ms = (std::max<qint64>(ms, 0) + unit / 2) / unit * unit;
    const qint64 seconds = ms / 1000;
    const bool hours = style.hours || (syntax == TimeSyntax::Cue && seconds >= 3600);
    const QLatin1Char zero('0');
    QString text = hours ? QStringLiteral("%1:%2:%3")
                               .arg(seconds / 3600, 2, 10, zero)
                               .arg(seconds / 60 % 60, 2, 10, zero)
                               .arg(seconds % 60, 2, 10, zero)
                         : QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, zero).arg(seconds % 60, 2, 10, zero);
    if (decimals > 0)
        text += style.point + QStringLiteral("%1").arg(ms % 1000 / unit, decimals, 10, zero);
    return text;
}

float secondsOf(qint64 ms)
{
    return float(double(ms) / 1000.0);
}

qint64 msOf(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0 || seconds * 1000.0 > double(kMaxTimeMs))
        return kNoTime;
    return qint64(std::llround(seconds * 1000.0));
}

qint64 clampTime(qint64 ms)
{
    return std::clamp<qint64>(ms, 0, kMaxTimeMs);
}
