// The settings file of a skin: an INI file whose group "Skin" names the SVG
// picture and gives the frame's colours, title font and window opacity.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

struct SkinSettings {
    QColor backgroundColor = Qt::black;    // "Hintergrundfarbe": the client area
    QColor titleColor = QColor(255, 100, 0); // "Titelfarbe": kept, drawn nowhere
    double alpha = 1.0;                    // "Alpha": window opacity, 0 to 1
    QFont titleFont = QFont(QStringLiteral("Arial"));
    QString skinPath;                      // absolute path of the SVG picture
    bool found = false;                    // whether the settings file exists
};

// Reads `settingsFile` relative to `programFolder`; a missing file or key
// gives that key's default, an unreadable value too.
SkinSettings readSkinSettings(const QString& programFolder, const QString& settingsFile);
