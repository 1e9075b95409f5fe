// The gallery: renders every drawn widget in each of its states into PNG
// files, for people to look at. Run it once per device pixel ratio
// (QT_SCALE_FACTOR=1 and 2).
#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QList>
#include <QString>

class QWidget;

// One picture of a sheet with its caption under it.
struct Shot {
    QString caption;
    QImage image;
};

class Gallery {
public:
    explicit Gallery(const QString& directory);

    // The widget as it paints itself, at the screen's pixel density.
    static QImage grab(QWidget& widget);
    // Shots side by side (wrapping after `columns`) on a ground, captions below.
    static QImage sheet(const QList<Shot>& shots, const QColor& ground, int columns = 8);

    void save(const QString& name, const QImage& image);
    bool allWritten() const { return m_failures == 0; }
    int written() const { return m_written; }

private:
    QDir m_directory;
    int m_written = 0;
    int m_failures = 0;
};

// The panel palette behind most shots.
inline const QColor kPanelGround(244, 249, 252);

void shootControls(Gallery& gallery); // sliders, buttons, icons, scroll bar
void shootTabs(Gallery& gallery);     // tab bars and balloon
void shootViews(Gallery& gallery);    // panel, karaoke, list, text views
