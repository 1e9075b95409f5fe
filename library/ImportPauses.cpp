#include "ImportPauses.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace {
// Short scans finish before a dialog would flash up.
constexpr int kDialogDelayMs = 500;
} // namespace

PauseSentences findSentencesWaiting(QWidget* dialogParent, const QString& mediaPath)
{
    PauseScanner scanner;
    PauseSentences result;
    result.error = QStringLiteral("cancelled");
    QEventLoop loop;
    QObject::connect(&scanner, &PauseScanner::sigScanned, &loop, [&](const QString&, const PauseSentences& found) {
        result = found;
        loop.quit();
    });
    QProgressDialog progress(QProgressDialog::tr("正在按停顿分句……"), QProgressDialog::tr("取消"), 0, 0, dialogParent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kDialogDelayMs);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    scanner.start(mediaPath);
    loop.exec();
    scanner.cancel();
    return result;
}
