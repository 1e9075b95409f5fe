// The export dialog on real recording folders: what refresh() shows, the
// target paths, the folder choice answered by the test, the dialog run
// modally and skinned, the message after writing, and the drawn bars.
#include "TestEnvironment.h"

#include "ModalDialogs.h"
#include "export/ExpProgBar.h"
#include "export/Exporter.h"
#include "skin/QSkinObject.h"
#include "widgets/OctImgBtn.h"

#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QTemporaryDir>

using testenv::ModalDialogs;

namespace {

const QString kInvalid = QStringLiteral("无效导出！");

bool touch(const QString& path)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("mp3") == 3;
}

QString piece(int index)
{
    return QStringLiteral("/shadowpieces/recordpiece%1.mp3").arg(index, 3, 10, QLatin1Char('0'));
}

// The colour that a bar shows at a point, drawn at one pixel per point.
QColor pixelOf(ExpProgBar& bar, QPoint at)
{
    return bar.grab().toImage().pixelColor(at);
}

// A dialog that never became the active modal widget is closed after this
// long, so that the failure does not hang the test.
constexpr int kGiveUpMs = 5000;

bool near(const QColor& a, const QColor& b, int tolerance = 24)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class ExporterTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir recordings;
    std::unique_ptr<Exporter> dialog;

    QString dir() const { return recordings.path(); }
    const ExporterForm& ui() const { return dialog->form(); }

    // Imitation recorded, 11 of 12 sentences, no retelling.
    void recordMost()
    {
        QVERIFY(touch(dir() + QStringLiteral("/imitatepieces/the-only-one.mp3")));
        for (int i = 0; i < 11; ++i)
            QVERIFY(touch(dir() + piece(i)));
        dialog->setSentenceCount(12);
        dialog->setMaterialDir(dir());
        dialog->refresh();
    }

    QStringList targets(const QString& preset = QString()) const
    {
        QString imitation = preset;
        QString repeat = preset;
        QString retelling = preset;
        QString comparison = preset;
        dialog->targetPaths(imitation, repeat, retelling, comparison);
        return {imitation, repeat, retelling, comparison};
    }

