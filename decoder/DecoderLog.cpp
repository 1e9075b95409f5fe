#include "DecoderLog.h"

Q_LOGGING_CATEGORY(lcDecoder, "repeta.decoder", QtCriticalMsg)
