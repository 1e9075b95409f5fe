#include "PhaseTabs.h"

#include "widgets/PanelColours.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kEnglishPointSize = 9;
constexpr int kChinesePointSize = 10;
const QColor kCurrentCaption(Qt::white);
} // namespace

PhaseTabs::PhaseTabs(QWidget* parent)
    : ChromeTabs(parent)
{
}

QPair<QString, QString> PhaseTabs::captions(const QString& text)
{
    const int at = text.indexOf(QLatin1Char('@'));
    if (at < 0)
        return {text, text};
    return {text.left(at), text.mid(at + 1)};
}

QRect PhaseTabs::upperHalf(const QRect& dot)
{
    return QRect(dot.left(), dot.top(), dot.width(), dot.height() / 2);
}

QRect PhaseTabs::lowerHalf(const QRect& dot)
{
    const int upper = dot.height() / 2;
    return QRect(dot.left(), dot.top() + upper, dot.width(), dot.height() - upper);
}

void PhaseTabs::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintPictures(painter);
    QFont english(tr("Arial"), kEnglishPointSize);
    QFont chinese(tr("Arial"), kChinesePointSize, QFont::Bold);
    for (int i = 0; i < count(); ++i) {
        if (!isTabEnabled(i))
            continue;
        const QRect dot = dotRect(i);
        const QPair<QString, QString> caption = captions(tabText(i));
        const bool current = i == currentIndex();
        painter.setPen(current ? kCurrentCaption : kPanelText);
        if (current) {
            painter.setFont(english);
            painter.drawText(upperHalf(dot), Qt::AlignHCenter | Qt::AlignBottom, caption.first);
        }
        painter.setFont(chinese);
        painter.drawText(lowerHalf(dot), Qt::AlignCenter, caption.second);
    }
}

// Only the lower half, where the Chinese caption sits, takes clicks.
void PhaseTabs::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const int tab = dotAt(at);
    if (tab >= 0 && lowerHalf(dotRect(tab)).contains(at))
        ChromeTabs::mousePressEvent(event);
    else
        event->accept();
}

// No balloon and no cursor change over the phase tabs.
void PhaseTabs::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}