private slots:
    void init()
    {
        QVERIFY(recordings.isValid());
        QDir(dir()).removeRecursively();
        QVERIFY(QDir().mkpath(dir()));
        dialog = std::make_unique<Exporter>();
    }

    void cleanup() { dialog.reset(); }

    void skinnedFramelessToolWindow()
    {
        QCOMPARE(dialog->size(), QSize(444, 433));
        QCOMPARE(dialog->minimumSize(), QSize(444, 433));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("导出录音文件"));
        QCOMPARE(dialog->windowIconText(), QStringLiteral("146x32"));
        QCOMPARE(dialog->windowIcon().availableSizes().value(0), QSize(146, 32));
        QVERIFY(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(dialog->windowType(), Qt::Tool);
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
        // The skin file was found: the layout sits inside its frame.
        const SkinElements& skin = dialog->skin()->elements();
        QVERIFY(skin.top.height() > 0);
        QCOMPARE(dialog->contentsMargins(),
                 QMargins(skin.left.width(), skin.top.height(), skin.right.width(), skin.bottom.height()));
        QVERIFY(!dialog->isVisible()); // until exec()
        for (const OctImgBtn* button : {ui().btnChoDir, ui().btnExport, ui().btnCancel})
            QVERIFY(button->text().isEmpty());
    }

    // The fixed size holds all four rows: every widget of the group gets the
    // height it asks for, inside the group, overlapping none.
    void fourRowsFitTheFixedSize()
    {
        recordMost();
        dialog->layout()->activate();
        const QRect group = ui().groupBox->contentsRect();
        QVector<QRect> taken;
        for (const QWidget* widget : ui().groupBox->findChildren<QWidget*>()) {
            const QRect at = widget->geometry();
            const int needed = widget->hasHeightForWidth() ? widget->heightForWidth(at.width())
                                                           : widget->minimumSizeHint().height();
            QVERIFY2(group.contains(at) && at.height() >= needed,
                     qPrintable(QStringLiteral("%1: %2 px high, needs %3").arg(widget->objectName()).arg(at.height()).arg(needed)));
            for (const QRect& other : taken)
                QVERIFY2(!other.intersects(at), qPrintable(widget->objectName()));
            taken.append(at);
        }
        QCOMPARE(taken.size(), 20);
    }

    void runsModallyAndSaysNothingOnConfirmation()
    {
        recordMost();
        ui().expPath->setText(dir());
        dialog->refresh();
        bool modal = false;
        QWidget* focused = nullptr;
        ModalDialogs dialogs;
        const auto press = [&](const char* button) {
            return [&, button](QDialog* shown) {
                modal = shown == dialog.get();
                focused = QApplication::focusWidget();
                shown->findChild<OctImgBtn*>(QLatin1String(button))->click();
            };
        };
        dialogs.then(press("btnCancel")).then(press("btnExport"));
        for (const int confirmed : {0, 1}) {
            modal = false;
            QTimer::singleShot(kGiveUpMs, dialog.get(), &QDialog::reject);
            QCOMPARE(dialog->exec(), confirmed);
            QCOMPARE(dialog->wasConfirmed(), confirmed == 1);
            QVERIFY(modal);
            QCOMPARE(focused, ui().expPath);
            QVERIFY(!dialog->isVisible());
        }
        // The message about the writing is not the dialog's to give.
        QTest::qWait(5 * ModalDialogs::kPollMs);
        QCOMPARE(dialogs.seen.size(), 2);
        QCOMPARE(dialogs.unexpected, 0);
    }

    void refreshShowsWhatIsRecorded()
    {
        recordMost();
        QCOMPARE(ui().progImit->value(), 1);
        QCOMPARE(ui().progImit->text(), QStringLiteral("已录音"));
        QVERIFY(ui().imitFile->isEnabled());
        // The takes there are join; the bar says how many are missing.
        QCOMPARE(ui().progShad->text(), QStringLiteral("已录11/总共12句，1句未录"));
        QVERIFY(ui().shadFile->isEnabled());
        QCOMPARE(ui().progRete->value(), 0);
        QCOMPARE(ui().progRete->text(), QStringLiteral("未录音"));
        QVERIFY(!ui().reteFile->isEnabled());
        // A comparison needs only some of the sentences.
        QCOMPARE(ui().progComp->text(), QStringLiteral("可对照11句"));
        QVERIFY(ui().compFile->isEnabled());
        // No folder yet: the names stay as they are.
        QCOMPARE(ui().imitFile->text(), QString());
        QCOMPARE(ui().reteFile->text(), QString());

        QVERIFY(touch(dir() + piece(11)));
        QVERIFY(touch(dir() + QStringLiteral("/retellpieces/the-only-one.mp3")));
        dialog->setSentenceCount(-1); // keeps 12
        dialog->refresh();
        QCOMPARE(ui().progShad->text(), QStringLiteral("已录12/总共12句"));
        QVERIFY(ui().shadFile->isEnabled());
        QVERIFY(ui().reteFile->isEnabled());
        QCOMPARE(ui().progRete->text(), QStringLiteral("已录音"));
    }

    void onlySentenceRecordingsCount()
    {
        for (int i = 0; i < 11; ++i)
            QVERIFY(touch(dir() + piece(i)));
        // Nothing here is merged into the repeat export.
        QVERIFY(touch(dir() + QStringLiteral("/shadowpieces/recordpiece011.mp3.partial")));
        QVERIFY(touch(dir() + QStringLiteral("/shadowpieces/notes.txt")));
        QVERIFY(QDir().mkpath(dir() + QStringLiteral("/shadowpieces/recordpiece012.mp3")));
        dialog->setSentenceCount(12);
        dialog->setMaterialDir(dir());
        dialog->refresh();
        QCOMPARE(ui().progShad->value(), 11);
        QVERIFY(ui().shadFile->isEnabled());

        // Without sentences there is nothing to merge.
        dialog->setSentenceCount(0);
        dialog->setMaterialDir(dir() + QStringLiteral("/none"));
        dialog->refresh();
        QVERIFY(!ui().shadFile->isEnabled());
        QVERIFY(!ui().imitFile->isEnabled());
        QVERIFY(!ui().compFile->isEnabled());
    }

    void targetPathsFollowTheFolderAndNames()
    {
        recordMost();
        QCOMPARE(targets(QStringLiteral("unchanged")), QStringList(4, QStringLiteral("unchanged")));
        QVERIFY(!ui().btnExport->isEnabled());

        ui().expPath->setText(QStringLiteral("/out/导出"));
        dialog->refresh();
        QCOMPARE(ui().imitFile->text(), QStringLiteral("全文模仿.mp3"));
        QCOMPARE(ui().shadFile->text(), QStringLiteral("跟读训练.mp3"));
        QCOMPARE(ui().reteFile->text(), kInvalid);
        QCOMPARE(ui().compFile->text(), QStringLiteral("跟读对照.mp3"));
        QCOMPARE(targets(), (QStringList{QStringLiteral("/out/导出/全文模仿.mp3"), QStringLiteral("/out/导出/跟读训练.mp3"),
                                         QString(), QStringLiteral("/out/导出/跟读对照.mp3")}));
        QVERIFY(ui().btnExport->isEnabled());

        QVERIFY(touch(dir() + piece(11)));
        QVERIFY(touch(dir() + QStringLiteral("/retellpieces/the-only-one.mp3")));
        dialog->refresh();
        ui().shadFile->setText(QStringLiteral("mine.mp3"));
        QCOMPARE(targets(), (QStringList{QStringLiteral("/out/导出/全文模仿.mp3"), QStringLiteral("/out/导出/mine.mp3"),
                                         QStringLiteral("/out/导出/源语复述.mp3"), QStringLiteral("/out/导出/跟读对照.mp3")}));

        // A folder cleared again gives no targets at the root.
        ui().expPath->clear();
        QCOMPARE(targets(), QStringList(4, QString()));
        QVERIFY(!ui().btnExport->isEnabled());
    }

    void choosingAFolderResetsTheNames()
    {
        recordMost();
        ui().expPath->setText(QStringLiteral("/before"));
        dialog->refresh();
        ui().imitFile->setText(QStringLiteral("edited.mp3"));

        QFileDialog::Options options;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        ModalDialogs dialogs;
        dialogs.then([&](QDialog* shown) {
            auto* files = qobject_cast<QFileDialog*>(shown);
            options = files->options();
            mode = files->fileMode();
            ModalDialogs::chooseFolder(dir())(shown);
        });
        dialog->doChoDir();
        QCOMPARE(dialogs.unexpected, 0);
        QCOMPARE(dialogs.seen.value(0).title, QStringLiteral("选择目标文件夹"));
        QCOMPARE(mode, QFileDialog::Directory);
        QVERIFY(options.testFlag(QFileDialog::ShowDirsOnly));
        QCOMPARE(QDir::cleanPath(ui().expPath->text()), QDir::cleanPath(dir()));
        QCOMPARE(ui().imitFile->text(), QStringLiteral("全文模仿.mp3"));
        QCOMPARE(ui().reteFile->text(), kInvalid);

        // Cancelling leaves the folder and the names as they are.
        ui().imitFile->setText(QStringLiteral("edited.mp3"));
        dialogs.then(ModalDialogs::cancel());
        dialog->doChoDir();
        QCOMPARE(dialogs.seen.size(), 2);
        QCOMPARE(QDir::cleanPath(ui().expPath->text()), QDir::cleanPath(dir()));
        QCOMPARE(ui().imitFile->text(), QStringLiteral("edited.mp3"));
    }

    void resultMessages()
    {
        QWidget parent;
        {
            ModalDialogs dialogs;
            showExportResult(&parent, true, QString(), false); // cancelled
            QTest::qWait(3 * ModalDialogs::kPollMs);
            QVERIFY(dialogs.seen.isEmpty());
        }
        {
            ModalDialogs dialogs;
            dialogs.then(ModalDialogs::clickOk());
            showExportResult(&parent, true, QString(), true);
            QCOMPARE(dialogs.seen.size(), 1);
            QCOMPARE(dialogs.seen[0].title, QStringLiteral("提示"));
            QCOMPARE(dialogs.seen[0].text, QStringLiteral("导出成功"));
        }
        ModalDialogs dialogs;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        dialogs.then([&](QDialog* shown) {
            icon = qobject_cast<QMessageBox*>(shown)->icon();
            ModalDialogs::clickOk()(shown);
        });
        showExportResult(&parent, false, QStringLiteral("/full/disk/跟读训练.mp3"), true);
        QCOMPARE(dialogs.seen.size(), 1);
        QCOMPARE(icon, QMessageBox::Warning);
        QVERIFY(!dialogs.seen[0].text.contains(QStringLiteral("导出成功")));
        QVERIFY2(dialogs.seen[0].text.contains(QStringLiteral("/full/disk/跟读训练.mp3")), qPrintable(dialogs.seen[0].text));
    }

    void barDrawing()
    {
        const QColor ground(0xF7, 0xF7, 0xF7);
        ExpProgBar bar;
        bar.setFormat(QString()); // no text over the pixels looked at
        bar.resize(200, 20);
        bar.setRange(0, 4);
        bar.setValue(0);
        QCOMPARE(pixelOf(bar, QPoint(0, 0)), ground);
        QCOMPARE(pixelOf(bar, QPoint(100, 10)), ground);
        QVERIFY(near(pixelOf(bar, QPoint(100, 0)), QColor(0xB6, 0xCC, 0xDC), 80));

        bar.setValue(2);
        QCOMPARE(bar.filledFraction(), 0.5);
        QVERIFY(near(pixelOf(bar, QPoint(8, 10)), QColor(0x6C, 0xB1, 0xCF)));
        QVERIFY(near(pixelOf(bar, QPoint(95, 10)), QColor(0x11, 0x71, 0xA3)));
        QCOMPARE(pixelOf(bar, QPoint(150, 10)), ground);

        bar.setValue(4);
        QVERIFY(near(pixelOf(bar, QPoint(192, 10)), QColor(0x11, 0x71, 0xA3)));
        bar.setRange(0, 0); // an empty range fills nothing
        QCOMPARE(bar.filledFraction(), 0.0);

        bar.setRange(0, 1);
        bar.setValue(0);
        bar.setFormat(QStringLiteral("未录音"));
        const QImage text = bar.grab().toImage();
        int dark = 0;
        for (int x = 70; x < 130; ++x)
            dark += text.pixelColor(x, 10).lightness() < 100;
        QVERIFY(dark > 0);
    }
};

REPETA_TEST_MAIN(ExporterTest)
#include "tst_exporter.moc"
