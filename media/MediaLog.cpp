#include "MediaLog.h"

Q_LOGGING_CATEGORY(lcMedia, "repeta.media", QtCriticalMsg)
