// Joining MP3 recordings by their bytes: frames of the same stream format
// play back to back, so no re-encoding is needed.
#pragma once

#include <QString>
#include <QStringList>

// Writes the target from the sources in order; a source that cannot be read
// adds nothing. The target is replaced as a whole, so an existing longer file
// keeps no old bytes, and a failed write leaves it as it was. False when the
// target could not be written.
bool concatenateFiles(const QString& target, const QStringList& sources);
