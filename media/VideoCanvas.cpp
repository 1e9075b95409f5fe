#include "VideoCanvas.h"

#include "GlxDirect.h"
#include "VideoPicture.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <GL/gl.h>

namespace {
// Platforms that draw widgets without a window system.
const QStringList kPlatformsWithoutGl{QStringLiteral("offscreen"), QStringLiteral("minimal")};
} // namespace

bool VideoCanvas::isAvailable()
{
    if (kPlatformsWithoutGl.contains(QGuiApplication::platformName()))
        return false;
    QOpenGLContext probe;
    return probe.create();
}

VideoCanvas::VideoCanvas()
{
    QSurfaceFormat wanted = format();
    wanted.setAlphaBufferSize(8);
    wanted.setDepthBufferSize(0);
    setFormat(wanted);
    // Clicks go through to the surface widget below, so that the main
    // window's context menu and tooltips work over the picture too.
    setFlag(Qt::WindowTransparentForInput);
}

VideoCanvas::~VideoCanvas()
{
    if (!isValid())
        return;
    makeCurrent();
    glDeleteTextures(1, &m_texture);
    glDeleteLists(m_displayList, 1);
    doneCurrent();
}

void VideoCanvas::setAspect(float ratio)
{
    m_aspect = ratio;
    update();
}

void VideoCanvas::setShowing(bool on)
{
    m_showing = on;
    update();
}

void VideoCanvas::upload(const VideoPicture& picture)
{
    if (!isValid())
        return;
    makeCurrent();
    glBindTexture(GL_TEXTURE_2D, m_texture);
    const GLvoid* pixels = picture.allocated ? picture.planes[0] : nullptr;
    // The texture's memory is made once for its size and then refilled.
    if (pixels && picture.width == m_textureWidth && picture.height == m_textureHeight) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        m_textureWidth = picture.width;
        m_textureHeight = picture.height;
    }
    // Left current: the paint that follows needs the same context.
    update();
}

void VideoCanvas::initializeGL()
{
    reportFormat();
    glShadeModel(GL_FLAT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Black until the first picture arrives.
    const GLubyte black[4] = {0, 0, 0, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, black);

    // The picture's first row is uploaded first and drawn at the top.
    m_displayList = glGenLists(1);
    glNewList(m_displayList, GL_COMPILE);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glEndList();
}

void VideoCanvas::reportFormat()
{
    const QSurfaceFormat obtained = context()->format();
    if (obtained.depthBufferSize() <= 0)
        qWarning("Could not get depth buffer; results will be suboptimal");
    if (obtained.redBufferSize() <= 0 || obtained.alphaBufferSize() <= 0)
        qWarning("Could not set rgba buffer; results will be suboptimal");
    if (isDirectRendering(context()) == DirectRendering::No)
        qWarning("Could not set direct rendering; results will be suboptimal");
    if (obtained.swapBehavior() == QSurfaceFormat::SingleBuffer)
        qWarning("Could not set double buffering; results will be suboptimal");
}

void VideoCanvas::resizeGL(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
}

void VideoCanvas::paintGL()
{
    glClear(GL_COLOR_BUFFER_BIT);
    // A surface that is off shows nothing rather than an untextured quad.
    if (!m_showing)
        return;
    glLoadIdentity();
    if (m_aspect > 0 && height() > 0) {
        const float widgetRatio = float(width()) / float(height());
        if (m_aspect > widgetRatio)
            glScalef(1.0f, widgetRatio / m_aspect, 1.0f);
        else
            glScalef(m_aspect / widgetRatio, 1.0f, 1.0f);
    }
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glCallList(m_displayList);
}
