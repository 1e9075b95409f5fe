#include "CompareView.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kViewWidth = 640;
constexpr int kViewHeight = 240;
constexpr int kFiguresHeightPx = 34;
constexpr int kLegendHeightPx = 26;
constexpr int kLeftMarginPx = 34; // room for the grid's semitone labels
constexpr int kRightMarginPx = 14;
constexpr int kTextMarginPx = 14;
// A fixed range, so that a flat melody looks flat and a lively one lively.
constexpr double kTopSemitones = 8;
constexpr double kBottomSemitones = -8;
constexpr int kGridSemitones[] = {-5, 0, 5};
// The worst few differences: more bands would hide the curves.
constexpr int kShownDifferences = 3;
constexpr qreal kModelPenPx = 2.5;
constexpr qreal kTakePenPx = 2.0;
constexpr int kFiguresPointSize = 13;
constexpr int kSmallPointSize = 9;
constexpr int kLegendLinePx = 18;
constexpr int kLegendSwatchPx = 10;
constexpr int kLegendGapPx = 6;
constexpr int kLegendSpacingPx = 18;
constexpr double kGoodScore = 85;
constexpr double kFairScore = 70;
constexpr double kWeakScore = 50;

const QColor kModelColour(27, 177, 255);
const QColor kTakeColour(255, 150, 40);
const QColor kMelodyBand(255, 60, 90, 64);
const QColor kRhythmBand(150, 110, 255, 64);
const QColor kGridColour(255, 255, 255, 40);
const QColor kGridLabelColour(120, 120, 120);
const QColor kFiguresColour(235, 235, 235);
const QColor kGoodColour(0, 200, 0);
const QColor kQuietColour(190, 190, 190);

// Voiced runs of a curve: unvoiced points (NaN) end a run.
QVector<QVector<CurvePoint>> voicedRuns(const QVector<CurvePoint>& curve)
{
    QVector<QVector<CurvePoint>> runs(1);
    for (const CurvePoint& point : curve) {
        if (std::isnan(point.semitones)) {
            if (!runs.last().isEmpty())
                runs.append(QVector<CurvePoint>());
            continue;
        }
        runs.last().append(point);
    }
    if (runs.last().isEmpty())
        runs.removeLast();
    return runs;
}

QString verdict(double overall)
{
    if (overall >= kGoodScore)
        return CompareView::tr("很好");
    if (overall >= kFairScore)
        return CompareView::tr("不错");
    if (overall >= kWeakScore)
        return CompareView::tr("加油");
    return CompareView::tr("再听听");
}

QString scoresText(const Comparison& result)
{
    return CompareView::tr("语调 %1  节奏 %2  总分 %3")
        .arg(qRound(result.intonation))
        .arg(qRound(result.rhythm))
        .arg(qRound(result.overall));
}

QString tempoText(const Comparison& result)
{
    return CompareView::tr("用时 %1×").arg(result.tempo, 0, 'f', 2);
}
} // namespace

CompareView::CompareView(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(kViewWidth, kViewHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CompareView::setComparison(const Comparison& result, const Sentence& sentence)
{
    m_result = result;
    m_sentence = sentence;
    double from = INFINITY;
    double to = -INFINITY;
    for (const QVector<CurvePoint>* curve : {&m_result.model, &m_result.take}) {
        if (!curve->isEmpty()) {
            from = std::min(from, curve->first().seconds);
            to = std::max(to, curve->last().seconds);
        }
    }
    m_from = std::isfinite(from) ? from : 0;
    m_to = to > m_from ? to : m_from + 1;
    setAccessibleName(m_result.ok ? figuresText() : message());
    update();
}

QString CompareView::figuresText() const
{
    if (!m_result.ok)
        return QString();
    return scoresText(m_result) + QStringLiteral("  ") + verdict(m_result.overall) + QStringLiteral("  ") +
           tempoText(m_result);
}

QString CompareView::message() const
{
    if (m_result.ok)
        return QString();
    return m_result.error.isEmpty() ? tr("录完音后在这里对比") : m_result.error;
}

QRectF CompareView::plotArea() const
{
    return QRectF(kLeftMarginPx, kFiguresHeightPx, width() - kLeftMarginPx - kRightMarginPx,
                  height() - kFiguresHeightPx - kLegendHeightPx);
}

QPointF CompareView::toPlot(const CurvePoint& point) const
{
    const QRectF area = plotArea();
    const double x = (point.seconds - m_from) / (m_to - m_from);
    const double y = (kTopSemitones - point.semitones) / (kTopSemitones - kBottomSemitones);
    return QPointF(area.left() + x * area.width(), area.top() + y * area.height());
}

QString CompareView::wordAt(const QPoint& position) const
{
    const QRectF area = plotArea();
    if (!m_result.ok || m_sentence.words.isEmpty() || !area.contains(position))
        return QString();
    const double seconds = m_from + (position.x() - area.left()) / area.width() * (m_to - m_from);
    QString word;
    for (const WordTime& timed : m_sentence.words) {
        if (timed.start > seconds)
            break;
        word = timed.word.trimmed();
    }
    return word;
}

bool CompareView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString word = wordAt(help->pos());
        if (word.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), word, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void CompareView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (!m_result.ok) {
        painter.setPen(kQuietColour);
        painter.setFont(QFont(font().family(), kFiguresPointSize));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, message());
        return;
    }
    drawBands(painter);
    drawGrid(painter);
    painter.save();
    painter.setClipRect(plotArea());
    drawCurve(painter, m_result.model, kModelColour, kModelPenPx);
    drawCurve(painter, m_result.take, kTakeColour, kTakePenPx);
    painter.restore();
    drawFigures(painter);
    drawLegend(painter);
}

