#include "TimeLabel.h"

QString clockText(double seconds)
{
    // Also guards the int conversion against NaN and huge values.
    const long long whole = (seconds > 0 && seconds < 1e9) ? static_cast<long long>(seconds) : 0;
    const QLatin1Char zero('0');
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600, 2, 10, zero)
        .arg(whole / 60 % 60, 2, 10, zero)
        .arg(whole % 60, 2, 10, zero);
}

QString timeLabel(double position, double total)
{
    return clockText(position) + QLatin1Char('\n') + clockText(total);
}

QString totalTimeLabel(double total) { return timeLabel(0, total); }

QString elapsedTimeLabel(double position) { return timeLabel(position, 0); }
