#include "DrillPopup.h"

#include "widgets/OctImgBtn.h"
#include "widgets/PanelColours.h"
#include "widgets/StepField.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr int kMarginPx = 10;
constexpr int kSpacingPx = 6;
constexpr int kOptionPointSize = 9;
// The panel's colours: its body's gradient, its border, the captions.
const QColor kBodyTop(0xf8, 0xfc, 0xfe);
const QColor kBodyBottom(0xe2, 0xf0, 0xf8);
const QColor kBorder(0xa9, 0xc6, 0xd8);
const double kPauseStepsPerUnit = std::round(1.0 / drill::kPauseFactorStep);

OctImgBtn* optionButton(const QString& caption, QWidget* parent)
{
    auto* button = spriteButton(QStringLiteral(":/images/btn-drill-option-check.png"), true, parent);
    button->setTexts(caption, caption);
    QFont font = button->font();
    font.setPointSize(kOptionPointSize);
    button->setFont(font);
    return button;
}
} // namespace

DrillPopup::DrillPopup(QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint)
    , m_rounds(new StepField(this))
    , m_pause(new StepField(this))
    , m_record(optionButton(tr("录音"), this))
    , m_playBack(optionButton(tr("回放"), this))
    , m_slowFirst(optionButton(tr("首遍慢速"), this))
{
    // A click outside closes the popup and is not given again to the arrow
    // under it, which would open it right away.
    setAttribute(Qt::WA_NoMouseReplay);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, kPanelText);
    setPalette(colours);

    m_record->setToolTip(tr("停顿时录下跟读"));
    m_playBack->setToolTip(tr("停顿后回放录音"));
    m_slowFirst->setToolTip(tr("第一遍以 %1 倍速播放").arg(drill::kSlowFirstSpeed, 0, 'f', 2));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(kMarginPx, kMarginPx, kMarginPx, kMarginPx);
    grid->setHorizontalSpacing(kSpacingPx);
    grid->setVerticalSpacing(kSpacingPx);
    grid->addWidget(new QLabel(tr("遍数"), this), 0, 0);
    grid->addWidget(m_rounds, 0, 1);
    grid->addWidget(new QLabel(tr("停顿"), this), 1, 0);
    grid->addWidget(m_pause, 1, 1);
    grid->addWidget(new QLabel(tr("×句长"), this), 1, 2);
    auto* options = new QHBoxLayout;
    options->setSpacing(kSpacingPx);
    for (OctImgBtn* option : {m_record, m_playBack, m_slowFirst})
        options->addWidget(option);
    grid->addLayout(options, 2, 0, 1, 4);
    grid->setColumnStretch(3, 1);

    connect(m_rounds, &StepField::stepRequested, this, [this](int steps) {
        drill::Settings next = m_settings;
        next.rounds += steps;
        edit(next);
    });
    connect(m_rounds, &StepField::resetRequested, this, [this] {
        drill::Settings next = m_settings;
        next.rounds = drill::Settings().rounds;
        edit(next);
    });
    connect(m_pause, &StepField::stepRequested, this, [this](int steps) {
        drill::Settings next = m_settings;
        next.pauseFactor += steps * drill::kPauseFactorStep;
        edit(next);
    });
    connect(m_pause, &StepField::resetRequested, this, [this] {
        drill::Settings next = m_settings;
        next.pauseFactor = drill::Settings().pauseFactor;
        edit(next);
    });
    using Option = bool drill::Settings::*;
    for (const auto& [button, option] : {std::pair<OctImgBtn*, Option>(m_record, &drill::Settings::record),
                                         std::pair<OctImgBtn*, Option>(m_playBack, &drill::Settings::playBack),
                                         std::pair<OctImgBtn*, Option>(m_slowFirst, &drill::Settings::slowFirst)}) {
        connect(button, &OctImgBtn::clicked, this, [this, option = option](bool on) {
            drill::Settings next = m_settings;
            next.*option = on;
            edit(next);
        });
    }
    showSettings();
}

drill::Settings DrillPopup::normalized(drill::Settings settings)
{
    settings.rounds = std::clamp(settings.rounds, drill::kMinRounds, drill::kMaxRounds);
    double factor = settings.pauseFactor;
    if (!(factor >= drill::kMinPauseFactor)) // NaN too
        factor = drill::kMinPauseFactor;
    factor = std::min(factor, drill::kMaxPauseFactor);
    settings.pauseFactor = std::round(factor * kPauseStepsPerUnit) / kPauseStepsPerUnit;
    return settings;
}

void DrillPopup::setSettings(const drill::Settings& settings)
{
    m_settings = normalized(settings);
    showSettings();
}

// A step past a range's end changes nothing and announces nothing.
void DrillPopup::edit(const drill::Settings& settings)
{
    const drill::Settings next = normalized(settings);
    if (next == m_settings)
        return;
    m_settings = next;
    showSettings();
    emit settingsChanged(m_settings);
}

void DrillPopup::showSettings()
{
    m_rounds->setText(QString::number(m_settings.rounds));
    m_pause->setText(QString::number(m_settings.pauseFactor, 'f', 1));
    m_record->setChecked(m_settings.record);
    m_playBack->setChecked(m_settings.playBack);
    m_slowFirst->setChecked(m_settings.slowFirst);
}

void DrillPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient body(0, 0, 0, height());
    body.setColorAt(0, kBodyTop);
    body.setColorAt(1, kBodyBottom);
    painter.fillRect(rect(), body);
    painter.setPen(kBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
