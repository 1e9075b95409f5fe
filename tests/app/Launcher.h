// The installed launcher as the desktop entry starts it, for a learner whose
// home is a scratch folder.
#pragma once

#include <QString>

// Starts `launcher` with `home` as HOME, waits for a visible window of the
// program and asks it to quit as a session does; its exit code, or -1 when
// it showed no window, crashed or did not quit.
int runLauncher(const QString& launcher, const QString& home);
