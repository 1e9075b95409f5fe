// The media engine's developer trace: silent unless "repeta.media" is enabled
// (QT_LOGGING_RULES="repeta.media=true"), since failures in playback are not
// the learner's concern.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMedia)
