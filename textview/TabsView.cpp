#include "TabsView.h"

#include "resources/Artwork.h"
#include "textview/CompareView.h"
#include "textview/KaraView.h"
#include "textview/LrcLstView.h"
#include "textview/SentenceText.h"
#include "widgets/ChromeTabs.h"

#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
constexpr int kTabLeadPx = 286;
constexpr int kTranslationPointSize = 10;
const QColor kTranslationColour(96, 104, 110);

// Where each timed word begins in the shown text, as (share of the
// sentence's time, character index); words not found in order are left out.
QVector<QPair<float, int>> timedCharacters(const Sentence& sentence, const QString& text)
{
    QVector<QPair<float, int>> timed;
    const float length = sentence.end - sentence.start;
    if (!(length > 0))
        return timed;
    int from = 0;
    for (const WordTime& word : sentence.words) {
        const int at = text.indexOf(word.word.trimmed(), from);
        if (word.word.trimmed().isEmpty() || at < 0)
            continue;
        timed.append({(word.start - sentence.start) / length, at});
        from = at + 1;
    }
    return timed;
}
} // namespace

TabsView::TabsView(QWidget* parent)
    : QTabWidget(parent)
    , m_tabs(new ChromeTabs(this))
{
    m_tabs->setDotSprite(loadArtwork(tr(":/images/bg-tab-dot.png")));
    m_tabs->setLead(kTabLeadPx);
    m_tabs->setOuterMargins(0, 0, 0, 0);
    m_tabs->setInnerMargins(5, 4, 5, 1);
    m_tabs->setMouseTracking(true);
    setTabBar(m_tabs);
}

void TabsView::setTabEnabled(int index, bool on)
{
    QTabWidget::setTabEnabled(index, on);
}

void TabsView::setCurrentIndex(int index)
{
    QTabWidget::setCurrentIndex(index);
}

void TabsView::setTabOffset(const QPoint& offset)
{
    m_tabs->setOffset(offset.x(), offset.y());
    m_tabs->update();
}

bool TabsView::isSentence(int index) const
{
    return unsigned(index) < unsigned(m_sentences.size());
}

void TabsView::showEvent(QShowEvent* event)
{
    findPages();
    QTabWidget::showEvent(event);
}

void TabsView::findPages()
{
    const bool hadList = m_list;
    const bool hadKara = m_kara;
    const bool hadCompare = m_compare;
    if (!m_kara)
        m_kara = findChild<KaraView*>(tr("karaLrc"));
    if (!m_list)
        m_list = findChild<LrcLstView*>(tr("lstLrc"));
    if (!m_compare)
        m_compare = findChild<CompareView*>(tr("compareView"));
    if (m_compare && !hadCompare)
        m_compare->setComparison(m_comparison, m_compared);
    // Sentences given before the pages were found would otherwise never show.
    if (m_list && !hadList)
        fillList();
    showBlindness();
    if ((m_list && !hadList) || (m_kara && !hadKara)) {
        if (isSentence(m_shown[0]))
            showSentence(m_shown[0], m_shown[1], m_shown[2]);
    }
}

void TabsView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void TabsView::setSentences(const QVector<Sentence>& sentences)
{
    m_sentences = sentences;
    m_shown[0] = -1;
    m_revealed = -1;
    if (m_list)
        fillList();
    showBlindness();
}

void TabsView::setBlind(bool on)
{
    if (on == m_blind)
        return;
    m_blind = on;
    m_revealed = -1;
    showBlindness();
}

void TabsView::revealCurrent()
{
    if (!m_blind || !isSentence(m_shown[0]))
        return;
    m_revealed = m_shown[0];
    showBlindness();
}

// The list's sentence n is block 2n + 1 and its translation block 2n + 2.
void TabsView::showBlindness()
{
    const bool revealed = m_revealed >= 0;
    if (m_kara)
        m_kara->setBlind(m_blind, revealed);
    if (m_list) {
        m_list->setBlind(m_blind);
        if (revealed)
            m_list->setRevealedBlocks(2 * m_revealed + 1, 2 * m_revealed + 2);
        else
            m_list->setRevealedBlocks(0, -1);
    }
}

void TabsView::setTranslationsVisible(bool on)
{
    if (on == m_translationsVisible)
        return;
    m_translationsVisible = on;
    if (m_list) {
        const int scrolled = m_list->verticalScrollBar()->value();
        fillList();
        m_list->verticalScrollBar()->setValue(scrolled);
    }
    if (isSentence(m_shown[0]))
        showSentence(m_shown[0], m_shown[1], m_shown[2]);
}

