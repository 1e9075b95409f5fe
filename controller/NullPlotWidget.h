// A waveform view that shows nothing: stands in while no widget is the
// original's seek target, so the controller never tests for null.
#pragma once

#include "Contracts.h"

class NullPlotWidget final : public vPlotWidget {
public:
    void setTintColor(const QColor&) override {}
    void setPlotting(bool) override {}
    void setRecording(bool) override {}
    void setMarking(bool) override {}
    void setText(const QString&) override {}
    void setPixmap(const QPixmap*) override {}
    void setSentenceTimes(const QVector<float>*, const QVector<float>*) override {}
    void setDuration(float) override {}
    void setPosition(float) override {}
    void setCurrentSentence(int) override {}
    void setSentenceHandler(SentenceHandler) override {}
    void setSeekHandler(SeekHandler) override {}
    void setHandlerObject(Repeta*) override {}
    bool marks(float*, float*) override { return false; }
};
