// The OpenGL side of the video surface: one texture on a full-widget quad,
// drawn in the aspect of the picture. Only made where the platform can
// compose OpenGL widgets; elsewhere the surface stays a black widget.
#pragma once

#include <QOpenGLWidget>

struct VideoPicture;

class VideoCanvas : public QOpenGLWidget {
public:
    // Whether OpenGL widgets work here: Qt 6.4 crashes on the first repaint
    // of any window holding one where they do not (the offscreen platform).
    static bool isAvailable();

    explicit VideoCanvas(QWidget* parent);
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
    float m_aspect = -1.0f; // not positive: fill the widget
    bool m_showing = false;
};
