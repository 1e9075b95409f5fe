// The dark blue of the artwork's captions, shared by every widget that draws
// text on the panel's light ground, so that they all read alike.
#pragma once

#include <QColor>

inline const QColor kPanelText(7, 53, 77);
