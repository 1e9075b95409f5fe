// Entry point: the program keeps its state relative to the working directory.
#include "Dialog.h"
#include "ShutdownSignals.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace {
// The three windows are placed by the program, which a Wayland session does
// not allow; through XWayland they still move together.
void preferX11UnderWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// The interface is Chinese: where the CJK fonts carry several regional forms,
// take the Simplified Chinese ones rather than whichever comes first.
void preferSimplifiedChinese()
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
} // namespace

int main(int argc, char* argv[])
{
    preferX11UnderWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Repeta"));
    preferSimplifiedChinese();
    quitOnShutdownSignals();
    int status = 0;
    {
        Dialog window;
        window.show();
        if (!shutdownRequested())
            status = app.exec();
    }
    return status;
}
