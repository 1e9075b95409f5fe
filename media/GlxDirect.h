// Whether an OpenGL context renders directly, where the window system can
// tell (GLX); kept apart because the X11 headers clash with Qt's names.
#pragma once

class QOpenGLContext;

enum class DirectRendering { Yes, No, Unknown };

DirectRendering isDirectRendering(QOpenGLContext* context);
