// The karaoke page: the current sentence in the middle third, coloured green
// as far as it has been spoken and purple beyond, with optional neighbour
// lines above and below. For blind listening every word can give way to a
// bar of its width.
#pragma once

#include "textview/KaraokeText.h"

#include <QImage>
#include <QWidget>

class KaraView : public QWidget {
    Q_OBJECT
public:
    explicit KaraView(QWidget* parent = nullptr);

    // `translation` shows under the sentence, in the lower line's place when
    // there is no lower neighbour. `timedChars` are (share of the sentence's
    // time, index of a character of the text) at which words begin: the
    // colour then follows the words rather than the clock evenly.
    void setSentence(const QString& text, const QString& upper, const QString& lower,
                     const QString& translation = QString(), const QVector<QPair<float, int>>& timedChars = {});
    void paintProgress(float fraction);
    // Blind listening: the sentence, its translation and the neighbour lines
    // show as word bars; the progress colours the sentence's bars as it
    // would its words. `sentenceRevealed` shows the sentence and its
    // translation as text again, the neighbours staying bars.
    void setBlind(bool on, bool sentenceRevealed = false);

    // How the last sentence was laid out, and in which font.
    const QVector<QRect>& lines() const { return m_lines; }
    const QStringList& lineTexts() const { return m_lineTexts; }
    int lineHeight() const { return m_lineHeight; }
    int total() const { return m_total; }
    bool hasNeighbours() const { return m_hasNeighbours; }
    bool showsTranslation() const { return m_showsTranslation; }
    QFont sentenceFont() const { return m_sentenceFont; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage blankPicture() const;
    bool barsInPlaceOfSentence() const;
    void render();
    void drawNeighbour(QImage& picture, const QString& text, const QColor& colour) const;
    void drawTranslation();

    // What setSentence() was given, drawn again when blind listening changes.
    QString m_sentence;
    QString m_upperText;
    QString m_lowerText;
    QString m_translation;
    QVector<QPair<float, int>> m_timedChars;
    float m_fraction = 0.0f;
    bool m_blind = false;
    bool m_revealed = false;

    int m_total = 0;
    int m_lineHeight = 0;
    QImage m_display;
    QImage m_text;
    QImage m_upper;
    QImage m_lower;
    bool m_hasNeighbours = false;
    bool m_showsTranslation = false;
    QVector<KaraokeWord> m_words;
    QVector<QRect> m_lines;
    QStringList m_lineTexts;
    QFont m_sentenceFont;
};
