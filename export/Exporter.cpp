#include "Exporter.h"

#include "export/ExpProgBar.h"
#include "skin/QSkinObject.h"
#include "widgets/OctImgBtn.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

namespace {

constexpr int kDialogWidthPx = 444;
constexpr int kDialogHeightPx = 433;

// What the controller merges into the repeat export; other files in the
// folder (a stray copy, a recording still being written) are not counted.
const QRegularExpression& sentenceRecordingName()
{
    static const QRegularExpression name(QStringLiteral("^recordpiece\\d{3}\\.mp3$"));
    return name;
}

int sentenceRecordings(const QString& folder)
{
    const QStringList files = QDir(folder).entryList(QDir::Files);
    return int(std::count_if(files.cbegin(), files.cend(),
                             [](const QString& file) { return sentenceRecordingName().match(file).hasMatch(); }));
}

QString joined(const QLineEdit* folder, const QLineEdit* fileName)
{
    if (!fileName->isEnabled() || folder->text().isEmpty() || fileName->text().isEmpty())
        return QString();
    return QStringLiteral("%1/%2").arg(folder->text(), fileName->text());
}

} // namespace

Exporter::Exporter(QWidget* parent)
    : QDialog(parent)
    , skinning(std::make_unique<QSkinObject>(this, QSkinObject::CloseOnly))
{
    ui.setupUi(this);
    setWindowTitle(tr("导出录音文件"));
    setWindowIcon(QIcon(QStringLiteral(":/images/bg-export-wndicon.png")));
    // The skin reads the icon text as the size at which it draws the icon.
    setWindowIconText(QStringLiteral("146x32"));
    resize(kDialogWidthPx, kDialogHeightPx);
    setMinimumSize(kDialogWidthPx, kDialogHeightPx);
    ui.progImit->setMaximum(1);
    ui.progRete->setMaximum(1);
    ui.progComp->setFormat(tr("可对照%v句"));

    connect(ui.btnExport, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(ui.btnCancel, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(ui.btnChoDir, &QAbstractButton::clicked, this, &Exporter::doChoDir);
    for (QLineEdit* edit : {ui.expPath, ui.imitFile, ui.shadFile, ui.reteFile, ui.compFile})
        connect(edit, &QLineEdit::textChanged, this, &Exporter::updateExportButton);

    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    if (desktop.width() >= width() && desktop.height() >= height())
        move(desktop.center() - rect().center());

    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    skinning->setSettingsPath(QStringLiteral("./skin/exporter.ini"));
    skinning->startSkinning();
    // The skin shows the window; a dialog shown before exec() would not be
    // modal.
    hide();
    ui.expPath->setFocus();
    refresh();
}

Exporter::~Exporter() = default;

void Exporter::setMaterialDir(const QString& dir)
{
    materialDir = dir;
}

void Exporter::setSentenceCount(int count)
{
    if (count == -1)
        return;
    ui.progShad->setMaximum(count);
    ui.progComp->setMaximum(count);
}

int Exporter::exec()
{
    return QDialog::exec();
}

void Exporter::refresh()
{
    // Without a material there are no recordings (and no folder to look in:
    // "" + "/imitatepieces" would be the root's).
    const bool known = !materialDir.isEmpty();
    const struct {
        ExpProgBar* bar;
        QLineEdit* fileName;
        QString recording;
    } single[] = {
        {ui.progImit, ui.imitFile, materialDir + QStringLiteral("/imitatepieces/the-only-one.mp3")},
        {ui.progRete, ui.reteFile, materialDir + QStringLiteral("/retellpieces/the-only-one.mp3")},
    };
    for (const auto& phase : single) {
        const bool recorded = known && QFileInfo(phase.recording).isFile();
        phase.bar->setValue(recorded ? 1 : 0);
        phase.bar->setFormat(recorded ? tr("已录音") : tr("未录音"));
        phase.fileName->setEnabled(recorded);
    }

    ExpProgBar* sentences = ui.progShad;
    const int recorded = known ? sentenceRecordings(materialDir + QStringLiteral("/shadowpieces/")) : 0;
    sentences->setValue(qMin(recorded, sentences->maximum()));
    // The takes there are join in sentence order; the bar says how many are missing.
    const int missing = sentences->maximum() - sentences->value();
    sentences->setFormat(missing > 0 ? tr("已录%v/总共%m句，%1句未录").arg(missing) : tr("已录%v/总共%m句"));
    ui.shadFile->setEnabled(sentences->value() > 0);
    // A comparison needs only one take to set beside its sentence.
    ui.progComp->setValue(sentences->value());
    ui.compFile->setEnabled(sentences->value() > 0);

    if (!ui.expPath->text().isEmpty())
        resetFileNames();
    updateExportButton();
    update();
}

void Exporter::doChoDir()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("选择目标文件夹"), QString(),
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    ui.expPath->setText(folder);
    resetFileNames();
}

void Exporter::resetFileNames()
{
    const struct {
        QLineEdit* edit;
        QString defaultName;
    } names[] = {
        {ui.imitFile, tr("全文模仿.mp3")},
        {ui.shadFile, tr("跟读训练.mp3")},
        {ui.reteFile, tr("源语复述.mp3")},
        {ui.compFile, tr("跟读对照.mp3")},
    };
    for (const auto& name : names)
        name.edit->setText(name.edit->isEnabled() ? name.defaultName : tr("无效导出！"));
}

void Exporter::targetPaths(QString& imitation, QString& repeat, QString& retelling, QString& comparison)
{
    const struct {
        QString& target;
        const QLineEdit* fileName;
    } targets[] = {
        {imitation, ui.imitFile}, {repeat, ui.shadFile}, {retelling, ui.reteFile}, {comparison, ui.compFile}};
    for (const auto& phase : targets) {
        const QString path = joined(ui.expPath, phase.fileName);
        if (!path.isEmpty())
            phase.target = path;
    }
}

// Confirming is offered only when it would export something: a folder
// left empty would put the files at the root of the file system.
void Exporter::updateExportButton()
{
    bool any = false;
    for (const QLineEdit* fileName : {ui.imitFile, ui.shadFile, ui.reteFile, ui.compFile})
        any = any || !joined(ui.expPath, fileName).isEmpty();
    ui.btnExport->setEnabled(any);
}

void showExportResult(QWidget* parent, bool written, const QString& failedTarget, bool confirmed)
{
    if (!confirmed)
        return;
    if (written) {
        QMessageBox::information(parent, Exporter::tr("提示"), Exporter::tr("导出成功"), QMessageBox::Ok);
        return;
    }
    QMessageBox::warning(parent, Exporter::tr("提示"),
                         Exporter::tr("导出失败：无法写入文件\n%1").arg(QDir::toNativeSeparators(failedTarget)),
                         QMessageBox::Ok);
}
