// Where a widget of the program is on the screen: the program's windows are
// built again in the test, offscreen, by the program's own code, and each of
// those twins is matched by its size to a real window of the program. A
// widget's place in its twin, moved to the real window, is where to click.
#pragma once

#include "Desktop.h"

#include <QHash>
#include <QPoint>
#include <QRect>

class QWidget;

class ScreenMap {
public:
    // Finds the real window that has the size of `twin` (a top-level window
    // of the test); false, saying what there was, when none or several do.
    bool place(const QWidget* twin, const QList<ScreenWindow>& windows, QString* error);

    // A point of a widget inside a placed twin, on the screen.
    QPoint toScreen(const QWidget* widget, QPoint local) const;
    QPoint centre(const QWidget* widget) const;
    QRect rect(const QWidget* widget) const;

private:
    QHash<const QWidget*, QPoint> m_origins; // twin -> its real window's top left
};
