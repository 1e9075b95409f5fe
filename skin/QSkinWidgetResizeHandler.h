// Moves a skinned window when it is dragged by its body and resizes it when
// it is dragged by a border zone, with the matching mouse cursors.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>

class QMouseEvent;
class QSkinObject;
class QWidget;

class QSkinWidgetResizeHandler : public QObject {
    Q_OBJECT

public:
    enum class Zone { None, TopLeft, BottomRight, BottomLeft, TopRight, Top, Bottom, Left, Right, Body };

    // Becomes a child of the window and filters its events; every press and
    // release it sees is reported to `skin` first.
    QSkinWidgetResizeHandler(QSkinObject* skin, QWidget* window, int gripWidth);

    int gripWidth() const { return grip; }
    Zone zone() const { return currentZone; }
    bool isDragging() const { return dragging; }

    // The zone under `pos` (window coordinates) of a window of `size`.
    static Zone zoneAt(QPoint pos, QSize size, int gripWidth);
    static Qt::CursorShape cursorFor(Zone zone);
    // While a popup menu is open, the handler lets every event through
    // without reporting it.
    static bool passesEventsThrough();
    // The smallest size that the window's size policy and layout allow.
    static QSize effectiveMinimumSize(const QWidget* window);

signals:
    void activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mousePress(const QMouseEvent* event);
    void mouseMove(const QMouseEvent* event);
    bool mouseRelease(const QMouseEvent* event);
    void updateZone(QPoint pos);
    void dragTo(QPoint globalPos);

    QPointer<QSkinObject> skin;
    QWidget* window;
    const int grip;
    Zone currentZone = Zone::None;
    bool dragging = false;
    QPoint pressOffset;               // press position in window coordinates
    QPoint pressOffsetFromBottomRight; // from the press to the last pixel
};
