// The application font and Qt's own texts of the interface, set once the
// application exists; shared with the tests, whose offscreen twins of the
// windows must lay out their text as the program does.
#pragma once

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

// The interface is Chinese: where the CJK fonts carry several regional forms,
// take the Simplified Chinese ones rather than whichever comes first.
inline void preferSimplifiedChinese()
{
    const QStringList families = QFontDatabase::families();
    for (const char* family : {"Noto Sans CJK SC", "WenQuanYi Micro Hei"}) {
        if (!families.contains(QLatin1String(family)))
            continue;
        for (const char* name : {"宋体", "SimSun", "Microsoft YaHei"})
            QFont::insertSubstitution(QString::fromUtf8(name), QLatin1String(family));
        QFont font = QApplication::font();
        font.setFamilies({font.family(), QLatin1String(family)});
        QApplication::setFont(font);
        return;
    }
}

// Qt's own dialogs and buttons (file dialogs, message boxes) speak Simplified
// Chinese, as the rest of the interface does, and name file types and dates
// in Chinese too. False when Qt's translations are not installed; they then
// stay English.
inline bool useChineseQtTexts()
{
    static QTranslator translator; // lives as long as the application
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    const bool loaded = translator.load(chinese, QStringLiteral("qtbase"),
                                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return loaded && QCoreApplication::installTranslator(&translator);
}
