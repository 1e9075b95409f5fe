// The application font of the interface, set once the application exists;
// shared with the end-to-end test, whose offscreen twins of the windows must
// lay out their text as the program does.
#pragma once

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

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
