// The list page: every sentence of the material, the current one selected.
// It is read-only until the main window makes it editable.
#pragma once

#include <QTextEdit>

class QTextBlock;
class QTextCursor;

class LrcLstView : public QTextEdit {
    Q_OBJECT
public:
    explicit LrcLstView(QWidget* parent = nullptr);

    // The list's colours: the selection marks the current sentence, dark blue
    // while the list has the focus and light blue otherwise.
    static QPalette listPalette(QPalette base);

    // Blind listening: every block but the revealed ones is painted as a row
    // of word bars where its text would be, so the lines keep their places.
    // The document keeps its text, and an editable list shows it.
    void setBlind(bool on);
    bool isBlind() const { return m_blind; }
    // Blocks first to last (by number) show their text while blind; none
    // when last < first.
    void setRevealedBlocks(int first, int last);

    // QTextEdit's setter repaints nothing; the editing switch must trade the
    // bars for the text at once.
    void setTextInteractionFlags(Qt::TextInteractionFlags flags);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool showsBars() const { return m_blind && isReadOnly(); }
    bool isRevealed(int block) const { return block >= m_firstRevealed && block <= m_lastRevealed; }
    QRect revealedArea() const;
    QTextBlock firstBlockReaching(qreal y) const;
    void paintBars(QPainter& painter, const QRectF& area) const;
    void paintSelection(QPainter& painter, const QTextBlock& block, const QPointF& origin,
                        const QTextCursor& selection, const QColor& highlight) const;

    bool m_blind = false;
    int m_firstRevealed = 0;
    int m_lastRevealed = -1;
};
