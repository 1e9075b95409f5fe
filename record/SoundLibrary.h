// PortAudio for the whole process: initialised once, at the first recording,
// and terminated at exit. Each initialisation probes every host API, which is
// slow and makes the JACK and ALSA back ends print about servers and cards
// that are not there; their messages go to the debug log instead.
#pragma once

#include <QString>

namespace soundlibrary {

// Initialises PortAudio unless it already is; false, with PortAudio's text,
// when it cannot be (then the next call tries again). Not thread-safe with
// itself: recordings start one at a time.
bool ensureInitialised(QString* error);

// PortAudio's text for one of its error codes.
QString errorText(int paError);

} // namespace soundlibrary
