#include "GlxDirect.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QtGui/qguiapplication_platform.h>
#include <QtGui/qopenglcontext_platform.h>

#if QT_CONFIG(xcb_glx_plugin)
#include <GL/glx.h>
#endif

DirectRendering isDirectRendering(QOpenGLContext* context)
{
#if QT_CONFIG(xcb_glx_plugin)
    auto* glx = context ? context->nativeInterface<QNativeInterface::QGLXContext>() : nullptr;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (glx && x11)
        return glXIsDirect(x11->display(), glx->nativeContext()) ? DirectRendering::Yes : DirectRendering::No;
#else
    Q_UNUSED(context);
#endif
    return DirectRendering::Unknown;
}
