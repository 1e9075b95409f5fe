#include "LibraryLog.h"

Q_LOGGING_CATEGORY(lcLibrary, "repeta.library", QtCriticalMsg)
