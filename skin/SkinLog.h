// The skin's developer trace ("repeta.skin"): a missing settings file or
// skin picture leaves an undrawn frame, and this says why.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSkin)
