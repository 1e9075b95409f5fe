// The OpenGL side of the video surface: one texture on a full-window quad,
// drawn in the aspect of the picture. A native window of its own inside the
// surface widget: drawn straight to the screen, without the extra pass in
// which Qt composes an OpenGL widget into its window, which doubles the cost
// of every picture on a software renderer. Only made where the platform has
// OpenGL windows; elsewhere the surface stays a black widget.
#pragma once

#include <QOpenGLWindow>

struct VideoPicture;

class VideoCanvas : public QOpenGLWindow {
public:
    // Whether OpenGL windows work here. Not on the offscreen platform, where
    // Qt 6.4 also crashes on the first repaint of any OpenGL widget.
    static bool isAvailable();

    VideoCanvas();
    ~VideoCanvas() override;

    void setAspect(float ratio);
    void setShowing(bool on);
    // Puts the picture into the texture; the next paint shows it.
    void upload(const VideoPicture& picture);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    void reportFormat();

    unsigned m_displayList = 0;
    unsigned m_texture = 0;
    int m_textureWidth = 0; // of the pixels the texture holds
    int m_textureHeight = 0;
    float m_aspect = -1.0f; // not positive: fill the window
    bool m_showing = false;
};
