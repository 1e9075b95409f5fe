// Where the library keeps its materials and how it names them: the media and
// LRC files live in the workspace, and a material is named by its material
// path, "./workspace/" followed by the media file name.
#pragma once


#include <QCoreApplication>
#include <QString>

// The workspace, relative to the working directory. The controller takes a
// material path's file name back out by this prefix's length (12).
inline constexpr char kMaterialPrefix[] = "./workspace/";
inline constexpr char kWorkspaceFolder[] = "workspace";

// The material path of a list's `url`: a web address ("scheme://...") counts
// by the last component of its decoded path; anything else is a file name or
// a path, whose last component counts as written (a bare "lesson #1.mp3" is
// no URL with a fragment).
QString materialPathFromUrl(const QString& url);

struct [[nodiscard]] CopyResult {
    enum class Status {
        Copied,
        AlreadyThere, // the source is the destination: nothing to copy
        Failed,       // see `error`; the destination is as it was
    };
    Status status = Status::Copied;
    QString error;

    bool failed() const { return status == Status::Failed; }
};

// Copies a file byte for byte into the workspace (made when missing) under
// its own file name, replacing a file of that name. The copy goes through a
// temporary file that replaces the destination only when it was written whole.
CopyResult copyIntoWorkspace(const QString& source);

// The workspace file that copyIntoWorkspace writes for the source.
QString workspacePathFor(const QString& source);
