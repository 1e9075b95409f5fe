#include "ShortcutSheet.h"

#include "widgets/PanelColours.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kRowHeightPx = 28;
constexpr int kCapHeightPx = 22;
constexpr int kCapMinWidthPx = 30; // one letter's cap is as wide as the artwork's cells
constexpr int kCapPaddingPx = 8; // either side of the text inside a cap
constexpr int kCellPaddingPx = 10; // either side of a cap in its cell
constexpr qreal kCapRadiusPx = 4;
constexpr int kMarginPx = 12;
constexpr int kSpacingPx = 8;
constexpr int kActionColumnWidthPx = 180;
const QColor kCapTop(0xff, 0xff, 0xff);
const QColor kCapBottom(0xe4, 0xf0, 0xf7);
const QColor kCapStroke(0xb6, 0xcc, 0xdc);

// The artwork's palette: white ground, its blue in the header, the buttons' pill.
const char* const kStyleSheet =
    "ShortcutSheet { background: #ffffff; }"
    "QTableWidget { border: 1px solid #b6ccdc; background: #ffffff; alternate-background-color: #f3f8fb;"
    " color: #07354d; gridline-color: #e4f0f7; }"
    "QHeaderView::section { background: #1878a4; color: #ffffff; border: none; padding: 4px 10px;"
    " font-weight: bold; }"
    "QLabel#note { color: #6b7f8c; }"
    "QPushButton { min-width: 72px; min-height: 26px; border: 1px solid #b6ccdc; border-radius: 7px;"
    " background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #e4f0f7);"
    " color: #07354d; font-weight: bold; outline: none; }"
    "QPushButton:hover { border-color: #1bb1ff;"
    " background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #d3ecf9); }"
    "QPushButton:pressed { border-color: #1878a4;"
    " background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #c9e5f4, stop: 1 #b7dbef); }";

// Keys drawn as key caps, so that "[" or "←" reads as something to press.
class KeyCapDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString text = index.data().toString();
        const QRectF cap(option.rect.left() + kCellPaddingPx + 0.5, option.rect.center().y() - kCapHeightPx / 2 + 0.5,
                         capWidth(option.fontMetrics, text) - 1, kCapHeightPx - 1);
        QLinearGradient fill(cap.topLeft(), cap.bottomLeft());
        fill.setColorAt(0, kCapTop);
        fill.setColorAt(1, kCapBottom);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(kCapStroke);
        painter->setBrush(fill);
        painter->drawRoundedRect(cap, kCapRadiusPx, kCapRadiusPx);
        painter->setPen(kPanelText);
        painter->drawText(cap, Qt::AlignCenter, text);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(capWidth(option.fontMetrics, index.data().toString()) + 2 * kCellPaddingPx, kRowHeightPx);
    }

private:
    static int capWidth(const QFontMetrics& metrics, const QString& text)
    {
        return qMax(metrics.horizontalAdvance(text) + 2 * kCapPaddingPx, kCapMinWidthPx);
    }
};

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QTableWidget* newTable(const KeyMap& keys, QWidget* parent)
{
    auto* table = new QTableWidget(kKeyActionCount, 2, parent);
    table->setObjectName(QStringLiteral("keys"));
    table->setHorizontalHeaderLabels({ShortcutSheet::tr("按键"), ShortcutSheet::tr("功能")});
    for (KeyAction action : kKeyActions) {
        const int row = int(action);
        table->setItem(row, ShortcutSheet::KeyColumn, cell(learnerKeyText(keys.key(action))));
        table->setItem(row, ShortcutSheet::ActionColumn, cell(description(action)));
    }
    table->setItemDelegateForColumn(ShortcutSheet::KeyColumn, new KeyCapDelegate(table));
    // A sheet to read, not a list to work in: nothing to select or edit, and
    // every row in sight.
    table->setFocusPolicy(Qt::NoFocus);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setShowGrid(false);
    table->setAlternatingRowColors(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(kRowHeightPx);
    QHeaderView* header = table->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    // The sizes below are those of the style sheet's fonts and padding.
    table->ensurePolished();
    table->resizeColumnToContents(ShortcutSheet::KeyColumn);
    table->setColumnWidth(ShortcutSheet::ActionColumn, kActionColumnWidthPx);
    header->setStretchLastSection(true);
    const int frame = 2 * table->frameWidth();
    table->setFixedSize(header->length() + frame, header->sizeHint().height() + kKeyActionCount * kRowHeightPx + frame);
    return table;
}

} // namespace

ShortcutSheet::ShortcutSheet(const KeyMap& keys, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("快捷键"));
    setModal(false);
    setStyleSheet(QLatin1String(kStyleSheet));

    // The one action whose target depends on the phase says so under the table.
    auto* note = new QLabel(tr("%1：跟读训练中播放本句，其余时候播放全文").arg(learnerKeyText(keys.key(KeyAction::PlayPause))),
                            this);
    note->setObjectName(QStringLiteral("note"));
    note->setWordWrap(true);

    auto* close = new QPushButton(tr("关闭"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // Esc closes any dialog; the key that opens the sheet closes it as well.
    auto* help = new QShortcut(keys.key(KeyAction::Help), this);
    connect(help, &QShortcut::activated, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kMarginPx, kMarginPx, kMarginPx, kMarginPx);
    column->setSpacing(kSpacingPx);
    column->addWidget(newTable(keys, this));
    column->addWidget(note);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}
