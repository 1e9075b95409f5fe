// The library's developer trace ("repeta.library"): failures that the learner
// is not told about, such as an import that stops at an unreadable list.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLibrary)
