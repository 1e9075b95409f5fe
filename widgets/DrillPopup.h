// The drill's settings in a small popup under the panel: rounds, the pause
// as a multiple of the sentence's length, and the three options.
#pragma once

#include "controller/DrillSettings.h"

#include <QFrame>

class OctImgBtn;
class StepField;

class DrillPopup : public QFrame {
    Q_OBJECT
public:
    explicit DrillPopup(QWidget* parent = nullptr);

    // Brought into range and onto the pause's grid; announces nothing.
    void setSettings(const drill::Settings& settings);
    drill::Settings settings() const { return m_settings; }

    StepField* roundsField() const { return m_rounds; }
    StepField* pauseField() const { return m_pause; }
    OctImgBtn* recordButton() const { return m_record; }
    OctImgBtn* playBackButton() const { return m_playBack; }
    OctImgBtn* slowFirstButton() const { return m_slowFirst; }

    // Settings within the ranges, the pause factor on its 0.1 grid.
    static drill::Settings normalized(drill::Settings settings);

signals:
    void settingsChanged(const drill::Settings& settings);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void edit(const drill::Settings& settings);
    void showSettings();

    drill::Settings m_settings;
    StepField* m_rounds;
    StepField* m_pause;
    OctImgBtn* m_record;
    OctImgBtn* m_playBack;
    OctImgBtn* m_slowFirst;
};