// The list is built in a document of its own and then handed to the view:
// filled in place, the view's document lays itself out as it grows, which
// made long materials take seconds to open.
void TabsView::fillList()
{
    QTextDocument* old = m_list->document();
    auto* document = new QTextDocument(m_list);
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(old->defaultFont());
    document->setDefaultTextOption(old->defaultTextOption());
    document->setDocumentMargin(old->documentMargin());
    QTextCursor cursor(document);
    const QTextCharFormat sentenceFormat = cursor.charFormat();
    QTextCharFormat translationFormat = sentenceFormat;
    translationFormat.setFontPointSize(kTranslationPointSize);
    translationFormat.setFontWeight(QFont::Normal);
    translationFormat.setForeground(kTranslationColour);
    cursor.insertText(tr(" "), sentenceFormat);
    for (const Sentence& sentence : std::as_const(m_sentences)) {
        cursor.insertBlock();
        cursor.insertText(asOneParagraph(sentence.text), sentenceFormat);
        cursor.insertBlock();
        if (m_translationsVisible && !sentence.translation.isEmpty())
            cursor.insertText(asOneParagraph(sentence.translation), translationFormat);
        cursor.setCharFormat(sentenceFormat);
    }
    // The view deletes the document it made itself; the earlier lists are ours.
    const bool ours = old->parent() == m_list;
    m_list->setDocument(document);
    if (ours)
        delete old;
}

// Selects block 2n + 1 with its paragraph separator; the cursor ends at the
// block's start, where the view scrolls to.
bool TabsView::selectInList(int sentence)
{
    const QTextBlock block = m_list->document()->findBlockByNumber(2 * sentence + 1);
    if (!block.isValid())
        return false;
    const QTextBlock next = block.next();
    QTextCursor cursor(m_list->document());
    cursor.setPosition(next.isValid() ? next.position() : block.position() + block.length() - 1);
    cursor.setPosition(block.position(), QTextCursor::KeepAnchor);
    m_list->setTextCursor(cursor);
    m_list->ensureCursorVisible();
    return true;
}

void TabsView::showSentence(int current, int above, int below)
{
    if (!isSentence(current))
        return;
    if (current != m_shown[0] && m_revealed >= 0) {
        m_revealed = -1;
        showBlindness();
    }
    m_shown[0] = current;
    m_shown[1] = above;
    m_shown[2] = below;
    if (m_kara) {
        const Sentence& sentence = m_sentences[current];
        const QString upper = isSentence(above) ? m_sentences[above].text : QString();
        const QString lower = isSentence(below) ? m_sentences[below].text : QString();
        const QString text = asOneParagraph(sentence.text);
        m_kara->setSentence(text, upper, lower, m_translationsVisible ? sentence.translation : QString(),
                            timedCharacters(sentence, text));
    }
    if (m_list)
        selectInList(current);
}

void TabsView::setKaraokeProgress(float fraction)
{
    if (m_kara)
        m_kara->paintProgress(fraction);
}

QString TabsView::selectedText()
{
    return m_list ? m_list->textCursor().selectedText() : QString();
}

QString TabsView::sentenceText(int n)
{
    if (!isSentence(n))
        return QString();
    const QString lineBreak = QStringLiteral("\r\n");
    // Without the list the stored text is all there is; it must not be lost.
    if (!m_list)
        return asOneParagraph(m_sentences[n].text) + lineBreak;
    const QTextCursor saved = m_list->textCursor();
    const int scrolled = m_list->verticalScrollBar()->value();
    QString text;
    if (selectInList(n)) {
        text = m_list->textCursor().selectedText();
        if (text.endsWith(QChar::ParagraphSeparator))
            text.chop(1);
    }
    m_list->setTextCursor(saved);
    m_list->verticalScrollBar()->setValue(scrolled);
    return text + lineBreak;
}

void TabsView::showComparison(const Comparison& result, const Sentence& sentence)
{
    m_comparison = result;
    m_compared = sentence;
    if (m_compare)
        m_compare->setComparison(result, sentence);
}

void TabsView::showComparisonPage()
{
    if (!m_compare)
        findPages();
    for (int i = 0; m_compare && i < count(); ++i) {
        if (widget(i)->isAncestorOf(m_compare)) {
            if (isTabEnabled(i))
                setCurrentIndex(i);
            return;
        }
    }
}
