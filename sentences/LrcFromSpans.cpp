#include "SentenceEditing.h"

#include "TimeText.h"

QByteArray lrcFromSpans(const QVector<QPair<float, float>>& spans)
{
    const TimeStyle style; // [mm:ss.xx]
    auto tag
        = [&style](qint64 ms) { return QLatin1Char('[') + formatTime(ms, style, TimeSyntax::Lrc) + QLatin1Char(']'); };
    QVector<QPair<qint64, qint64>> valid;
    for (const auto& span : spans) {
        const qint64 start = msOf(span.first);
        const qint64 end = msOf(span.second);
        if (start != kNoTime && end != kNoTime && end > start)
            valid.append({start, end});
    }
    QString lrc;
    for (qsizetype i = 0; i < valid.size(); ++i) {
        lrc += tag(valid[i].first) + QStringLiteral("第 %1 句\n").arg(i + 1);
        const QString end = tag(valid[i].second);
        if (i + 1 == valid.size() || tag(valid[i + 1].first) != end)
            lrc += end + QLatin1Char('\n');
    }
    return lrc.toUtf8();
}
