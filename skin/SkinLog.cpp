#include "SkinLog.h"

Q_LOGGING_CATEGORY(lcSkin, "repeta.skin", QtCriticalMsg)
