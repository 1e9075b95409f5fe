#include "MaterialImport.h"

#include "library/LibraryLog.h"
#include "library/ListDocument.h"
#include "library/MaterialFiles.h"
#include "library/ImportPauses.h"
#include "library/TsWidget.h"

#include "decoder/MediaProbe.h"
#include "sentences/SentenceFinding.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// What the file dialog offers first; "all files" stays one click away, since
// anything FFmpeg opens with a sound is a material.
const char* const kMediaPatterns = "*.mp3 *.mp4 *.m4a *.aac *.m4v *.mkv *.webm *.ogg *.oga *.opus *.wav *.flac "
                                   "*.mov *.avi *.flv *.wmv *.wma *.rm *.rmvb *.mpg *.mpeg *.ts";

// The sentence files that belong to a media file: its stem followed by an
// optional language and a sentence file extension ("lesson.lrc",
// "lesson.en.srt", "lesson.zh-CN.vtt"). All of them travel with the media, so
// that the workspace finds the same file and the same translations.
QStringList sentenceFilesBeside(const QString& mediaPath)
{
    const QFileInfo media(mediaPath);
    const QString stem = media.completeBaseName();
    QStringList files;
    const QStringList candidates = media.dir().entryList(
        {stem + QStringLiteral(".*")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : candidates) {
        const QString suffix = QFileInfo(name).suffix().toLower();
        if (suffix == QLatin1String("lrc") || suffix == QLatin1String("srt") || suffix == QLatin1String("vtt"))
            files.append(media.dir().filePath(name));
    }
    return files;
}

} // namespace

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
    const QString filter = tr("媒体文件 (%1);;所有文件 (*)").arg(QLatin1String(kMediaPatterns));
    const QStringList chosen = QFileDialog::getOpenFileNames(dialogParent, tr("选择文件"), QString(), filter);
    return chosen.isEmpty() ? 0 : importFiles(list, chosen);
}

int MaterialImport::importFiles(ListDocument& list, const QStringList& mediaPaths)
{
    int added = 0;
    for (const QString& mediaPath : mediaPaths) {
        const Step step = importOne(list, mediaPath);
        if (step == Step::Stop)
            break;
        if (step == Step::Added) {
            ++added;
            if (!page->loadList(listPath, errorReport))
                qCWarning(lcLibrary) << "the list" << listPath << "does not parse after the import";
        }
    }
    reportRefusals();
    return added;
}

void MaterialImport::refuse(const QString& mediaPath, const QString& reason)
{
    qCWarning(lcLibrary) << "import refuses" << mediaPath << ":" << reason;
    m_refusals.append(tr("%1：%2").arg(QFileInfo(mediaPath).fileName(), reason));
}

void MaterialImport::reportRefusals() const
{
    if (m_refusals.isEmpty() || !dialogParent)
        return;
    QMessageBox::warning(dialogParent, tr("导入"), tr("以下文件没有导入：\n%1").arg(m_refusals.join(QLatin1Char('\n'))));
}

MaterialImport::Step MaterialImport::importOne(ListDocument& list, const QString& mediaPath)
{
    const MediaFacts facts = probeMedia(mediaPath);
    if (!facts.opened)
        return refuse(mediaPath, tr("不是能播放的媒体文件")), Step::Skipped;
    if (!facts.hasAudio)
        return refuse(mediaPath, tr("文件里没有声音")), Step::Skipped;

    const QString sentencePath = sentenceFileFor(mediaPath);
    const SentenceRead read = sentencePath.isEmpty() ? SentenceRead() : readSentenceFile(sentencePath);
    const QString mediaName = QFileInfo(mediaPath).fileName();
    const QString suggested = !read.file.title.trimmed().isEmpty() ? read.file.title.trimmed()
                                                                   : QFileInfo(mediaPath).completeBaseName();
    const QString sentenceNote = sentencePath.isEmpty() ? tr("没有句子文件，将按停顿自动分句")
                                                        : tr("句子文件：%1").arg(QFileInfo(sentencePath).fileName());
    bool confirmed = false;
    const QString title = QInputDialog::getText(dialogParent, tr("输入材料名"),
                                                tr("多媒体文件：%1\n%2\n请输入材料名：").arg(mediaName, sentenceNote),
                                                QLineEdit::Normal, suggested, &confirmed)
                              .trimmed();
    if (!confirmed)
        return Step::Skipped; // the learner's own choice, nothing to report
    if (title.isEmpty())
        return refuse(mediaPath, tr("没有材料名")), Step::Skipped;

    // A material without its media in the workspace could not be opened: it
    // does not go into the list.
    QStringList sources = sentenceFilesBeside(mediaPath);
    sources.prepend(mediaPath);
    for (const QString& source : std::as_const(sources)) {
        if (const CopyResult copied = copyIntoWorkspace(source); copied.failed())
            return refuse(mediaPath, copied.error), Step::Skipped;
    }
    if (sentencePath.isEmpty() || !read.ok || read.file.sentences.isEmpty()) {
        const PauseSentences found = findSentencesWaiting(dialogParent, workspacePathFor(mediaPath));
        if (!found.ok)
            qCWarning(lcLibrary) << "no sentences for" << mediaPath << ":" << found.error;
    }
    const ListResult written = list.addMaterial(title, mediaName);
    if (written.failed()) {
        // Later materials could not be written to the list either.
        qCWarning(lcLibrary) << "import stops:" << written.error;
        refuse(mediaPath, tr("无法写入材料列表"));
        return Step::Stop;
    }
    if (written.status != ListResult::Status::Done)
        return refuse(mediaPath, tr("这个列表没有可以放材料的分组")), Step::Skipped;
    return Step::Added;
}
