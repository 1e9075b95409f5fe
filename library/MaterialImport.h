// The import of new materials into one level: the learner picks media files;
// each one with an LRC file beside it gets a name, both files are copied into
// the workspace (the LRC through the filter) and the material is added to
// the level's list, after which the page shows the list again.
#pragma once

#include "library/XmlHandler.h"

#include <QCoreApplication>
#include <QString>

class ListDocument;
class QWidget;
class TsWidget;

class MaterialImport {
    Q_DECLARE_TR_FUNCTIONS(MaterialImport)

public:
    // The dialogs open over `dialogParent`; `page` shows the list at `listPath`.
    MaterialImport(QWidget* dialogParent, TsWidget* page, const QString& listPath, ParseErrorReport report);

    // Returns the number of materials added to the list. An unreadable or
    // malformed list ends the import before any file is asked for; a media
    // file without its LRC file, or without a name, is skipped; all of this
    // without a message, with a trace for the developer.
    int run();

private:
    enum class Step { Added, Skipped, Stop };
    Step importOne(ListDocument& list, const QString& mediaPath);

    QWidget* dialogParent;
    TsWidget* page;
    QString listPath;
    ParseErrorReport errorReport;
};
