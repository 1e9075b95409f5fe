// The Listen & Repeat comparison: each recorded sentence of the model
// followed by the learner's take, re-encoded as one MP3, so that the two can
// be heard side by side away from the program. Joining bytes would not do:
// the model may be any codec at any rate.
#pragma once

#include <QString>
#include <QVector>

struct ComparisonPiece {
    double start = 0;  // of the model sentence, seconds on the engine's timeline
    double end = -1;   // seconds; < 0 reads the model to its end
    QString take;      // the learner's recording of that sentence
};

// Writes the pieces in order to target: model sentence, a pause, take, a
// pause. The target is replaced only when all of it was written; a model or
// take that cannot be decoded fails the export. False with a reason in
// *error when nothing was written.
bool exportComparison(const QString& target, const QString& model, const QVector<ComparisonPiece>& pieces,
                      QString* error = nullptr);
