#include "StepField.h"

#include "widgets/OctImgBtn.h"
#include "widgets/PanelColours.h"

#include <QHBoxLayout>
#include <QWheelEvent>

namespace {
// One notch of a common wheel, in eighths of a degree; finer wheels and
// touch pads add up to it.
constexpr int kWheelNotch = 120;
constexpr int kGapPx = 1;
constexpr int kValuePointSize = 9;
} // namespace

StepField::StepField(QWidget* parent)
    : QWidget(parent)
    , m_down(spriteButton(QStringLiteral(":/images/btn-speed-slower-press.png"), false, this))
    , m_value(spriteButton(QStringLiteral(":/images/btn-speed-reset-press.png"), false, this))
    , m_up(spriteButton(QStringLiteral(":/images/btn-speed-faster-press.png"), false, this))
{
    m_down->setObjectName(QStringLiteral("down"));
    m_value->setObjectName(QStringLiteral("value"));
    m_up->setObjectName(QStringLiteral("up"));
    QFont font = m_value->font();
    font.setPointSize(kValuePointSize);
    m_value->setFont(font);
    QPalette colours = m_value->palette();
    colours.setColor(QPalette::Active, QPalette::WindowText, kPanelText);
    colours.setColor(QPalette::Inactive, QPalette::WindowText, kPanelText);
    m_value->setPalette(colours);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kGapPx);
    layout->addWidget(m_down);
    layout->addWidget(m_value);
    layout->addWidget(m_up);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    connect(m_down, &OctImgBtn::clicked, this, [this] { emit stepRequested(-1); });
    connect(m_up, &OctImgBtn::clicked, this, [this] { emit stepRequested(1); });
    connect(m_value, &OctImgBtn::clicked, this, &StepField::resetRequested);
}

void StepField::setText(const QString& text)
{
    m_text = text;
    m_value->setTexts(text, text);
}

QString StepField::text() const
{
    return m_text;
}

// The buttons leave the wheel to their parent, so this sees it over all three.
void StepField::wheelEvent(QWheelEvent* event)
{
    m_wheelRemainder += event->angleDelta().y();
    const int steps = m_wheelRemainder / kWheelNotch;
    m_wheelRemainder -= steps * kWheelNotch;
    if (steps != 0)
        emit stepRequested(steps);
    event->accept();
}
