// SIGTERM and SIGINT (logout, Ctrl+C in a terminal) end the event loop the
// way closing the window does, so shutdown work still runs.
#pragma once

void quitOnShutdownSignals();
// Whether a signal came already: one that arrives while a start-up message
// box runs its own loop ends that loop, and the main loop must not start.
bool shutdownRequested();
