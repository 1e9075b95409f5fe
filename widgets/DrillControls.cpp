#include "DrillControls.h"

#include "widgets/DrillPopup.h"
#include "widgets/OctImgBtn.h"

#include <QHBoxLayout>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int kGapPx = 1;
} // namespace

DrillControls::DrillControls(QWidget* parent)
    : QWidget(parent)
    , m_button(spriteButton(QStringLiteral(":/images/btn-drill-check.png"), true, this))
    , m_arrow(spriteButton(QStringLiteral(":/images/btn-drill-arrow-press.png"), false, this))
    , m_popup(new DrillPopup(this))
{
    m_button->setObjectName(QStringLiteral("drill"));
    m_button->setToolTip(tr("自动跟读"));
    m_arrow->setObjectName(QStringLiteral("drillSettings"));
    m_arrow->setToolTip(tr("跟读设置"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kGapPx);
    layout->addWidget(m_button);
    layout->addWidget(m_arrow);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_arrow, &OctImgBtn::clicked, this, &DrillControls::openSettings);
    connect(m_popup, &DrillPopup::settingsChanged, this, &DrillControls::settingsChanged);
}

void DrillControls::setSettings(const drill::Settings& settings)
{
    m_popup->setSettings(settings);
}

drill::Settings DrillControls::settings() const
{
    return m_popup->settings();
}

void DrillControls::openSettings()
{
    m_popup->adjustSize();
    const QSize size = m_popup->size();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + size.height() > room.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - size.width())));
    }
    m_popup->move(at);
    m_popup->show();
}
