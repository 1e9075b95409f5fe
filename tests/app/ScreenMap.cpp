#include "ScreenMap.h"

#include <QWidget>

bool ScreenMap::place(const QWidget* twin, const QList<ScreenWindow>& windows, QString* error)
{
    QList<ScreenWindow> matching;
    QStringList seen;
    for (const ScreenWindow& window : windows) {
        seen.append(QStringLiteral("%1x%2").arg(window.geometry.width()).arg(window.geometry.height()));
        if (window.geometry.size() == twin->size())
            matching.append(window);
    }
    if (matching.size() != 1) {
        *error = QStringLiteral("%1 windows of %2x%3 (%4) among: %5")
                     .arg(matching.size())
                     .arg(twin->width())
                     .arg(twin->height())
                     .arg(twin->objectName(), seen.join(QLatin1Char(' ')));
        return false;
    }
    m_origins.insert(twin, matching.first().geometry.topLeft());
    return true;
}

QPoint ScreenMap::toScreen(const QWidget* widget, QPoint local) const
{
    const QWidget* twin = widget->window();
    if (!m_origins.contains(twin))
        qFatal("ScreenMap: the window of %s was not placed", qPrintable(widget->objectName())); // a fault of the test
    return m_origins.value(twin) + widget->mapTo(twin, local);
}

QPoint ScreenMap::centre(const QWidget* widget) const
{
    return toScreen(widget, widget->rect().center());
}

QRect ScreenMap::rect(const QWidget* widget) const
{
    return QRect(toScreen(widget, QPoint(0, 0)), widget->size());
}
