// A waveform row: the finished picture (or a message while there is none),
// sentence bands with hover and current highlights, the in/out mark band, the
// play-position line and a tint. Clicks and drags become calls of the
// controller's sentence and seek handlers.
#pragma once

#include "controller/Contracts.h"

#include <QTimer>
#include <QWidget>

class PlotView : public QWidget, public vPlotWidget {
    Q_OBJECT
public:
    explicit PlotView(QWidget* parent = nullptr);

    void setTintColor(const QColor& color) override;
    void setPlotting(bool on) override;
    void setRecording(bool on) override;
    void setMarking(bool on) override;
    void setText(const QString& text) override;
    void setPixmap(const QPixmap* picture) override;
    void setSentenceTimes(const QVector<float>* starts, const QVector<float>* ends) override;
    void setDuration(float seconds) override;
    void setPosition(float fraction) override;
    void setCurrentSentence(int index) override;
    void setSentenceHandler(SentenceHandler handler) override;
    void setSeekHandler(SeekHandler handler) override;
    void setHandlerObject(Repeta* controller) override;
    bool marks(float* in, float* out) override;

public slots:
    // Advances the dots of the animated message.
    void doPlotting();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool inSentenceMode() const;
    int sentenceAt(float fraction) const;
    // What a press does; outside sentence mode a move with buttons held does
    // the same, so dragging seeks or moves a mark continuously.
    void pointerAt(const QMouseEvent* event, bool pressed);
    QString message() const;
    void paintContent(QPainter& painter) const;
    void paintSentenceBands(QPainter& painter) const;
    void paintMarks(QPainter& painter) const;

    QTimer m_animation;
    int m_step = 0; // 0..4
    bool m_plotting = false;
    bool m_recording = false;
    QString m_text;
    const QPixmap* m_picture = nullptr;          // the ploter's cache owns it
    const QVector<float>* m_sentenceTimes = nullptr; // the controller's timeline
    const QVector<float>* m_sentenceEnds = nullptr;
    float m_duration = 0;
    int m_hovered = -1;
    int m_current = -1;
    float m_cursorX = 0; // pixels
    bool m_marking = false;
    float m_markIn = 0;  // fractions of the width
    float m_markOut = 1.0f;
    QColor m_tint = Qt::transparent;
    Repeta* m_handlerObject = nullptr;
    SentenceHandler m_sentenceHandler = nullptr;
    SeekHandler m_seekHandler = nullptr;
};
