#include "SentenceLog.h"

Q_LOGGING_CATEGORY(lcSentences, "repeta.sentences", QtCriticalMsg)
