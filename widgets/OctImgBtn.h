// A button drawn from a sprite of up to eight state pictures: four state rows
// (normal, hovered, pressed, disabled) times one column, or two (unchecked,
// checked) when the button is checkable. Its size is one cell's.
#pragma once

#include <QCheckBox>
#include <QPixmap>

#include <array>

class OctImgBtn : public QCheckBox {
    Q_OBJECT
public:
    enum StateRow { NormalRow, HoveredRow, PressedRow, DisabledRow, RowCount };

    // Not checkable until setCheckable(true), which must come before setSprite.
    explicit OctImgBtn(QWidget* parent = nullptr);

    // rows (1 to 4) rows of equal height; missing rows draw nothing. A null
    // sprite clears the pictures and keeps the size.
    void setSprite(const QPixmap& sprite, int rows);
    void setTexts(const QString& unchecked, const QString& checked);

    StateRow stateRow() const;

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static constexpr int kColumns = 2;
    std::array<QPixmap, kColumns * RowCount> m_pictures; // column * RowCount + row
    QString m_uncheckedText;
    QString m_checkedText;
    bool m_hovered = false;
};

// A button of the panels: the four-row sprite at the resource path, checkable
// or not, and never taking the keyboard focus, which stays with the shortcuts.
OctImgBtn* spriteButton(const QString& picture, bool checkable, QWidget* parent);
