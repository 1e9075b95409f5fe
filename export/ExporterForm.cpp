#include "ExporterForm.h"

#include "export/ExpProgBar.h"
#include "resources/Artwork.h"
#include "widgets/OctImgBtn.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMargins>
#include <QVBoxLayout>

namespace {

constexpr int kSpriteRows = 4; // normal, hovered, pressed, disabled
constexpr int kBarHeightPx = 18;
constexpr int kFileEditWidthPx = 112;
// Room inside the frame: the dialog keeps its fixed size, so the margins are
// what the four rows' two-line hints leave over.
constexpr QMargins kMarginsPx(12, 4, 12, 10);
constexpr QMargins kGroupMarginsPx(0, 6, 0, 2);
constexpr int kSpacingPx = 6;
constexpr int kPhaseSpacingPx = 6; // between the phases in the group
constexpr int kPhaseLineSpacingPx = 2; // between a phase's two lines
const QColor kHintColour(0x6B, 0x7F, 0x8C);
constexpr qreal kHintSmallerPt = 1;

const char* const kEditStyleSheet =
    "QLineEdit { border: 1px solid #b6ccdc; border-radius: 3px; padding: 1px 4px; background: #ffffff; }"
    "QLineEdit:focus { border-color: #1878a4; }"
    "QLineEdit:disabled { background: #eef3f6; color: #8a9aa5; }";

QString translated(const char* text)
{
    return QCoreApplication::translate("ExporterForm", text);
}

QLabel* newLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLabel* newHint(QWidget* parent, const char* name, const QString& text)
{
    QLabel* hint = newLabel(parent, name, text);
    hint->setWordWrap(true);
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() - kHintSmallerPt);
    hint->setFont(small);
    QPalette palette = hint->palette();
    palette.setColor(QPalette::WindowText, kHintColour);
    hint->setPalette(palette);
    return hint;
}

ExpProgBar* newBar(QWidget* parent, const char* name)
{
    auto* bar = new ExpProgBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setAlignment(Qt::AlignCenter);
    bar->setFixedHeight(kBarHeightPx);
    return bar;
}

QLineEdit* newEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

OctImgBtn* newButton(QWidget* parent, const char* name, const char* sprite)
{
    auto* button = new OctImgBtn(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(QString());
    button->setSprite(loadArtwork(QLatin1String(sprite)), kSpriteRows);
    return button;
}

// One phase in the group: its rule and bar on a line, its hint beside the
// file name under them.
void addPhase(QGridLayout* grid, int row, QLabel* rule, ExpProgBar* bar, QLabel* hint, QLabel* nameLabel,
              QLineEdit* fileName)
{
    grid->addWidget(rule, row, 0);
    grid->addWidget(bar, row, 1, 1, 2);
    grid->addWidget(hint, row + 1, 0);
    grid->addWidget(nameLabel, row + 1, 1);
    grid->addWidget(fileName, row + 1, 2);
    fileName->setFixedWidth(kFileEditWidthPx);
}

} // namespace

void ExporterForm::setupUi(QDialog* dialog)
{
    dialog->setStyleSheet(QLatin1String(kEditStyleSheet));

    label_4 = newLabel(dialog, "label_4", translated("为什么要导出录音？"));
    QFont bold = label_4->font();
    bold.setBold(true);
    label_4->setFont(bold);
    label_8 = newLabel(dialog, "label_8",
                       translated("对同一模式（以及同一段落）的重复录音，新的会覆盖旧的。\n"
                                  "将您想保留的录音导出，就能放心覆盖了。"));

    groupBox = new QGroupBox(dialog);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    groupBox->setFlat(true); // a rule under the explanation, not a box
    label_12 = newLabel(groupBox, "label_12", translated("全文模仿：录音文件存在时导出有效"));
    label_13 = newLabel(groupBox, "label_13", translated("跟读训练：有录音的句子按顺序合并导出"));
    label_14 = newLabel(groupBox, "label_14", translated("复述练习：录音文件存在时导出有效"));
    label_15 = newLabel(groupBox, "label_15", translated("跟读对照：有句子录音时导出有效"));
    label_9 = newHint(groupBox, "label_9", translated("请比较原文和录音的时长。正常情况下，二者应相差不大。"));
    label_10 = newHint(groupBox, "label_10", translated("全部句子的录音都存在时，全部句子录音可合并导出成一个文件。"));
    label_11 = newHint(groupBox, "label_11", translated("请比较原文和录音的时长。二者相差大时，录音文件可能不正确。"));
    label_16 = newHint(groupBox, "label_16", translated("原句与录音逐句交替，合并导出成一个文件。"));
    progImit = newBar(groupBox, "progImit");
    progShad = newBar(groupBox, "progShad");
    progRete = newBar(groupBox, "progRete");
    progComp = newBar(groupBox, "progComp");
    label = newLabel(groupBox, "label", translated("文件名"));
    label_2 = newLabel(groupBox, "label_2", translated("文件名"));
    label_3 = newLabel(groupBox, "label_3", translated("文件名"));
    label_5 = newLabel(groupBox, "label_5", translated("文件名"));
    imitFile = newEdit(groupBox, "imitFile");
    shadFile = newEdit(groupBox, "shadFile");
    reteFile = newEdit(groupBox, "reteFile");
    compFile = newEdit(groupBox, "compFile");

    auto* grid = new QGridLayout(groupBox);
    grid->setContentsMargins(kGroupMarginsPx);
    grid->setHorizontalSpacing(kSpacingPx);
    grid->setVerticalSpacing(kPhaseLineSpacingPx);
    addPhase(grid, 0, label_12, progImit, label_9, label, imitFile);
    grid->setRowMinimumHeight(2, kPhaseSpacingPx);
    addPhase(grid, 3, label_13, progShad, label_10, label_2, shadFile);
    grid->setRowMinimumHeight(5, kPhaseSpacingPx);
    addPhase(grid, 6, label_14, progRete, label_11, label_3, reteFile);
    grid->setRowMinimumHeight(8, kPhaseSpacingPx);
    addPhase(grid, 9, label_15, progComp, label_16, label_5, compFile);
    grid->setColumnStretch(0, 1);

    label_7 = newLabel(dialog, "label_7", translated("导出到"));
    expPath = newEdit(dialog, "expPath");
    btnChoDir = newButton(dialog, "btnChoDir", ":/images/btn-exporter-scan.png");
    auto* target = new QHBoxLayout;
    target->setSpacing(kSpacingPx);
    target->addWidget(label_7);
    target->addWidget(expPath, 1);
    target->addWidget(btnChoDir);

    btnExport = newButton(dialog, "btnExport", ":/images/btn-exporter-export.png");
    btnCancel = newButton(dialog, "btnCancel", ":/images/btn-exporter-cancel.png");
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kSpacingPx * 2);
    buttons->addStretch(1);
    buttons->addWidget(btnExport);
    buttons->addWidget(btnCancel);

    auto* column = new QVBoxLayout(dialog);
    column->setContentsMargins(kMarginsPx);
    column->setSpacing(kSpacingPx);
    column->addWidget(label_4);
    column->addWidget(label_8);
    column->addWidget(groupBox, 1);
    column->addLayout(target);
    column->addLayout(buttons);
}
