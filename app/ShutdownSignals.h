// SIGTERM and SIGINT (logout, Ctrl+C in a terminal) end the event loop the
// way closing the window does, so shutdown work still runs.
#pragma once

void quitOnShutdownSignals();
