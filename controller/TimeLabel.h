// The two-line time labels: position over total, each as hh:mm:ss.
#pragma once

#include <QString>

inline const QString kEmptyTimeLabel = QStringLiteral("00:00:00\n00:00:00");

// Whole hours, minutes and seconds of a time truncated toward zero. A negative
// time (a length that is not known) shows as zero rather than as "-1".
QString clockText(double seconds);

QString timeLabel(double position, double total);
QString totalTimeLabel(double total);
QString elapsedTimeLabel(double position);
