// The import of new materials into one level: the learner picks media files
// of any kind FFmpeg plays; each gets a name, is copied into the workspace with
// the sentence files beside it (byte for byte), and is added to the level's
// list. A media file without a sentence file gets one made from the pauses of
// its sound. Every file that is not imported is named with the reason.
#pragma once

#include "library/XmlHandler.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class ListDocument;
class QWidget;
class TsWidget;

class MaterialImport {
    Q_DECLARE_TR_FUNCTIONS(MaterialImport)

public:
    // The dialogs open over `dialogParent`; `page` shows the list at `listPath`.
    MaterialImport(QWidget* dialogParent, TsWidget* page, const QString& listPath, ParseErrorReport report);

    // Asks for the files and imports them; returns the number of materials
    // added to the list. An unreadable or malformed list ends the import
    // before any file is asked for.
    int run();

    // "name: reason" of each file that was not imported, in order.
    const QStringList& refusals() const { return m_refusals; }

private:
    enum class Step { Added, Skipped, Stop };
    int importFiles(ListDocument& list, const QStringList& mediaPaths);
    Step importOne(ListDocument& list, const QString& mediaPath);
    void refuse(const QString& mediaPath, const QString& reason);
    void reportRefusals() const;

    QWidget* dialogParent;
    TsWidget* page;
    QString listPath;
    ParseErrorReport errorReport;
    QStringList m_refusals;
};
