#include "DrillStatus.h"

#include "resources/Artwork.h"
#include "widgets/PanelColours.h"
#include "widgets/Sprite.h"

#include <QPainter>

#include <algorithm>

namespace {
// Layout pixels inside the ground picture: the lit dot takes the left end.
constexpr int kTextLeftPx = 18;
constexpr int kRightPadPx = 8;
constexpr int kBarWidthPx = 30;
constexpr int kBarGapPx = 6;
constexpr int kPointSize = 9;
} // namespace

DrillStatus::DrillStatus(QWidget* parent)
    : QWidget(parent)
    , m_ground(loadArtwork(QStringLiteral(":/images/bg-drill-status.png")))
    , m_track(loadArtwork(QStringLiteral(":/images/bg-volslider-normal.png")))
    , m_light(loadArtwork(QStringLiteral(":/images/bg-volslider-light.png")))
{
    setFixedSize(layoutSize(m_ground));
    QFont small = font();
    small.setPointSize(kPointSize);
    setFont(small);
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    setVisible(false);
}

void DrillStatus::showRound(int round, int rounds)
{
    showStage(Stage::Round, tr("第 %1/%2 遍").arg(round).arg(rounds));
}

void DrillStatus::showSpeaking(double remainingSeconds, double totalSeconds)
{
    const double remaining = std::max(remainingSeconds, 0.0);
    m_fraction = totalSeconds > 0 ? std::clamp(remaining / totalSeconds, 0.0, 1.0) : 0.0;
    showStage(Stage::Speaking, tr("跟读 %1 秒").arg(remaining, 0, 'f', 1));
}

void DrillStatus::showPlayback()
{
    showStage(Stage::Playback, tr("回放"));
}

void DrillStatus::clear()
{
    m_stage = Stage::Idle;
    m_text.clear();
    m_fraction = 0.0;
    hide();
}

void DrillStatus::showStage(Stage stage, const QString& text)
{
    if (stage != Stage::Speaking)
        m_fraction = 0.0;
    m_stage = stage;
    m_text = text;
    show();
    update();
}

void DrillStatus::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QPoint(0, 0), m_ground);
    QRect textRoom(kTextLeftPx, 0, width() - kTextLeftPx - kRightPadPx, height());
    if (m_stage == Stage::Speaking) {
        const int barHeight = layoutSize(m_track).height();
        const QRect bar(width() - kRightPadPx - kBarWidthPx, (height() - barHeight) / 2, kBarWidthPx, barHeight);
        painter.drawPixmap(bar, m_track);
        const int filled = int(m_fraction * kBarWidthPx + 0.5);
        if (filled > 0)
            painter.drawPixmap(QRect(bar.topLeft(), QSize(filled, barHeight)), m_light);
        textRoom.setRight(bar.left() - kBarGapPx);
    }
    painter.setPen(kPanelText);
    painter.drawText(textRoom, Qt::AlignCenter, m_text);
}
