// A volume icon that reveals its companion (a volume slider) while the mouse
// is over either of them, and meanwhile hides up to two neighbours that share
// the companion's place.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <array>

class VoicerImg : public QLabel {
    Q_OBJECT
public:
    explicit VoicerImg(QWidget* parent = nullptr);

    void setCompanion(QWidget* companion);
    // Fills the first empty neighbour slot, else replaces the second.
    void addExtra(QWidget* extra);

    // How long the companion stays after the mouse left both, so that the
    // gap between icon and companion can be crossed.
    static constexpr int kHideDelayMs = 200;

public slots:
    void doHide();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void reveal();
    void setExtrasVisible(bool visible);

    QPointer<QWidget> m_companion;
    std::array<QPointer<QWidget>, 2> m_extras;
    bool m_overIcon = false;
    bool m_overCompanion = false;
    QTimer m_hideTimer;
};