void CompareView::drawGrid(QPainter& painter) const
{
    const QRectF area = plotArea();
    painter.setFont(QFont(font().family(), kSmallPointSize));
    for (const int semitones : kGridSemitones) {
        const qreal y = toPlot({m_from, double(semitones)}).y();
        painter.setPen(QPen(kGridColour, 1));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(kGridLabelColour);
        const QString label = semitones > 0 ? QStringLiteral("+%1").arg(semitones) : QString::number(semitones);
        painter.drawText(QRectF(0, y - kTextMarginPx, kLeftMarginPx - kLegendGapPx, 2 * kTextMarginPx),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }
}

void CompareView::drawBands(QPainter& painter) const
{
    const QRectF area = plotArea();
    const int shown = std::min(int(m_result.differences.size()), kShownDifferences);
    for (int i = 0; i < shown; ++i) {
        const Difference& difference = m_result.differences[i];
        const qreal left = std::max(area.left(), toPlot({difference.start, 0}).x());
        const qreal right = std::min(area.right(), toPlot({difference.end, 0}).x());
        if (right > left)
            painter.fillRect(QRectF(left, area.top(), right - left, area.height()),
                             difference.kind == Difference::Kind::Melody ? kMelodyBand : kRhythmBand);
    }
}

void CompareView::drawCurve(QPainter& painter, const QVector<CurvePoint>& curve, const QColor& colour,
                            qreal width) const
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QVector<CurvePoint>& run : voicedRuns(curve)) {
        // A lone voiced point shows as a dot under the round cap.
        if (run.size() == 1) {
            painter.drawPoint(toPlot(run.first()));
            continue;
        }
        QPainterPath path(toPlot(run.first()));
        for (const CurvePoint& point : run)
            path.lineTo(toPlot(point));
        painter.drawPath(path);
    }
}

void CompareView::drawFigures(QPainter& painter) const
{
    QFont figures(font().family(), kFiguresPointSize, QFont::Bold);
    painter.setFont(figures);
    const QRectF row(kTextMarginPx, 0, width() - 2 * kTextMarginPx, kFiguresHeightPx);
    const QString scores = scoresText(m_result);
    painter.setPen(kFiguresColour);
    painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, scores);
    const qreal after = painter.fontMetrics().horizontalAdvance(scores + QStringLiteral("  "));
    painter.setPen(m_result.overall >= kFairScore ? kGoodColour : kQuietColour);
    painter.drawText(row.adjusted(after, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, verdict(m_result.overall));
    painter.setPen(kFiguresColour);
    painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, tempoText(m_result));
}

void CompareView::drawLegend(QPainter& painter) const
{
    painter.setFont(QFont(font().family(), kSmallPointSize));
    const qreal middle = height() - kLegendHeightPx / 2.0;
    qreal x = kLeftMarginPx;
    const auto label = [&](const QString& text) {
        x += kLegendGapPx;
        const qreal w = painter.fontMetrics().horizontalAdvance(text);
        painter.setPen(kQuietColour);
        painter.drawText(QRectF(x, middle - kTextMarginPx, w + 1, 2 * kTextMarginPx), Qt::AlignLeft | Qt::AlignVCenter,
                         text);
        x += w + kLegendSpacingPx;
    };
    for (const auto& [colour, text] : {std::pair{kModelColour, tr("原句")}, std::pair{kTakeColour, tr("录音")}}) {
        painter.setPen(QPen(colour, kModelPenPx, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, middle), QPointF(x + kLegendLinePx, middle));
        x += kLegendLinePx;
        label(text);
    }
    for (const auto& [colour, text] : {std::pair{kMelodyBand, tr("语调差异")}, std::pair{kRhythmBand, tr("节奏差异")}}) {
        QColor swatch = colour;
        swatch.setAlpha(2 * colour.alpha()); // a small patch needs more colour to read as the band's
        painter.fillRect(QRectF(x, middle - kLegendSwatchPx / 2.0, kLegendSwatchPx, kLegendSwatchPx), swatch);
        x += kLegendSwatchPx;
        label(text);
    }
}
