#include "Profile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cmath>

namespace {
const QString kProfileName = QStringLiteral("profile.ini");
// The control panel below the main window is this tall.
constexpr int kPanelHeight = 90;

std::optional<int> intValue(const QSettings& settings, const char* key)
{
    const QVariant value = settings.value(QLatin1String(key));
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

// Only what QSettings itself writes counts; anything else is missing (false).
bool boolValue(const QSettings& settings, const char* key)
{
    const QString text = settings.value(QLatin1String(key)).toString().trimmed().toLower();
    return text == QLatin1String("true") || text == QLatin1String("1");
}
std::optional<bool> optionalBool(const QSettings& settings, const char* key)
{
    const QString text = settings.value(QLatin1String(key)).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return std::nullopt;
}
// A number within [low, high]; anything else is missing.
std::optional<double> numberWithin(const QSettings& settings, const char* key, double low, double high)
{
    bool ok = false;
    const double number = settings.value(QLatin1String(key)).toDouble(&ok);
    return ok && number >= low && number <= high ? std::optional<double>(number) : std::nullopt;
}

drill::Settings drillSettings(const QSettings& settings)
{
    drill::Settings drill;
    if (const auto rounds = numberWithin(settings, "DrillRounds", drill::kMinRounds, drill::kMaxRounds);
        rounds && *rounds == std::floor(*rounds))
        drill.rounds = int(*rounds);
    drill.pauseFactor = numberWithin(settings, "DrillPause", drill::kMinPauseFactor, drill::kMaxPauseFactor)
                            .value_or(drill.pauseFactor);
    drill.record = optionalBool(settings, "DrillRecord").value_or(drill.record);
    drill.playBack = optionalBool(settings, "DrillPlayBack").value_or(drill.playBack);
    drill.slowFirst = optionalBool(settings, "DrillSlowFirst").value_or(drill.slowFirst);
    return drill;
}
} // namespace

QString profilePath()
{
    const QFileInfo here(kProfileName);
    const bool writable = here.exists() ? here.isWritable() : QFileInfo(QDir::currentPath()).isWritable();
    if (writable)
        return kProfileName;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + kProfileName;
}

Profile readProfile(const QSettings& settings)
{
    Profile profile;
    profile.posX = intValue(settings, "pos-x");
    profile.posY = intValue(settings, "pos-y");
    profile.volRec = intValue(settings, "vol-rec");
    profile.aplRec = intValue(settings, "apl-rec");
    profile.volOri = intValue(settings, "vol-ori");
    profile.materialDiff = intValue(settings, "MaterialDiff");
    profile.fullPlaying = boolValue(settings, "FullPlaying");
    profile.firstStart = settings.allKeys().isEmpty();
    profile.materialName = settings.value(QStringLiteral("MaterialName")).toString();
    profile.phase = intValue(settings, "Phase");
    profile.page = intValue(settings, "Page");
    profile.editor = boolValue(settings, "Editor");
    profile.translations = optionalBool(settings, "Translations").value_or(true);
    profile.speed = speed::snapped(numberWithin(settings, "Speed", speed::kMin, speed::kMax).value_or(speed::kNormal));
    profile.drill = drillSettings(settings);
    profile.blind = optionalBool(settings, "Blind").value_or(false);
    return profile;
}

void writeProfile(const ProfileSnapshot& snapshot, const std::function<void(const QString&, const QVariant&)>& store)
{
    store(QStringLiteral("pos-x"), snapshot.position.x());
    store(QStringLiteral("pos-y"), snapshot.position.y());
    store(QStringLiteral("vol-rec"), snapshot.volRec);
    store(QStringLiteral("apl-rec"), snapshot.aplRec);
    store(QStringLiteral("vol-ori"), snapshot.volOri);
    store(QStringLiteral("MaterialDiff"), snapshot.materialDiff);
    store(QStringLiteral("FullPlaying"), snapshot.fullPlaying);
    store(QStringLiteral("MaterialName"), snapshot.materialName);
    store(QStringLiteral("Phase"), snapshot.phase);
    store(QStringLiteral("Page"), snapshot.page);
    store(QStringLiteral("Translations"), snapshot.translations);
    store(QStringLiteral("Speed"), snapshot.speed);
    store(QStringLiteral("DrillRounds"), snapshot.drill.rounds);
    store(QStringLiteral("DrillPause"), snapshot.drill.pauseFactor);
    store(QStringLiteral("DrillRecord"), snapshot.drill.record);
    store(QStringLiteral("DrillPlayBack"), snapshot.drill.playBack);
    store(QStringLiteral("DrillSlowFirst"), snapshot.drill.slowFirst);
    store(QStringLiteral("Blind"), snapshot.blind);
}

void writeProfile(const ProfileSnapshot& snapshot, QSettings& settings)
{
    writeProfile(snapshot, [&settings](const QString& key, const QVariant& value) { settings.setValue(key, value); });
}

QPoint defaultPosition(const QSize& window, const QRect& desktop)
{
    return QPoint((desktop.width() - window.width()) / 2, (desktop.height() - window.height() - kPanelHeight) / 2);
}

std::optional<QPoint> startPosition(const Profile& profile, const QSize& window, const QRect& desktop)
{
    const QPoint centred = defaultPosition(window, desktop);
    const int x = profile.posX.value_or(centred.x());
    const int y = profile.posY.value_or(centred.y());
    if (x > 0 && y > 0 && x <= desktop.width() - 1 && y <= desktop.height() - 1)
        return QPoint(x, y);
    return std::nullopt;
}
