#include "QSkinObject.h"

#include "QSkinWidgetResizeHandler.h"
#include "SkinLog.h"
#include "SkinSettings.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QWidget>

namespace {

constexpr Qt::WindowFlags kSkinnedHints =
    Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

// The opaque pixels of the frame in window coordinates, whatever the
// density the frame was drawn at.
QBitmap opaquePixels(const QPixmap& frame, QSize windowSize)
{
    QImage image = frame.toImage();
    if (image.size() != windowSize)
        image = image.scaled(windowSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return QBitmap::fromImage(image.createAlphaMask());
}

} // namespace

QSkinObject::QSkinObject(QWidget* window, ButtonSet buttons)
    : QObject(nullptr)
    , skinWidget(window)
    , buttonSet(buttons)
{
    // The window keeps its type (a dialog stays a dialog).
    window->setWindowFlags((window->windowFlags() & Qt::WindowType_Mask) | kSkinnedHints);
}

QSkinObject::~QSkinObject()
{
    delete resizeHandler.data();
}

QSkinWidgetResizeHandler* QSkinObject::handler() const
{
    return resizeHandler;
}

void QSkinObject::setSettingsPath(const QString& path)
{
    settingsPath = path;
    if (skinWidget)
        skinWidget->update();
}

void QSkinObject::readSettings()
{
    const SkinSettings settings = readSkinSettings(QCoreApplication::applicationDirPath(), settingsPath);
    if (!settings.found)
        qCWarning(lcSkin) << "no skin settings" << settingsPath << "beside" << QCoreApplication::applicationDirPath();
    backgroundColor = settings.backgroundColor;
    titleColor = settings.titleColor;
    alpha = settings.alpha;
    titleFont = settings.titleFont;
    skinPath = settings.skinPath;

    delete renderer;
    renderer = new QSvgRenderer(this);
    if (!QFileInfo(skinPath).isFile() || !renderer->load(skinPath))
        qCWarning(lcSkin) << "cannot load the skin picture" << skinPath;
    skin = SkinElements::fromRenderer(*renderer);
    frameStale = true;
}

void QSkinObject::startSkinning()
{
    if (!skinWidget)
        return;
    readSettings();
    const QPoint position = skinWidget->pos();
    skinWidget->setMouseTracking(true);
    skinWidget->setContentsMargins(frameMargins(skin));
    if (!resizeHandler)
        userMinimumSize = skinWidget->minimumSize();

    skinWidget->removeEventFilter(this);
    skinWidget->installEventFilter(this);
    delete resizeHandler.data();
    // Installed after this object, so it sees each event first.
    resizeHandler = new QSkinWidgetResizeHandler(this, skinWidget, gripWidthFor(skin, closeRegion.height()));
    // A window that was shown before gets no resize event to place its buttons.
    updateButtonRects();

    skinWidget->setWindowOpacity(alpha);
    skinWidget->show();
    skinWidget->move(position);
}

void QSkinObject::stopSkinning()
{
    if (!skinWidget)
        return;
    skinWidget->setContentsMargins(0, 0, 0, 0);
    skinWidget->clearMask();
    skinWidget->setAttribute(Qt::WA_TranslucentBackground, false);
    skinWidget->setWindowFlags((skinWidget->windowFlags() & Qt::WindowType_Mask) | kSkinnedHints
                               | Qt::WindowMaximizeButtonHint);
    skinWidget->removeEventFilter(this);
    if (resizeHandler) {
        delete resizeHandler.data();
        skinWidget->setMinimumSize(userMinimumSize);
    }
    skinWidget->setMouseTracking(false);
    setAlphaValue(1.0);
    skinWidget->show();
}

void QSkinObject::setAlphaValue(double value)
{
    alpha = value;
    if (skinWidget)
        skinWidget->setWindowOpacity(value);
}

QSize QSkinObject::ownMinimumSize() const
{
    QSize minimum = userMinimumSize;
    if (const QLayout* layout = skinWidget->layout())
        minimum = minimum.expandedTo(layout->totalMinimumSize());
    return minimum;
}

void QSkinObject::renderElement(QPainter& painter, const QString& id, const QRect& target) const
{
    if (renderer && !target.isEmpty() && renderer->elementExists(id))
        renderer->render(&painter, id, QRectF(target));
}

void QSkinObject::updateStyle()
{
    if (!skinWidget)
        return;
    // The frame's own minimum must not undo the window's or its layout's.
    skinWidget->setMinimumSize(frameMinimumSize(skin).expandedTo(ownMinimumSize()));
    const FrameInputs inputs = currentInputs();
    const QSize size = inputs.size;
    if (size.isEmpty() || (!frameStale && inputs == drawnInputs && !framePixmap.isNull()))
        return;
    drawnInputs = inputs;
    frameStale = false;
    const qreal ratio = inputs.ratio;
    framePixmap = QPixmap(size * ratio);
    framePixmap.setDevicePixelRatio(ratio);
    framePixmap.fill(Qt::transparent);

    QPainter painter(&framePixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const FramePiece& piece : framePieces(skin, size))
        renderElement(painter, piece.element, piece.target);
    clientRect = ::clientArea(skin, size);
    painter.fillRect(clientRect, backgroundColor);
    painter.setFont(titleFont);
    painter.setPen(QPen(Qt::white, 1));
    if (buttonSet != CloseHides)
        drawIconAndTitle(painter);
    painter.end();

    skinWidget->setMask(opaquePixels(framePixmap, size));
    updateButtons();
}

bool QSkinObject::FrameInputs::operator==(const FrameInputs& o) const
{
    return size == o.size && ratio == o.ratio && title == o.title && iconText == o.iconText
           && iconKey == o.iconKey && minimizeHovered == o.minimizeHovered && closeHovered == o.closeHovered
           && mousePressed == o.mousePressed;
}

QSkinObject::FrameInputs QSkinObject::currentInputs() const
{
    FrameInputs inputs;
    inputs.size = skinWidget->size();
    inputs.ratio = skinWidget->devicePixelRatioF();
    inputs.title = skinWidget->windowTitle();
    inputs.iconText = skinWidget->windowIconText();
    inputs.iconKey = skinWidget->windowIcon().cacheKey();
    inputs.minimizeHovered = minimizeHovered;
    inputs.closeHovered = closeHovered;
    inputs.mousePressed = mousePressed;
    return inputs;
}

void QSkinObject::drawIconAndTitle(QPainter& painter) const
{
    const QIcon icon = skinWidget->windowIcon();
    const qreal ratio = framePixmap.devicePixelRatio();
    const QString iconText = skinWidget->windowIconText();
    if (iconText.isEmpty()) {
        const QRect iconRect = titleIconArea(skin);
        painter.drawPixmap(iconRect, icon.pixmap(iconRect.size(), ratio));
        const QRect textRect = titleArea(skin, skinWidget->size(), closeRegion.width());
        const QString title = painter.fontMetrics().elidedText(skinWidget->windowTitle(), Qt::ElideRight,
                                                               textRect.width());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, title);
        return;
    }
    // An icon text names the size of a wide icon that replaces the title.
    const QSize iconSize = iconSizeFromText(iconText);
    if (iconSize.isEmpty())
        return;
    painter.drawPixmap(sizedIconArea(skin, iconSize), icon.pixmap(iconSize, ratio));
}

