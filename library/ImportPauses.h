// Finding a new material's sentences by pauses during the import, with a
// dialog that shows the work is going on and lets the learner cancel it.
#pragma once

#include "sentences/PauseSentences.h"

class QWidget;

PauseSentences findSentencesWaiting(QWidget* dialogParent, const QString& mediaPath);
