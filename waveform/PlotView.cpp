#include "PlotView.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kWidth = 482;  // pixels
constexpr int kHeight = 26;  // pixels
constexpr int kAnimationIntervalMs = 500;
constexpr int kAnimationSteps = 5;
constexpr int kMessagePointSize = 11;
const QColor kCursorColor(255, 255, 255, 200);
const QColor kHoverColor(0, 200, 200, 100);
const QColor kCurrentColor(0, 200, 200, 50);
const QColor kMarksForward(0, 255, 0, 100);  // in before out: a usable span
const QColor kMarksBackward(255, 0, 0, 100); // out before in

} // namespace

PlotView::PlotView(QWidget* parent)
    : QWidget(parent)
    , m_animation(this)
{
    setFixedSize(kWidth, kHeight);
    m_animation.setInterval(kAnimationIntervalMs);
    connect(&m_animation, &QTimer::timeout, this, &PlotView::doPlotting);
}

void PlotView::setTintColor(const QColor& color) { m_tint = color; }

void PlotView::setPlotting(bool on)
{
    m_plotting = on;
    on ? m_animation.start() : m_animation.stop();
}

void PlotView::setRecording(bool on)
{
    m_recording = on;
    on ? m_animation.start() : m_animation.stop();
}

void PlotView::setMarking(bool on) { m_marking = on; }

void PlotView::setText(const QString& text) { m_text = text; }

void PlotView::setPixmap(const QPixmap* picture)
{
    if (m_plotting && picture) {
        m_plotting = false;
        m_animation.stop();
    }
    m_picture = picture;
    update();
}

void PlotView::setSentenceTimes(const QVector<float>* starts, const QVector<float>* ends)
{
    m_sentenceTimes = starts;
    m_sentenceEnds = ends && starts && ends->size() == starts->size() ? ends : nullptr;
}

void PlotView::setDuration(float seconds) { m_duration = seconds; }

void PlotView::setPosition(float fraction)
{
    m_cursorX = width() * fraction;
    update();
}

void PlotView::setCurrentSentence(int index)
{
    if (!m_sentenceTimes)
        return;
    m_current = index;
    update();
}

void PlotView::setSentenceHandler(SentenceHandler handler) { m_sentenceHandler = handler; }

void PlotView::setSeekHandler(SeekHandler handler) { m_seekHandler = handler; }

void PlotView::setHandlerObject(Repeta* controller) { m_handlerObject = controller; }

bool PlotView::marks(float* in, float* out)
{
    if (!in || !out || !(m_markIn < m_markOut))
        return false;
    *in = m_markIn;
    *out = m_markOut;
    return true;
}

void PlotView::doPlotting()
{
    m_step = (m_step + 1) % kAnimationSteps;
    update();
}

bool PlotView::inSentenceMode() const
{
    return m_sentenceTimes && !m_sentenceTimes->isEmpty() && m_duration > m_sentenceTimes->last();
}

// A pointer exactly on a boundary belongs to the earlier sentence.
int PlotView::sentenceAt(float fraction) const
{
    const QVector<float>& starts = *m_sentenceTimes;
    int index = 0;
    while (index + 1 < starts.size() && fraction > starts[index + 1] / m_duration)
        ++index;
    return index;
}

QString PlotView::message() const
{
    if (!m_recording && !m_plotting)
        return m_text;
    // One dot for steps 0 and 1, then one more per step.
    const QString dots = QStringLiteral(".").rightJustified(m_step, QLatin1Char('.'));
    return (m_recording ? tr("正在录音%1") : tr("正在获取波形%1")).arg(dots);
}

void PlotView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    m_cursorX = std::clamp(m_cursorX, 0.0f, float(w));

    paintContent(painter);
    if (inSentenceMode())
        paintSentenceBands(painter);
    if (m_marking)
        paintMarks(painter);
    // At the very end the line stays visible on the last column.
    painter.fillRect(std::min(int(m_cursorX), w - 1), 0, 1, h, kCursorColor);
    painter.fillRect(rect(), m_tint);
}

void PlotView::paintContent(QPainter& painter) const
{
    const QRect area(0, 0, kWidth, kHeight);
    if (m_picture) {
        painter.drawPixmap(area, *m_picture);
        return;
    }
    painter.fillRect(area, Qt::black);
    painter.setPen(Qt::white);
    painter.setFont(QFont(tr("宋体"), kMessagePointSize, QFont::Bold));
    painter.drawText(area, Qt::AlignCenter, message());
}

void PlotView::paintSentenceBands(QPainter& painter) const
{
    const QVector<float>& starts = *m_sentenceTimes;
    const int w = width();
    for (int n = 0; n < starts.size(); ++n) {
        // A sentence's own end, where its file gives one, leaves the pause
        // after it unmarked.
        const float ownEnd = m_sentenceEnds ? (*m_sentenceEnds)[n] : -1.0f;
        const float end = ownEnd >= 0 ? std::min(ownEnd, m_duration) : n + 1 < starts.size() ? starts[n + 1] : m_duration;
        const int x = int(starts[n] / m_duration * w);
        const QRect band(x, 0, int(w * (end / m_duration) - x), height());
        if (n == m_hovered)
            painter.fillRect(band, kHoverColor);
        if (n == m_current)
            painter.fillRect(band, kCurrentColor);
    }
}

void PlotView::paintMarks(QPainter& painter) const
{
    const int w = width();
    if (m_markOut > m_markIn)
        painter.fillRect(int(m_markIn * w), 0, int((m_markOut - m_markIn) * w), height(), kMarksForward);
    else if (m_markOut < m_markIn)
        painter.fillRect(int(m_markOut * w), 0, int((m_markIn - m_markOut) * w), height(), kMarksBackward);
}

void PlotView::pointerAt(const QMouseEvent* event, bool pressed)
{
    const QPoint at = event->position().toPoint();
    if (at.x() < 0 || at.x() > width() || at.y() < 0 || at.y() > height())
        return;
    const float fraction = float(at.x()) / width();

    if (inSentenceMode()) {
        const int index = sentenceAt(fraction);
        if (index == m_current)
            return;
        if (pressed) {
            // The controller answers with setCurrentSentence, which repaints.
            callHandler(m_handlerObject, m_sentenceHandler, index);
            m_current = index;
        } else {
            m_hovered = index;
            update();
        }
        return;
    }
    if (m_marking) {
        if (event->buttons() == Qt::LeftButton)
            m_markIn = fraction;
        else if (event->buttons() == Qt::RightButton)
            m_markOut = fraction;
        update();
        return;
    }
    if (event->buttons() == Qt::LeftButton)
        callHandler(m_handlerObject, m_seekHandler, fraction);
}

void PlotView::mousePressEvent(QMouseEvent* event) { pointerAt(event, true); }

void PlotView::mouseMoveEvent(QMouseEvent* event) { pointerAt(event, false); }

void PlotView::leaveEvent(QEvent*)
{
    m_hovered = -1;
    update();
}

// Consumed, so that the right button stays free for the out mark.
void PlotView::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }
