#include "MaterialImport.h"

#include "library/LibraryLog.h"
#include "library/ListDocument.h"
#include "library/MaterialFiles.h"
#include "library/TsWidget.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>

MaterialImport::MaterialImport(QWidget* parent, TsWidget* shownPage, const QString& list, ParseErrorReport report)
    : dialogParent(parent)
    , page(shownPage)
    , listPath(list)
    , errorReport(report)
{
}

int MaterialImport::run()
{
    ListDocument list;
    if (const ListResult opened = list.open(listPath); opened.failed()) {
        qCWarning(lcLibrary) << "import stops:" << opened.error;
        return 0;
    }
    const QStringList chosen = QFileDialog::getOpenFileNames(dialogParent, tr("选择文件"), QString(),
                                                             tr("Media Files with Lrc (*.mp3 *.wmv *.flv *.rm)"));
    int added = 0;
    for (const QString& mediaPath : chosen) {
        const Step step = importOne(list, mediaPath);
        if (step == Step::Stop)
            break;
        if (step == Step::Added) {
            ++added;
            if (!page->loadList(listPath, errorReport))
                qCWarning(lcLibrary) << "the list" << listPath << "does not parse after the import";
        }
    }
    return added;
}

MaterialImport::Step MaterialImport::importOne(ListDocument& list, const QString& mediaPath)
{
    const QString lrcPath = lrcPathFor(mediaPath);
    if (!QFileInfo(lrcPath).isFile()) {
        qCWarning(lcLibrary) << "import skips" << mediaPath << "without" << lrcPath;
        return Step::Skipped;
    }
    const QString mediaName = QFileInfo(mediaPath).fileName();
    const QString title = QInputDialog::getText(
        dialogParent, tr("输入材料名"),
        tr("多媒体文件：%1\nLrc文件：%2\n请输入材料名：").arg(mediaName, QFileInfo(lrcPath).fileName()),
        QLineEdit::Normal, QString());
    if (title.isEmpty())
        return Step::Skipped;

    // A material without both files in the workspace could not be opened:
    // it does not go into the list.
    for (const auto& [source, filter] : {std::pair(lrcPath, CopyFilter::LrcStripped),
                                         std::pair(mediaPath, CopyFilter::Bytes)}) {
        if (const CopyResult copied = copyIntoWorkspace(source, filter); copied.failed()) {
            qCWarning(lcLibrary) << "import skips" << mediaPath << ":" << copied.error;
            return Step::Skipped;
        }
    }
    const ListResult written = list.addMaterial(title, mediaName);
    if (written.failed()) {
        // Later materials could not be written to the list either.
        qCWarning(lcLibrary) << "import stops:" << written.error;
        return Step::Stop;
    }
    return written.status == ListResult::Status::Done ? Step::Added : Step::Skipped;
}
