// The export dialog: shows which of the three practice phases have
// recordings, and asks for the folder and the file names to export them to,
// with a fourth file that sets the model sentences beside their takes.
// It only returns the targets; the controller writes the files.
#pragma once

#include "controller/Contracts.h"
#include "export/ExporterForm.h"

#include <QDialog>
#include <QString>

#include <memory>

class QSkinObject;

class Exporter : public QDialog, public vExporter {
    Q_OBJECT

public:
    // Skinned with "./skin/exporter.ini"; centred on the desktop's available
    // area when it fits there. Hidden until exec().
    explicit Exporter(QWidget* parent = nullptr);
    ~Exporter() override;

    void setMaterialDir(const QString& dir) override;
    void refresh() override;
    void setSentenceCount(int count) override;
    int exec() override;
    // A phase yields a target only while its file name edit is enabled and
    // both the folder and its file name are filled in.
    void targetPaths(QString& imitation, QString& repeat, QString& retelling, QString& comparison) override;

    // After exec(): whether the learner confirmed the export.
    bool wasConfirmed() const { return result() == QDialog::Accepted; }

    const ExporterForm& form() const { return ui; }
    QSkinObject* skin() const { return skinning.get(); }

public slots:
    void doChoDir();

private:
    void resetFileNames();
    void updateExportButton();

    ExporterForm ui;
    QString materialDir;
    std::unique_ptr<QSkinObject> skinning;
};

// Tells the learner how a confirmed export went, once the controller has
// written it: "导出成功" when every target was written, otherwise a warning
// naming the target that could not be written. A cancelled export says
// nothing.
void showExportResult(QWidget* parent, bool written, const QString& failedTarget, bool confirmed);
