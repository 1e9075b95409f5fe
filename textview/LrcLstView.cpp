#include "LrcLstView.h"

#include "textview/WordBars.h"
#include "widgets/RepetaScrollBar.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kListPointSize = 12;
const QColor kText(17, 113, 163);
const QColor kFocusedHighlight(49, 106, 197);
const QColor kUnfocusedHighlight(203, 234, 249);
const QColor kDisabledText(118, 116, 108);
// A hidden sentence's bars are its text colour this much over the ground:
// the list's blue gives a light blue-grey, a translation's grey a light grey.
constexpr float kBarShareOfTextColour = 0.35f;

QColor tint(const QColor& text, const QColor& ground)
{
    const auto mix = [](int t, int g) { return int(float(g) + float(t - g) * kBarShareOfTextColour + 0.5f); };
    return QColor(mix(text.red(), ground.red()), mix(text.green(), ground.green()), mix(text.blue(), ground.blue()));
}
} // namespace

QPalette LrcLstView::listPalette(QPalette base)
{
    base.setColor(QPalette::Active, QPalette::Text, kText);
    base.setColor(QPalette::Active, QPalette::Highlight, kFocusedHighlight);
    base.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
    base.setColor(QPalette::Inactive, QPalette::Text, kText);
    base.setColor(QPalette::Inactive, QPalette::Highlight, kUnfocusedHighlight);
    base.setColor(QPalette::Inactive, QPalette::HighlightedText, kText);
    base.setColor(QPalette::Disabled, QPalette::Text, kDisabledText);
    base.setColor(QPalette::Disabled, QPalette::Highlight, kFocusedHighlight);
    base.setColor(QPalette::Disabled, QPalette::HighlightedText, Qt::white);
    return base;
}

LrcLstView::LrcLstView(QWidget* parent)
    : QTextEdit(parent)
{
    setVerticalScrollBar(new RepetaScrollBar(this));
    viewport()->setCursor(Qt::ArrowCursor);
    setPalette(listPalette(palette()));
    QFont list(tr("Arial"), kListPointSize, QFont::Bold);
    list.setStyleStrategy(QFont::PreferAntialias);
    setFont(list);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setUndoRedoEnabled(false);
    setReadOnly(true);
}

void LrcLstView::setBlind(bool on)
{
    if (on == m_blind)
        return;
    m_blind = on;
    viewport()->update();
}

void LrcLstView::setRevealedBlocks(int first, int last)
{
    if (first == m_firstRevealed && last == m_lastRevealed)
        return;
    m_firstRevealed = first;
    m_lastRevealed = last;
    if (m_blind)
        viewport()->update();
}

void LrcLstView::setTextInteractionFlags(Qt::TextInteractionFlags flags)
{
    QTextEdit::setTextInteractionFlags(flags);
    viewport()->update();
}

void LrcLstView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ReadOnlyChange)
        viewport()->update();
    QTextEdit::changeEvent(event);
}

// The revealed blocks' rows across the whole width, in document coordinates.
QRect LrcLstView::revealedArea() const
{
    const QTextBlock first = document()->findBlockByNumber(m_firstRevealed);
    const QTextBlock last = document()->findBlockByNumber(m_lastRevealed);
    if (m_lastRevealed < m_firstRevealed || !first.isValid() || !last.isValid())
        return QRect();
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const int top = int(std::floor(layout->blockBoundingRect(first).top()));
    const int bottom = int(std::ceil(layout->blockBoundingRect(last).bottom()));
    return QRect(0, top, viewport()->width() + horizontalScrollBar()->value(), bottom - top);
}

// A binary search by block number: a list of many thousand sentences is
// painted a screen at a time.
QTextBlock LrcLstView::firstBlockReaching(qreal y) const
{
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    int low = 0;
    int high = document()->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (layout->blockBoundingRect(document()->findBlockByNumber(middle)).bottom() < y)
            low = middle + 1;
        else
            high = middle;
    }
    return document()->findBlockByNumber(low);
}

void LrcLstView::paintEvent(QPaintEvent* event)
{
    if (!showsBars()) {
        QTextEdit::paintEvent(event);
        return;
    }
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRegion revealed = event->region() & revealedArea().translated(-scroll);
    if (!revealed.isEmpty()) {
        QPaintEvent shown(revealed);
        QTextEdit::paintEvent(&shown);
    }
    const QRegion hidden = event->region() - revealed;
    if (hidden.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setClipRegion(hidden);
    painter.translate(-scroll);
    paintBars(painter, QRectF(hidden.boundingRect().translated(scroll)));
}

void LrcLstView::paintBars(QPainter& painter, const QRectF& area) const
{
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    const QTextCursor selection = textCursor();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const QColor highlight = palette().color(group, QPalette::Highlight);
    const QColor selectedBar = palette().color(group, QPalette::HighlightedText);
    const QColor ground = palette().color(QPalette::Base);
    for (QTextBlock block = firstBlockReaching(area.top()); block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        if (box.top() > area.bottom())
            break;
        if (isRevealed(block.blockNumber()))
            continue;
        const QTextLayout* text = block.layout();
        const QPointF origin = box.topLeft();
        if (selection.hasSelection())
            paintSelection(painter, block, origin, selection, highlight);
        // An empty block's fragment() would walk on through the document.
        if (block.begin().atEnd())
            continue;
        // The text's colour where the block begins: a translation's own grey, or the list's blue.
        const QTextCharFormat format = block.begin().fragment().charFormat();
        const QColor bar = tint(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                                 : palette().color(QPalette::Text),
                                ground);
        for (const WordBar& word : wordBars(*text, block.text())) {
            const int at = block.position() + word.from;
            const bool selected = at >= selection.selectionStart() && at < selection.selectionEnd();
            drawWordBar(painter, word.box.translated(origin), selected ? selectedBar : bar);
        }
    }
}

// The selection's ground as the text edit paints it, so the current sentence
// stays marked while its words are hidden: the selected stretch of each line,
// and a quarter of the line's height for a selected paragraph end.
void LrcLstView::paintSelection(QPainter& painter, const QTextBlock& block, const QPointF& origin,
                                const QTextCursor& selection, const QColor& highlight) const
{
    const QTextLayout* text = block.layout();
    const int start = selection.selectionStart() - block.position();
    const int end = selection.selectionEnd() - block.position();
    for (int k = 0; k < text->lineCount(); ++k) {
        const QTextLine line = text->lineAt(k);
        const int lineEnd = line.textStart() + line.textLength();
        const bool endsParagraph = k + 1 == text->lineCount() && end > lineEnd;
        const int from = std::max(start, line.textStart());
        const int to = std::min(end, lineEnd);
        if (from > to || (from == to && !endsParagraph))
            continue;
        const qreal left = line.cursorToX(from);
        const qreal right = line.cursorToX(to) + (endsParagraph ? line.height() / 4 : 0);
        const QRectF band(QPointF(left, line.y()), QPointF(right, std::ceil(line.y() + line.height())));
        painter.fillRect(band.translated(origin), highlight);
    }
}
