// How well found sentence starts match the known ones of a generated corpus
// (make_speech.sh): shared by the pause test and the pause benchmark, so that
// both count alike.
#pragma once

#include "speech/VoiceActivity.h"

#include <QFile>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <optional>

namespace onsets {

// A start counts as found within this of the known one.
constexpr double kToleranceSeconds = 0.15;

struct Score {
    int known = 0;
    int found = 0; // known starts with a found start within the tolerance
    int extra = 0; // found starts that match no known one
    double worstErrorSeconds = 0; // over the matched starts
    double foundRate() const { return known ? double(found) / known : 0; }
    double extraRate() const { return known ? double(extra) / known : 0; }
};

// One start (seconds) a line; nullopt when the file cannot be read.
inline std::optional<QVector<double>> read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QVector<double> starts;
    while (!file.atEnd()) {
        bool ok = false;
        const double start = file.readLine().trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
        starts.push_back(start);
    }
    return starts;
}

// Each known start is matched to the nearest unmatched found start within
// the tolerance; both lists are in time order.
inline Score score(const QVector<SpeechSpan>& sentences, const QVector<double>& known)
{
    Score result;
    result.known = int(known.size());
    QVector<bool> used(sentences.size(), false);
    for (const double start : known) {
        int best = -1;
        for (int i = 0; i < sentences.size(); ++i) {
            const double error = std::abs(sentences[i].start - start);
            if (!used[i] && error <= kToleranceSeconds && (best < 0 || error < std::abs(sentences[best].start - start)))
                best = i;
        }
        if (best < 0)
            continue;
        used[best] = true;
        ++result.found;
        result.worstErrorSeconds = std::max(result.worstErrorSeconds, std::abs(sentences[best].start - start));
    }
    result.extra = int(std::count(used.cbegin(), used.cend(), false));
    return result;
}

} // namespace onsets
