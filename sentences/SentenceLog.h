// Developer traces of the sentence reader and rewriter, off by default
// (QT_LOGGING_RULES="repeta.sentences.warning=true").
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSentences)
