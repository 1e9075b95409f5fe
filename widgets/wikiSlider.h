// The video position slider of help mode. It is driven like a waveform view:
// the controller moves it with setPosition and is asked to seek when the
// learner clicks the track; the slider never moves itself.
#pragma once

#include "controller/Contracts.h"
#include "widgets/SliderGeometry.h"

#include <QPixmap>
#include <QWidget>

class wikiSlider : public QWidget, public vPlotWidget {
    Q_OBJECT
public:
    explicit wikiSlider(QWidget* parent = nullptr);

    void setPosition(float fraction) override;
    void setSeekHandler(SeekHandler handler) override;
    void setHandlerObject(Repeta* controller) override;
    bool marks(float*, float*) override { return false; }

    // The rest of the waveform interface means nothing to a slider.
    void setTintColor(const QColor&) override {}
    void setPlotting(bool) override {}
    void setRecording(bool) override {}
    void setMarking(bool) override {}
    void setText(const QString&) override {}
    void setPixmap(const QPixmap*) override {}
    void setSentenceTimes(const QVector<float>*, const QVector<float>*) override {}
    void setDuration(float) override {}
    void setCurrentSentence(int) override {}
    void setSentenceHandler(SentenceHandler) override {}

    int seekerX() const { return m_seekerX; }
    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    SliderGeometry geometry() const;

    QPixmap m_track;
    QPixmap m_light;
    QPixmap m_seeker;
    int m_seekerX = 0;
    Repeta* m_controller = nullptr;
    SeekHandler m_seek = nullptr;
};
