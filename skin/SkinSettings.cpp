#include "SkinSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

// An INI value with commas (a font description) reads as a list of strings.
QString textOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace

SkinSettings readSkinSettings(const QString& programFolder, const QString& settingsFile)
{
    SkinSettings skin;
    const QString path = programFolder + QLatin1Char('/') + settingsFile;
    skin.found = QFileInfo::exists(path);
    QSettings settings(path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Skin"));

    bool ok = false;
    QString background = textOf(settings.value(QStringLiteral("Hintergrundfarbe"))).trimmed();
    if (background.startsWith(QLatin1Char('#')))
        background.remove(0, 1);
    const uint rgb = background.toUInt(&ok, 16);
    if (ok)
        skin.backgroundColor = QColor(qRed(rgb), qGreen(rgb), qBlue(rgb)); // any alpha part is dropped

    const QColor title = QColor::fromString(textOf(settings.value(QStringLiteral("Titelfarbe"))).trimmed());
    if (title.isValid())
        skin.titleColor = title;

    const double alpha = textOf(settings.value(QStringLiteral("Alpha"))).toDouble(&ok);
    if (ok)
        skin.alpha = alpha;

    QFont font;
    const QString fontText = textOf(settings.value(QStringLiteral("Titelschrift")));
    if (!fontText.isEmpty() && font.fromString(fontText))
        skin.titleFont = font;

    const QString picture = textOf(settings.value(QStringLiteral("Skinpfad")));
    if (!picture.isEmpty())
        skin.skinPath = programFolder + QLatin1Char('/') + picture;
    return skin;
}