QString QSkinObject::buttonImage(const char* button, bool hovered) const
{
    const char* state = !hovered ? "_button_normal" : mousePressed ? "_button_pressed" : "_button_hover";
    return QLatin1String(button) + QLatin1String(state);
}

void QSkinObject::updateButtons()
{
    if (framePixmap.isNull())
        return;
    QPainter painter(&framePixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (buttonSet == MinimizeClose)
        renderElement(painter, buttonImage("minimize", minimizeHovered), minimizeRegion);
    renderElement(painter, buttonImage("close", closeHovered), closeRegion);
}

void QSkinObject::updateButtonRects()
{
    const int width = skinWidget->width();
    closeRegion = closeButtonArea(skin, width);
    minimizeRegion = buttonSet == MinimizeClose ? minimizeButtonArea(skin, width) : QRect();
}

void QSkinObject::updateHover(QPoint pos)
{
    const auto track = [this, pos](bool& hovered, const QRect& rect) {
        const bool inside = rect.contains(pos);
        if (inside == hovered)
            return;
        hovered = inside;
        skinWidget->repaint(rect);
    };
    if (buttonSet == MinimizeClose)
        track(minimizeHovered, minimizeRegion);
    track(closeHovered, closeRegion);
}

void QSkinObject::clearHover()
{
    minimizeHovered = false;
    closeHovered = false;
}

void QSkinObject::reportPress()
{
    mousePressed = true;
    skinWidget->update();
}

void QSkinObject::reportRelease(const QMouseEvent* event)
{
    if (mousePressed)
        skinWidget->update(); // the pressed image goes
    mousePressed = false;
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    TitleButton found = TitleButton::None;
    if (closeRegion.contains(pos))
        found = TitleButton::Close;
    else if (buttonSet == MinimizeClose && minimizeRegion.contains(pos))
        found = TitleButton::Minimize;
    if (releaseMayAct(skin, pos, skinWidget->width(), closeRegion.height()))
        act(found);
}

void QSkinObject::act(TitleButton button)
{
    switch (button) {
    case TitleButton::None:
        break;
    case TitleButton::Minimize:
        skinWidget->setWindowState(Qt::WindowMinimized);
        break;
    case TitleButton::Close: {
        if (buttonSet == CloseHides) {
            skinWidget->hide();
            skinWidget->setWindowState(Qt::WindowNoState);
            break;
        }
        // Closing may delete the window, or this object with it.
        const QPointer<QSkinObject> self(this);
        skinWidget->close();
        if (self && skinWidget)
            skinWidget->setWindowState(Qt::WindowMinimized);
        break;
    }
    }
}

bool QSkinObject::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != skinWidget)
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        updateStyle();
        QPainter painter(skinWidget);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawPixmap(0, 0, framePixmap);
        break;
    }
    case QEvent::Resize:
        updateButtonRects();
        break;
    case QEvent::MouseMove:
        updateHover(static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
    case QEvent::Show:
        clearHover();
        break;
    case QEvent::Leave:
        // Without this a button left quickly would stay lit until the next move.
        if (minimizeHovered || closeHovered) {
            clearHover();
            skinWidget->update();
        }
        break;
    case QEvent::MouseButtonRelease:
        // The resize handler reports every release it does not let through.
        if (!resizeHandler || QSkinWidgetResizeHandler::passesEventsThrough())
            reportRelease(static_cast<QMouseEvent*>(event));
        break;
    default:
        break;
    }
    return false;
}
