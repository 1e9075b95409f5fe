// repeta-compare MODEL TAKE [--from S --to S]: a learner's take held against
// a model sentence, as one JSON object: the figures, the tempo, both pitch
// curves in the model's time and the places that differ most. Exit status 1
// with the reason on stderr when the two cannot be compared.
#include "analysis/Comparison.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>

namespace {

// Printed to the millisecond and the hundredth of a semitone or point.
constexpr double kSecondsScale = 1000.0;
constexpr double kValueScale = 100.0;

double rounded(double value, double scale) { return std::round(value * scale) / scale; }

QJsonArray curve(const QVector<CurvePoint>& points)
{
    QJsonArray array;
    for (const CurvePoint& point : points)
        array.append(QJsonArray {rounded(point.seconds, kSecondsScale),
                                 std::isnan(point.semitones) ? QJsonValue()
                                                             : QJsonValue(rounded(point.semitones, kValueScale))});
    return array;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Compares a take with a model sentence."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("MODEL"), QStringLiteral("the model's media file"));
    parser.addPositionalArgument(QStringLiteral("TAKE"), QStringLiteral("the learner's recording"));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("the sentence's start in the model, seconds"),
                                  QStringLiteral("S"), QStringLiteral("-1"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("the sentence's end in the model, seconds"),
                                QStringLiteral("S"), QStringLiteral("-1"));
    parser.addOptions({from, to});
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    bool fromOk = false;
    bool toOk = false;
    const double fromSeconds = parser.value(from).toDouble(&fromOk);
    const double toSeconds = parser.value(to).toDouble(&toOk);
    if (files.size() != 2 || !fromOk || !toOk) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 1;
    }

    const Comparison comparison = compareTakes(files[0], fromSeconds, toSeconds, files[1]);
    if (!comparison.ok) {
        std::fprintf(stderr, "%s\n", comparison.error.toUtf8().constData());
        return 1;
    }
    QJsonArray places;
    for (const Difference& place : comparison.differences)
        places.append(QJsonObject {
            {QStringLiteral("kind"),
             place.kind == Difference::Kind::Melody ? QStringLiteral("melody") : QStringLiteral("rhythm")},
            {QStringLiteral("start"), rounded(place.start, kSecondsScale)},
            {QStringLiteral("end"), rounded(place.end, kSecondsScale)}});
    const QJsonObject result {{QStringLiteral("intonation"), rounded(comparison.intonation, kValueScale)},
                              {QStringLiteral("rhythm"), rounded(comparison.rhythm, kValueScale)},
                              {QStringLiteral("overall"), rounded(comparison.overall, kValueScale)},
                              {QStringLiteral("tempo"), rounded(comparison.tempo, kSecondsScale)},
                              {QStringLiteral("model"), curve(comparison.model)},
                              {QStringLiteral("take"), curve(comparison.take)},
                              {QStringLiteral("differences"), places}};
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}
