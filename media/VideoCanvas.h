// The OpenGL side of the video surface: one RGBA texture at the picture's own
// size on a full-window quad, drawn in the aspect of the picture. (Converting
// YUV planes in a shader instead costs llvmpipe 1.7 times as much: sampling
// three textures per pixel outweighs the conversion it saves the CPU.) A native window of its own inside the
// surface widget: drawn straight to the screen, without the extra pass in
// which Qt composes an OpenGL widget into its window, which doubles the cost
// of every picture on a software renderer. Only made where the platform has
// OpenGL windows; elsewhere the surface stays a black widget.
#pragma once

#include <QOpenGLWindow>

#include <array>

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
    // What the next paint shows, drawn now: the last picture uploaded.
    QImage grabPicture();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    struct Texture {
        unsigned id = 0;
        int width = 0; // of the pixels it holds
        int height = 0;
        int filter = GL_LINEAR; // GL_NEAREST where it is drawn at its own size
    };
    void reportFormat();
    // The minifying and magnifying filter of `texture`, which is bound.
    void setFilter(Texture& texture, int filter);

    // Pictures go into the two textures in turn: refilling the one that the
    // last paint drew from would wait for the renderer to finish that paint.
    std::array<Texture, 2> m_textures;
    int m_shown = 0; // index of the texture with the last picture uploaded
    unsigned m_displayList = 0;
    int m_viewportWidth = 0; // device pixels
    int m_viewportHeight = 0;
    float m_aspect = -1.0f; // not positive: fill the window
    bool m_showing = false;
};
