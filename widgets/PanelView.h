// The frameless, translucent background window of the control panel: a left
// cap, a tiled middle and a right cap. While open, the library window lies
// beside it, and the right cap's lower part continues the middle.
#pragma once

#include <QPixmap>
#include <QWidget>

class PanelView : public QWidget {
    Q_OBJECT
public:
    explicit PanelView(QWidget* parent = nullptr);

    void setOpen(bool open);
    bool isOpen() const { return m_open; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_left;
    QPixmap m_middle;
    QPixmap m_right;
    bool m_open = false;
};
