// The views call the practice controller through member pointers of Repeta.
// Widget tests do not link the controller, so this file gives the class a
// definition that records the calls instead.
#pragma once

#include <QVector>

class Repeta {
public:
    void seek(float fraction) { seeks.append(fraction); }
    void choose(int sentence) { sentences.append(sentence); }

    QVector<float> seeks;
    QVector<int> sentences;
};
