// The geometry that both drawn sliders share: a seeker (handle) centred on
// the end of the filled track, which runs between half a seeker from either edge.
#pragma once

#include <QSize>

struct SliderGeometry {
    int half = 0;       // half the seeker's width
    int trackWidth = 0; // T: the widget's width less a seeker
    int seekerTop = 0;
    int trackTop = 0;

    // Whether x lies on the track, ends included.
    bool onTrack(int x) const { return half <= x && x <= trackWidth + half; }
};

inline SliderGeometry sliderGeometry(const QSize& widget, const QSize& seeker, int trackHeight)
{
    SliderGeometry g;
    g.half = seeker.width() / 2;
    g.trackWidth = widget.width() - 2 * g.half;
    g.seekerTop = (widget.height() - seeker.height()) / 2;
    g.trackTop = g.seekerTop + (seeker.height() - trackHeight) / 2;
    return g;
}
