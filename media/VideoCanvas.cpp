#include "VideoCanvas.h"

#include "GlxDirect.h"
#include "VideoPicture.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <GL/gl.h>

#include <cmath>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace {
constexpr int kBytesPerPixel = 4; // RGBA
constexpr int kBlackSide = 3; // pixels
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
    for (const Texture& texture : m_textures)
        glDeleteTextures(1, &texture.id);
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
    if (!isValid() || !picture.allocated || picture.pixelFormat != AV_PIX_FMT_RGBA)
        return;
    makeCurrent();
    m_shown = 1 - m_shown;
    Texture& texture = m_textures[size_t(m_shown)];
    glBindTexture(GL_TEXTURE_2D, texture.id);
    // Rows may be padded for the converter's vector code.
    glPixelStorei(GL_UNPACK_ROW_LENGTH, picture.lineSizes[0] / kBytesPerPixel);
    // The texture's memory is made once for its size and then refilled.
    if (picture.width == texture.width && picture.height == texture.height) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE,
                        picture.planes[0]);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     picture.planes[0]);
        texture.width = picture.width;
        texture.height = picture.height;
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // Left current: the paint that follows needs the same context.
    update();
}

QImage VideoCanvas::grabPicture()
{
    if (!isValid())
        return {};
    // Drawn into the back buffer without a swap: a paint requested by the
    // last upload may not have run yet.
    makeCurrent();
    paintGL();
    return grabFramebuffer();
}

void VideoCanvas::initializeGL()
{
    reportFormat();
    glShadeModel(GL_FLAT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // Pictures are opaque: blending would only cost the software renderer
    // a read of every pixel it writes.
    glDisable(GL_BLEND);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    // Black until the first picture arrives. Its sides are no powers of two,
    // as most pictures' are not: the renderer's shaders differ for those.
    const std::vector<GLubyte> black(kBlackSide * kBlackSide * kBytesPerPixel, 0);
    for (Texture& texture : m_textures) {
        glGenTextures(1, &texture.id);
        glBindTexture(GL_TEXTURE_2D, texture.id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture.filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, texture.filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kBlackSide, kBlackSide, 0, GL_RGBA, GL_UNSIGNED_BYTE, black.data());
        texture.width = kBlackSide;
        texture.height = kBlackSide;
    }

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

    // The software renderer compiles a shader for each filter when it first
    // draws with it: done here, not while the first pictures are due.
    glBindTexture(GL_TEXTURE_2D, m_textures[0].id);
    for (const GLint filter : {GL_NEAREST, GL_LINEAR}) {
        setFilter(m_textures[0], filter);
        glCallList(m_displayList);
    }
    glFinish();
}

void VideoCanvas::setFilter(Texture& texture, int filter)
{
    if (texture.filter == filter)
        return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    texture.filter = filter;
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
    m_viewportWidth = w;
    m_viewportHeight = h;
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
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    if (m_aspect > 0 && height() > 0) {
        const float widgetRatio = float(width()) / float(height());
        if (m_aspect > widgetRatio)
            scaleY = widgetRatio / m_aspect;
        else
            scaleX = m_aspect / widgetRatio;
        glScalef(scaleX, scaleY, 1.0f);
    }
    Texture& texture = m_textures[size_t(m_shown)];
    glBindTexture(GL_TEXTURE_2D, texture.id);
    // A picture drawn at its own size maps texel to pixel: the nearest texel
    // is then the same picture, and costs the software renderer a third less
    // than blending four.
    const bool ownSize = std::lround(m_viewportWidth * scaleX) == texture.width &&
                         std::lround(m_viewportHeight * scaleY) == texture.height;
    setFilter(texture, ownSize ? GL_NEAREST : GL_LINEAR);
    glCallList(m_displayList);
}
