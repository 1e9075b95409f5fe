#include "VoicerImg.h"

#include <QCoreApplication>
#include <QWheelEvent>

VoicerImg::VoicerImg(QWidget* parent)
    : QLabel(parent)
{
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &VoicerImg::doHide);
}

void VoicerImg::setCompanion(QWidget* companion)
{
    if (m_companion)
        m_companion->removeEventFilter(this);
    m_companion = companion;
    if (m_companion)
        m_companion->installEventFilter(this);
    doHide();
}

void VoicerImg::addExtra(QWidget* extra)
{
    if (!m_extras[0])
        m_extras[0] = extra;
    else
        m_extras[1] = extra;
}

void VoicerImg::setExtrasVisible(bool visible)
{
    for (const QPointer<QWidget>& extra : m_extras) {
        if (extra)
            extra->setVisible(visible);
    }
}

void VoicerImg::reveal()
{
    m_companion->show();
    setExtrasVisible(false);
}

void VoicerImg::doHide()
{
    if (!m_companion || m_overIcon || m_overCompanion)
        return;
    m_companion->hide();
    setExtrasVisible(true);
}

bool VoicerImg::eventFilter(QObject* watched, QEvent* event)
{
    if (m_companion && watched == m_companion) {
        if (event->type() == QEvent::Enter) {
            m_overCompanion = true;
            reveal();
        } else if (event->type() == QEvent::Leave) {
            m_overCompanion = false;
            m_hideTimer.start(kHideDelayMs);
        }
    }
    return false;
}

void VoicerImg::enterEvent(QEnterEvent* event)
{
    if (m_companion) {
        m_overIcon = true;
        reveal();
    }
    QLabel::enterEvent(event);
}

void VoicerImg::leaveEvent(QEvent* event)
{
    if (m_companion) {
        m_overIcon = false;
        m_hideTimer.start(kHideDelayMs);
    }
    QLabel::leaveEvent(event);
}

// Turning the wheel over the icon moves the slider. The slider gets a copy:
// a forwarded event must not take part in the wheel's own propagation.
void VoicerImg::wheelEvent(QWheelEvent* event)
{
    if (!m_companion) {
        QLabel::wheelEvent(event);
        return;
    }
    QWheelEvent forwarded(event->position(), event->globalPosition(), event->pixelDelta(),
                          event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
                          event->inverted(), event->source());
    QCoreApplication::sendEvent(m_companion, &forwarded);
    event->setAccepted(forwarded.isAccepted());
}
