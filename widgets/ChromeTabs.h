// A tab bar that draws each tab as a picture cut from a four-row sprite
// (normal, under the mouse, current, disabled), keeps configurable room
// around the pictures and shows a balloon instead of the standard tool tip.
#pragma once

#include <QMap>
#include <QMargins>
#include <QPixmap>
#include <QTabBar>

#include <array>

class ChromeTabs : public QTabBar {
    Q_OBJECT
public:
    explicit ChromeTabs(QWidget* parent = nullptr);

    // The setters store their values; they neither lay out nor repaint.
    void setDotSprite(const QPixmap& sprite);
    void setTabSprite(int index, const QPixmap& sprite);
    void setOuterMargins(int left, int top, int right, int bottom);
    void setInnerMargins(int left, int top, int right, int bottom);
    void setLead(int lead);
    void setOffset(int x, int y);

    // Where tab index's picture goes and where the tab takes clicks.
    QRect dotRect(int index) const;
    // The first tab whose dot rectangle holds the point; -1 if none does.
    int dotAt(const QPoint& point) const;
    int hoveredTab() const { return m_hovered; }

protected:
    enum Row { NormalRow, HoverRow, CurrentRow, DisabledRow, RowCount };
    using Rows = std::array<QPixmap, RowCount>;

    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // Every enabled tab's picture, then the current tab's over them.
    void paintPictures(QPainter& painter) const;

private:
    static Rows cutRows(const QPixmap& sprite);
    const Rows& picturesOf(int index) const;
    QRect pictureRect(int index) const;
    void setHovered(int index);
    void showBalloonOver(int index);

    Rows m_defaultRows;
    QMap<int, Rows> m_tabRows;
    int m_dotWidth = -1;
    int m_dotHeight = -1;
    int m_lead = 0;
    QMargins m_outer;
    QMargins m_inner;
    QPoint m_offset;
    int m_hovered = -1;
    int m_balloonTab = -1;
};
