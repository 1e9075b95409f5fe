// Where a material's recordings live, relative to the working directory.
#pragma once

#include <QString>

// Library paths begin with this prefix (exactly 12 characters).
inline const QString kWorkspacePrefix = QStringLiteral("./workspace/");
inline const QString kRecordRoot = QStringLiteral("files");

// "files/" + the path less the workspace prefix for library materials. Any
// other path gets "files/external/" + its absolute path, so that two media of
// the same name in different folders never share recordings. The result never
// leaves "files/".
QString recordDirFor(const QString& mediaPath);

// The recording of a phase (0, 1, 2) and, for Listen & Repeat, of a sentence.
QString recordFileFor(const QString& recordDir, int phase, int sentence);

// Creates the recording folder and its three phase folders; false when any of
// them is missing afterwards.
bool makeRecordFolders(const QString& recordDir);
