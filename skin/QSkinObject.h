// Gives a window a frame drawn from an SVG skin: it makes the window
// frameless, draws the border, title and title-bar buttons into an
// off-screen picture, shapes the window to that picture's opaque pixels and
// acts on clicks of the buttons. Usage: construct, setSettingsPath(),
// startSkinning(); the user keeps the object as long as the window.
#pragma once

#include "skin/SkinGeometry.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

class QMouseEvent;
class QPainter;
class QSkinWidgetResizeHandler;
class QSvgRenderer;
class QWidget;

class QSkinObject : public QObject {
    Q_OBJECT

public:
    enum ButtonSet {
        MinimizeClose = 1,
        CloseOnly = 2,
        CloseHides = 3, // the close button hides the window; no icon, no title
    };

    QSkinObject(QWidget* window, ButtonSet buttons);
    ~QSkinObject() override;

    // The settings file, relative to the folder of the program's executable.
    void setSettingsPath(const QString& path);

    // Called by the resize handler for each left press and each release.
    void reportPress();
    void reportRelease(const QMouseEvent* event);

    QRect closeButtonRect() const { return closeRegion; }
    QRect minimizeButtonRect() const { return minimizeRegion; }
    QRect clientArea() const { return clientRect; }
    bool isMinimizeHovered() const { return minimizeHovered; }
    bool isCloseHovered() const { return closeHovered; }
    bool isMousePressed() const { return mousePressed; }
    const QPixmap& frame() const { return framePixmap; }
    const SkinElements& elements() const { return skin; }
    QSkinWidgetResizeHandler* handler() const;
    QColor backgroundFill() const { return backgroundColor; }
    QColor titleTextColor() const { return titleColor; }
    QFont titleTextFont() const { return titleFont; }
    double opacity() const { return alpha; }

public slots:
    void updateStyle();
    void updateButtons();
    void startSkinning();
    void stopSkinning();
    void setAlphaValue(double value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class TitleButton { None, Minimize, Close };

    // What the frame picture shows besides the skin: it is drawn again only
    // when one of these changed, since children that repaint over the
    // window's background repaint the window as well.
    struct FrameInputs {
        QSize size;
        qreal ratio = 0;
        QString title;
        QString iconText;
        qint64 iconKey = 0;
        bool minimizeHovered = false;
        bool closeHovered = false;
        bool mousePressed = false;
        bool operator==(const FrameInputs& other) const;
    };
    FrameInputs currentInputs() const;

    void readSettings();
    void renderElement(QPainter& painter, const QString& id, const QRect& target) const;
    void drawIconAndTitle(QPainter& painter) const;
    void updateButtonRects();
    void updateHover(QPoint pos);
    void clearHover();
    void act(TitleButton button);
    QString buttonImage(const char* button, bool hovered) const;
    QSize ownMinimumSize() const;

    QPointer<QWidget> skinWidget;
    const ButtonSet buttonSet;
    QString settingsPath; // the settings file as given
    QString skinPath;     // the SVG file that it names
    QSvgRenderer* renderer = nullptr;
    SkinElements skin;
    QPixmap framePixmap;
    QFont titleFont;
    QColor titleColor;
    QColor backgroundColor;
    double alpha = 1.0;
    QRect clientRect;
    QRect minimizeRegion;
    QRect closeRegion;
    bool minimizeHovered = false;
    bool closeHovered = false;
    bool mousePressed = false;
    QSize userMinimumSize; // the window's own minimum before skinning
    FrameInputs drawnInputs;
    bool frameStale = true; // the skin was read since the frame was drawn
    QPointer<QSkinWidgetResizeHandler> resizeHandler;
};
