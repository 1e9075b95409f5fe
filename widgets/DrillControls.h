// The hands-free drill in the control panel: its on/off button and, beside
// it, a small arrow that opens the drill's settings in a popup.
#pragma once

#include "controller/DrillSettings.h"

#include <QWidget>

class DrillPopup;
class OctImgBtn;

class DrillControls : public QWidget {
    Q_OBJECT
public:
    explicit DrillControls(QWidget* parent = nullptr);

    // Shown as given (brought into range); announces nothing.
    void setSettings(const drill::Settings& settings);
    drill::Settings settings() const;

    OctImgBtn* button() const { return m_button; }
    OctImgBtn* arrow() const { return m_arrow; }
    DrillPopup* popup() const { return m_popup; }

signals:
    // Only for the learner's edits in the popup.
    void settingsChanged(const drill::Settings& settings);

public slots:
    // Under the arrow, or above it where the screen ends below.
    void openSettings();

private:
    OctImgBtn* m_button;
    OctImgBtn* m_arrow;
    DrillPopup* m_popup;
};
