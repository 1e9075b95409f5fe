#include "LrcLstView.h"

#include "widgets/RepetaScrollBar.h"

namespace {
constexpr int kListPointSize = 12;
const QColor kText(17, 113, 163);
const QColor kFocusedHighlight(49, 106, 197);
const QColor kUnfocusedHighlight(203, 234, 249);
const QColor kDisabledText(118, 116, 108);
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
