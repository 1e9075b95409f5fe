// "profile.ini": the window position, the three sliders, the library tab,
// help mode, the last material, phase and page, the hand-set "Editor", the
// translations, speed, drill and blind-listening settings.
// Read once at start-up and written once at shutdown.
#pragma once

#include "controller/DrillSettings.h"
#include "controller/PracticeSpeed.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QSettings;
class QVariant;

struct Profile {
    // A value that is missing or not a number is unset.
    std::optional<int> posX;
    std::optional<int> posY;
    std::optional<int> volRec;
    std::optional<int> aplRec;
    std::optional<int> volOri;
    std::optional<int> materialDiff;
    std::optional<int> phase;
    std::optional<int> page;
    bool fullPlaying = false;
    bool firstStart = false; // no profile yet: the help explains the program
    QString materialName;
    bool editor = false; // only a hand edit turns it on; never written
    bool translations = true; // missing or not a boolean: shown
    // Values out of their range count as missing: the defaults.
    double speed = speed::kNormal;
    drill::Settings drill;
    bool blind = false;
};

// What the main window writes back at shutdown.
struct ProfileSnapshot {
    QPoint position;
    int volRec = 75;
    int aplRec = 20;
    int volOri = 75;
    int materialDiff = 0;
    bool fullPlaying = false;
    QString materialName;
    int phase = 0;
    int page = 0;
    bool translations = true;
    double speed = speed::kNormal;
    drill::Settings drill;
    bool blind = false;
};

// "profile.ini" in the working directory; where that cannot be written, the
// per-user configuration folder, so that the learner's state still survives.
QString profilePath();

Profile readProfile(const QSettings& settings);

// Writes the keys in their fixed order through `store` (QSettings::setValue
// for the program; tests record the order).
void writeProfile(const ProfileSnapshot& snapshot, const std::function<void(const QString&, const QVariant&)>& store);
void writeProfile(const ProfileSnapshot& snapshot, QSettings& settings);

// Where the main window goes: the saved position when it lies on the desktop
// (strictly inside on the top and left), otherwise nothing (the window system
// places it). `centred` is the default for missing keys.
QPoint defaultPosition(const QSize& window, const QRect& desktop);
std::optional<QPoint> startPosition(const Profile& profile, const QSize& window, const QRect& desktop);
