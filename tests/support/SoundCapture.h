// Records what the program plays: the null sink's monitor, through parec.
#pragma once

#include "SoundAnalysis.h"
#include "Subprocess.h"

class SoundCapture {
public:
    // source: "out.monitor" for what was played, "mic" for the test input.
    explicit SoundCapture(const QString& source = QStringLiteral("out.monitor"));

    bool start(); // true once the recorder streams
    Pcm stop();   // everything recorded since start()

private:
    QString m_source;
    Subprocess m_parec;
};

// Plays a file into the default sink with paplay and waits until it ends.
bool playWithPaplay(const QString& path);
