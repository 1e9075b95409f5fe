#include "KaraView.h"

#include "textview/SentenceText.h"

#include <QPainter>

namespace {
constexpr int kViewWidth = 640;
constexpr int kViewHeight = 240;
constexpr int kSentencePointSize = 14;
constexpr int kTranslationPointSize = 11;
const QColor kTranslationColour(190, 190, 190);
const QColor kUpperColour(0, 150, 0);
const QColor kLowerColour(150, 0, 150);
constexpr int kNeighbourFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
// Each picture is a third of the view: neighbour, sentence, neighbour.
const QSize kPictureSize(kViewWidth, kViewHeight / 3);
const QColor kSpokenColour(0, 200, 0);
const QColor kUnspokenColour(200, 0, 200);
// Blind listening's bars of the lines around the sentence: quieter than the
// sentence's own, which take the progress colours.
const QColor kBlindNeighbourColour(88, 108, 122);
const QColor kBlindTranslationColour(96, 96, 96);
} // namespace

KaraView::KaraView(QWidget* parent)
    : QWidget(parent)
    , m_sentenceFont(tr("Times New Roman"), kSentencePointSize)
{
    setFixedSize(kViewWidth, kViewHeight);
    m_display = blankPicture();
    m_text = blankPicture();
    m_upper = blankPicture();
    m_lower = blankPicture();
}

// Pictures at the screen's density, so the text stays sharp at 2x.
QImage KaraView::blankPicture() const
{
    const qreal ratio = devicePixelRatioF();
    QImage picture(kPictureSize * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::black);
    return picture;
}

bool KaraView::barsInPlaceOfSentence() const
{
    return m_blind && !m_revealed;
}

void KaraView::drawNeighbour(QImage& picture, const QString& text, const QColor& colour) const
{
    picture = blankPicture();
    if (text.isEmpty())
        return;
    QPainter painter(&picture);
    if (m_blind) {
        KaraokeText(asOneParagraph(text), painter.font(), kPictureSize).drawBars(painter, kBlindNeighbourColour);
        return;
    }
    painter.setPen(colour);
    painter.drawText(QRect(QPoint(0, 0), kPictureSize), kNeighbourFlags, text);
}

void KaraView::drawTranslation()
{
    m_lower = blankPicture();
    QPainter painter(&m_lower);
    const QFont font(m_sentenceFont.family(), kTranslationPointSize);
    const QString text = asOneParagraph(m_translation);
    if (barsInPlaceOfSentence()) {
        KaraokeText(text, font, kPictureSize).drawBars(painter, kBlindTranslationColour);
        return;
    }
    painter.setPen(kTranslationColour);
    painter.setFont(font);
    painter.drawText(QRect(QPoint(0, 0), kPictureSize), kNeighbourFlags, text);
}

void KaraView::setSentence(const QString& text, const QString& upper, const QString& lower,
                           const QString& translation, const QVector<QPair<float, int>>& timedChars)
{
    m_sentence = asOneParagraph(text);
    m_upperText = upper;
    m_lowerText = lower;
    m_translation = translation;
    m_timedChars = timedChars;
    if (!upper.isEmpty() || !lower.isEmpty())
        m_hasNeighbours = true;
    m_showsTranslation = lower.isEmpty() && !translation.isEmpty();
    render();
    paintProgress(0.0f);
}

void KaraView::setBlind(bool on, bool sentenceRevealed)
{
    if (on == m_blind && sentenceRevealed == m_revealed)
        return;
    m_blind = on;
    m_revealed = sentenceRevealed;
    render();
    paintProgress(m_fraction);
}

void KaraView::render()
{
    const KaraokeText sentence(m_sentence, QFont(tr("Times New Roman"), kSentencePointSize), kPictureSize);
    m_lines = sentence.lines();
    m_lineTexts = sentence.lineTexts();
    m_lineHeight = sentence.lineHeight();
    m_total = sentence.total();
    m_sentenceFont = sentence.font();
    m_words.clear();
    for (const auto& [at, index] : std::as_const(m_timedChars))
        m_words.append({at, sentence.widthBefore(index)});
    m_text = blankPicture();
    {
        QPainter painter(&m_text);
        painter.setRenderHint(QPainter::TextAntialiasing);
        if (barsInPlaceOfSentence())
            sentence.drawBars(painter, Qt::white);
        else
            sentence.draw(painter, Qt::white);
    }
    // Once shown, neighbour lines are redrawn every time, so none outlives its sentence.
    if (m_hasNeighbours) {
        drawNeighbour(m_upper, m_upperText, kUpperColour);
        drawNeighbour(m_lower, m_lowerText, kLowerColour);
    }
    if (m_showsTranslation)
        drawTranslation();
}

// White text times a colour is that colour; the black ground stays black.
void KaraView::paintProgress(float fraction)
{
    m_fraction = fraction;
    if (!m_words.isEmpty() && m_total > 0)
        fraction = float(wordTimedWidth(m_words, m_total, fraction)) / float(m_total);
    m_display = m_text.copy();
    QPainter painter(&m_display);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    for (const KaraokeFill& fill : karaokeFills(m_lines, m_lineHeight, m_total, fraction))
        painter.fillRect(fill.band, fill.spoken ? kSpokenColour : kUnspokenColour);
    painter.end();
    update();
}

void KaraView::paintEvent(QPaintEvent*)
{
    const int h = height();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(QPoint(0, h / 3), m_display);
    if (m_hasNeighbours)
        painter.drawImage(QPoint(0, 0), m_upper);
    if (m_hasNeighbours || m_showsTranslation)
        painter.drawImage(QPoint(0, 2 * h / 3), m_lower);
}
