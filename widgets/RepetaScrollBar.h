// A vertical scroll bar drawn from six pictures: a track and a handle, each a
// begin cap, a stretched middle and an end cap. Its mouse handling is the
// standard one, on the geometry it draws.
#pragma once

#include <QPixmap>
#include <QScrollBar>

struct ScrollHandle {
    int top = 0;
    int length = 0;
};

// The handle of a bar `height` pixels long: its length is height x pageStep /
// (maximum - minimum + pageStep) and its top height x (value - minimum) / that
// same range. An empty range gives the whole height. A handle shorter than
// minLength is lengthened, and then spread over height - minLength.
ScrollHandle scrollHandle(int height, int minimum, int maximum, int pageStep, int value, int minLength);

class RepetaScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit RepetaScrollBar(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    ScrollHandle handle() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawColumn(QPainter& painter, int top, int length, const QPixmap& begin, const QPixmap& mid,
                    const QPixmap& end) const;

    QPixmap m_trackBegin;
    QPixmap m_trackMid;
    QPixmap m_trackEnd;
    QPixmap m_handleBegin;
    QPixmap m_handleMid;
    QPixmap m_handleEnd;
    QSize m_sizeHint;
};
