// The decoder's developer trace: silent unless "repeta.decoder" is enabled
// (QT_LOGGING_RULES="repeta.decoder=true"); what cannot be decoded is left
// out without troubling the learner.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDecoder)
